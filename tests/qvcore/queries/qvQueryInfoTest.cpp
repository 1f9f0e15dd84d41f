// Read-only access to saved queries: names, orders, conditions, and the "<None>" word.
#include "TestCompany.h"
#include "QueryFileTestUtil.h"

#include "kwcommon/x_message.h"
#include "qvcore/queries/qvQueryInfo.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace qftest;

namespace {

class QueryInfo : public ::testing::Test {
protected:
    void SetUp() override {
        InitInfo(&writer);
        path = writer.fileName;
    }
    void TearDown() override { _qfi_unlock(&writer); }

    void Save(const std::string& name, int16_t order, int conditions, int firstMarker = 1) {
        ASSERT_EQ(_qfi_lock(&writer, 0, 2), 1);
        ASSERT_EQ(SaveQuery(&writer, name, order, conditions, firstMarker), 1);
        _qfi_unlock(&writer);
    }

    TestCompany company{false};
    query_file_info writer;
    std::string path;
};

} // namespace

TEST_F(QueryInfo, NoFile) {
    qvQueryInfo info(7010);
    EXPECT_TRUE(info.GetQueryList().empty()) << "no query file: no names";
    EXPECT_EQ(info.GetOrder("anything"), 0);
    xc_cond_def* conditions = reinterpret_cast<xc_cond_def*>(0x1);
    EXPECT_EQ(info.GetCondInfo("anything", &conditions), 0);
    EXPECT_EQ(conditions, reinterpret_cast<xc_cond_def*>(0x1)) << "out is left untouched";
    EXPECT_FALSE(fs::exists(path)) << "reading never creates the file";
    EXPECT_TRUE(xw_shown_messages().empty()) << "a missing file is not reported";
}

TEST_F(QueryInfo, NamesOrdersAndConditions) {
    Save("Open Issues", 3, 2, 10);
    Save("by due date", 2, 0);
    Save("Closed", 0, 1, 20);

    qvQueryInfo info(7010);
    auto& names = info.GetQueryList();
    EXPECT_EQ(names, (std::vector<std::string>{"by due date", "Closed", "Open Issues"}))
        << "names in case-insensitive order";

    EXPECT_EQ(info.GetOrder("open issues"), 3) << "names match regardless of letter case";
    EXPECT_EQ(info.GetOrder("OPEN ISSUES"), 3);
    EXPECT_EQ(info.GetOrder("By Due Date"), 2);
    EXPECT_EQ(info.GetOrder("Open"), 0) << "a prefix is not a match";

    xc_cond_def* conditions = nullptr;
    ASSERT_EQ(info.GetCondInfo("OPEN issues", &conditions), 2);
    ASSERT_NE(conditions, nullptr);
    EXPECT_EQ(conditions[0].field, 10);
    EXPECT_EQ(conditions[1].field, 11);
    EXPECT_STREQ(conditions[1].text1, "value 11");
    _qfi_free(conditions);

    xc_cond_def* untouched = reinterpret_cast<xc_cond_def*>(0x1);
    EXPECT_EQ(info.GetCondInfo("by due date", &untouched), 0) << "a query without conditions";
    EXPECT_EQ(untouched, reinterpret_cast<xc_cond_def*>(0x1)) << "out is left untouched";
    EXPECT_EQ(info.GetOrder("by due date"), 2) << "its order still reads";

    // A query saved elsewhere in the meantime is seen by the next call.
    Save("Added later", 1, 1, 30);
    EXPECT_EQ(info.GetOrder("added later"), 1);
    EXPECT_EQ(info.GetQueryList().size(), 4u);
    EXPECT_EQ(names.front(), "Added later") << "the list reference sees the refreshed names";
}

TEST_F(QueryInfo, NoneIsNoQuery) {
    Save("x", 4, 1);
    // An incompatible file shows a message whenever it is opened, so a silent answer
    // proves the file was not touched.
    Bytes b = ReadBytes(path);
    b[2] = '9';
    WriteBytes(path, b);

    qvQueryInfo info(7400);
    xc_cond_def* conditions = nullptr;
    EXPECT_EQ(info.GetOrder("<None>"), 0);
    EXPECT_EQ(info.GetOrder(""), 0);
    EXPECT_EQ(info.GetCondInfo("<None>", &conditions), 0);
    EXPECT_TRUE(xw_shown_messages().empty()) << "\"<None>\" and an empty name never open the file";

    EXPECT_EQ(info.GetOrder("x"), 0) << "an incompatible file has no queries";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "Incompatible query file.");
    EXPECT_TRUE(info.GetQueryList().empty());
}

// A view reading a damaged file goes on as with a file without queries; the damage is
// shown once, not on every read.
TEST_F(QueryInfo, DamagedFileReadsAsNoQueries) {
    Save("Open Issues", 3, 2, 10);
    Bytes b = ReadBytes(path);
    b.resize(b.size() - 10);
    WriteBytes(path, b);

    qvQueryInfo info(7010);
    xc_cond_def* conditions = nullptr;
    EXPECT_TRUE(info.GetQueryList().empty());
    EXPECT_EQ(info.GetOrder("Open Issues"), 0);
    EXPECT_EQ(info.GetCondInfo("Open Issues", &conditions), 0);
    EXPECT_EQ(conditions, nullptr);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "The query file " + path + " is damaged; run qvadmin query check.");
}
