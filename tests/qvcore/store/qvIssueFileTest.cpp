// The issue file's record types and keys, numbered once in qvIssueFile.h, are the ones its
// dictionary gives them.
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwcommon/xio.h"
#include "kwcommon/xio_dict.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

#include <string>

TEST(qvIssueFile, RecordTypesAndKeysAreTheDictionarysOwn) {
    TestCompany company(false);
    qvIssueFile file(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(file.Open());
    const struct {
        short type;
        const char* name;
    } types[] = {{QV_RECORD_ISSUE, "ISSUE"}, {QV_RECORD_LINK, "LINK"}};
    for (const auto& [type, name] : types) {
        xio_rec_def def{};
        ASSERT_EQ(xio_get_rec_def(file.Number(), type, &def, 0), XIO_OK) << name;
        EXPECT_EQ(std::string(def.name), name);
    }
    const struct {
        short type;
        short key;
        const char* name;
    } keys[] = {
        {QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, "ISSUE NUMBER"},
        {QV_RECORD_ISSUE, QV_KEY_STATUS, "STATUS"},
        {QV_RECORD_ISSUE, QV_KEY_DUE_DATE, "DUE DATE"},
        {QV_RECORD_ISSUE, QV_KEY_NOTIFY_DATE, "NOTIFY DATE"},
        {QV_RECORD_ISSUE, QV_KEY_RESPONSIBLE, "RESPONSIBLE"},
        {QV_RECORD_ISSUE, QV_KEY_CLASSIFICATION, "CLASSIFICATION"},
        {QV_RECORD_LINK, QV_KEY_LINK, "ISSUE LINK"},
    };
    for (const auto& [type, key, name] : keys) {
        xio_key_def def{};
        ASSERT_EQ(xio_get_key_def(file.Number(), key, &def, type), XIO_OK) << name;
        EXPECT_EQ(std::string(def.name), name) << "record type " << type << ", key " << key;
    }
    file.Close();
}
