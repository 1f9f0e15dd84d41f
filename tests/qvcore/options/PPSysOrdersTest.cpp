// "Select Orders": the issue file's orders listed with their state in the control file;
// applying switches keys there and asks about the upgrade: Yes rebuilds the file's indexes
// (100,000 issues here) under a progress dialog and says how it went in the status bar, No
// leaves the file's keys as they were; a file open elsewhere is not upgraded.
#include "qvcore/options/PPSysOrders.h"

#include "qvcore/store/qvIssueFile.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"

#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include "OptionsFixture.h"

#include <QListWidget>
#include <QStatusBar>

#include <sqlite3.h>

#include <fstream>
#include <set>

using namespace optionstest;

namespace {
class SelectOrders : public OptionsFixture {
protected:
    void SetUp() override {
        OptionsFixture::SetUp();
        auto made = std::make_unique<kwAppFrame>(0, 0, true);
        frame = made.get();
        app.SetMainWindow(std::move(made));
        qvIssueFile file(QV_CMD_OPTIONS);
        ASSERT_TRUE(file.Open());
        xio_def def{};
        ASSERT_EQ(xio_get_def(file.Number(), &def, 0), XIO_OK);
        path = def.path;
    }
    // The indexes of the issue file, read past the record manager.
    std::set<std::string> Indexes() const {
        std::set<std::string> names;
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'index'", -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) names.insert(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return names;
    }
    // count issues numbered from 1, due dates running backwards.
    void AddIssues(int count) const {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        const std::string sql =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(count) +
            ") INSERT INTO r1(ISSUE, DUEDATE, STATUS) SELECT i, 20300101 - i, 'Open' FROM n";
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }
    QListWidget* Orders(PPSysOrders* page) const { return Control<QListWidget>(page, PPSysOrders::IDC_ORDERS); }
    QString Status() const { return frame->statusBar()->currentMessage(); }

    kwApplication app{"Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26")};
    kwAppFrame* frame = nullptr;
    std::string path;
};
} // namespace

TEST_F(SelectOrders, ListsTheIssueOrdersWithTheirState) {
    ASSERT_EQ(xc_deactivate_alt_key("QVI", 3), 0);
    auto* page = Show(new PPSysOrders());
    QListWidget* list = Orders(page);
    ASSERT_EQ(list->count(), 5);
    const char* names[] = {"Status", "Due Date", "Notify Date", "Responsible", "Classification"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list->item(i)->text().toStdString(), names[i]);
        EXPECT_EQ(list->item(i)->checkState() == Qt::Checked, i != 2) << names[i] << ": inactive keys are listed unchecked";
    }
    EXPECT_TRUE(list->isEnabled());
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_TRUE(xw_shown_messages().empty()) << "no change, no question";
    Screenshot(sheet.get(), "PPSysOrders");
}

TEST_F(SelectOrders, AControlFileThatCannotBeOpenedDisablesTheList) {
    std::ofstream(company->Path("altkeys.json")) << "{ not json";
    auto* page = Show(new PPSysOrders());
    EXPECT_FALSE(page->ControlFileOpen());
    EXPECT_FALSE(Orders(page)->isEnabled());
}

TEST_F(SelectOrders, AnsweringNoLeavesTheFilesKeysAsTheyWere) {
    auto* page = Show(new PPSysOrders());
    Orders(page)->item(1)->setCheckState(Qt::Unchecked); // Due Date
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_TRUE(sheet->PressApply());
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, PPSysOrders::UPGRADE_QUESTION);
    EXPECT_EQ(xw_shown_messages()[0].type, XW_YESNO);
    EXPECT_EQ(xc_alt_key_active("QVI", 2), 0) << "the control file has the key switched off";
    EXPECT_TRUE(Indexes().count("k1_2")) << "the issue file keeps its index until it is upgraded";
    EXPECT_TRUE(Status().isEmpty());
}

TEST_F(SelectOrders, YesBuildsTheOrderOfAHundredThousandIssues) {
    ASSERT_EQ(xc_deactivate_alt_key("QVI", 2), 0);
    ASSERT_EQ(xio_update_keys(xio_key_chg_def("QVI", nullptr, 2, 0)), 0);
    ASSERT_FALSE(Indexes().count("k1_2"));
    AddIssues(100000);

    auto* page = Show(new PPSysOrders());
    EXPECT_EQ(Orders(page)->item(1)->checkState(), Qt::Unchecked);
    Orders(page)->item(1)->setCheckState(Qt::Checked);
    xw_script_answers({XW_ANSWER_YES});
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_EQ(Status(), "Update successful.");
    EXPECT_TRUE(Indexes().count("k1_2"));
    EXPECT_EQ(xc_alt_key_active("QVI", 2), 1);

    // The order works: the walk by due date starts at the earliest.
    qvIssueFile file(QV_CMD_VIEW_ISSUES);
    ASSERT_TRUE(file.Open());
    xio_clr_record(file.Number(), QV_RECORD_ISSUE);
    ASSERT_EQ(xio_rd_first(file.Number(), QV_RECORD_ISSUE, QV_KEY_DUE_DATE, 0), XIO_OK);
    x_value_def issue;
    xio_get_field(file.Number(), 0, xio_num(file.Number(), 0, 0, "ISSUE"), &issue);
    EXPECT_EQ(issue.AsNumber(), 100000) << "the issue due first";
}

TEST_F(SelectOrders, AFileOpenElsewhereIsNotUpgraded) {
    auto* page = Show(new PPSysOrders());
    kwioDataFile other; // another user's View Issues
    ASSERT_EQ(other.PromptedOpen("QVI", QV_CMD_VIEW_ISSUES, "", 0, false, true, false), 0);
    Orders(page)->item(0)->setCheckState(Qt::Unchecked); // Status
    xw_script_answers({XW_ANSWER_YES});
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_EQ(Texts(), (std::vector<std::string>{PPSysOrders::UPGRADE_QUESTION, PPSysOrders::FILE_IN_USE}));
    EXPECT_EQ(Status(), "Update not successful.");
    EXPECT_TRUE(Indexes().count("k1_1")) << "the file's keys are untouched";
    EXPECT_EQ(xc_alt_key_active("QVI", 1), 0) << "the choice itself is kept";
}
