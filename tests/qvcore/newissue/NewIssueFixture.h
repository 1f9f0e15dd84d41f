// The base of the New Issue tests: a throw-away company with its issue file open, the mail
// service and the suite dialogs answered through their seams, preferences at their
// defaults, and "today" pinned when a test asks for it.
#pragma once

#include "qvcore/prefs/Prefs.h"
#include "qvcore/tasks/qvCommands.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "qvkit/mail/kclMail.h"

#include "kwapp/suitedlg/kwAttachmentsDlg.h"
#include "kwapp/suitedlg/xcl_edit_custom_list.h"
#include "kwapp/suitedlg/xs_select_access.h"
#include "kwapp/widgets/kwCtrl.h"

#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include "NewIssueTestSupport.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <memory>

namespace newissuetest {

constexpr unsigned short kNewIssue = QV_CMD_NEW_ISSUE;

// A control of a window by its id; a missing one fails the test.
template <class T> T* Control(const QWidget* root, int id) {
    T* control = kwFindCtrl<T>(root, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

inline bool Email(const qvIssue& issue) {
    return static_cast<const kwBool&>(issue.Value(QV_EMAIL)).Get();
}

class NewIssueFixture : public ::testing::Test {
protected:
    // withDemoData: the demo company's data files too (vendors, invoices, jobs ...), for
    // tests that link issues to their records.
    explicit NewIssueFixture(bool withDemoData = false) : company(withDemoData) {}

    void SetUp() override {
        App();
        Reset();
        ASSERT_TRUE(file.Open()) << "the issue file opens (made on first use)";
    }
    void TearDown() override {
        file.Close();
        Reset();
    }
    static void Reset() {
        StopWaiting();
        Prefs::SetDefaults();
        ScriptMail({});
        xw_clear_shown_messages();
    }

    int64_t IssueCount() {
        int64_t count = -1;
        EXPECT_EQ(xio_count_records(file.Number(), QV_RECORD_ISSUE, &count), XIO_OK);
        return count;
    }
    // The issue as stored, none when there is no such record.
    std::unique_ptr<qvIssue> Stored(double number) {
        auto issue = std::make_unique<qvIssue>(file.Number(), kNewIssue, false);
        if (!issue->ReadRecord(number)) return nullptr;
        return issue;
    }
    // Writes an issue that the test then edits; fill sets its values first.
    double StoreIssue(const std::function<void(qvIssue&)>& fill) {
        qvIssue issue(file.Number(), kNewIssue, true);
        fill(issue);
        EXPECT_TRUE(issue.AddRecord());
        xio_unlock_record(file.Number(), QV_RECORD_ISSUE, 1);
        return issue.Number();
    }

    TestCompany company;
    qvIssueFile file{static_cast<short>(kNewIssue)};
};

} // namespace newissuetest
