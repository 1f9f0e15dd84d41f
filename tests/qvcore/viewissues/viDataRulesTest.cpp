// The View Issues data rules through the real grid and its callbacks: the issue counter
// repaired when the window opens and numbers drawn when a new issue is written, the
// creation stamps and due date of the new row, the closing stamps as STATUS goes back and
// forth, the reviewed mark while the form is open, the delete question with the issue's
// links, the deletion of closed issues when the window closes, and the query's
// conditions as the row filter.
#include "ViewIssuesFixture.h"

#include "qvcore/store/LinkedRecord.h"
#include "qvcore/viewissues/viDataRules.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/values/kwBool.h"

using namespace vitest;
using namespace std::chrono;

namespace {

class DataRules : public ViewIssuesTest {
protected:
    int LinkCount(double issue) {
        const short f = file.Number();
        const short aissue = xio_num(f, 0, 0, "AISSUE");
        xio_clr_record(f, 2);
        const x_value_def number = x_value_def::OfNumber(issue);
        xio_put_field(f, 0, aissue, &number);
        int count = 0;
        for (short s = xio_rd_ge(f, 2, 0, 0); s == XIO_OK; s = xio_rd_next(f, 2, 0, 0)) {
            x_value_def value;
            xio_get_field(f, 0, aissue, &value);
            if (value.AsNumber() != issue) break;
            ++count;
        }
        return count;
    }
    void Link(double number, const char* what = "Lumber and framing ") {
        auto issue = Stored(number);
        LinkedRecord link;
        link.applAbbrev = "AP";
        link.xrefRecType = 2;
        link.recDesc = "Invoice";
        link.dataDesc = what;
        issue->AddLink(link);
        xio_unlock_record(file.Number(), 1, 0);
    }
};

} // namespace

TEST_F(DataRules, TheIssueCounterIsRepairedAndNumbersFollowIt) {
    SetLastId(7); // numbers given out, every issue deleted since
    OpenWindow();
    EXPECT_EQ(LastId(), 0) << "an empty file starts numbering again";
    ASSERT_TRUE(CloseWindow());

    const auto pinnedNow = xd_pin_now(year_month_day{2025y, May, 6d}, 10 * 3600 + 30 * 60);
    OpenWindow();
    EXPECT_TRUE(Row().IsNewRow()) << "an empty file shows the new row";
    EXPECT_EQ(Cell("OPERCRE"), "ADMIN");
    EXPECT_EQ(Cell("DATECRE"), "05/06/2025");
    EXPECT_EQ(Cell("TIMECRE"), "10:30:00");
    EXPECT_EQ(Cell("DUEDATE"), "05/06/2025");
    EXPECT_FALSE(Row().Changed()) << "the new row's stamps alone are not worth a record";
    ASSERT_TRUE(Edit("FORMESS", "First issue of the year"));
    ASSERT_TRUE(grid->CommitData());
    EXPECT_EQ(IssueCount(), 1);
    auto first = Stored(1);
    ASSERT_NE(first, nullptr) << "the first new issue gets number 1";
    EXPECT_EQ(first->Value(QV_DUEDATE).Format(), "05/06/2025");
    EXPECT_EQ(first->Value(QV_OPERCRE).Format(), "ADMIN");
    EXPECT_EQ(LastId(), 1);
    ASSERT_TRUE(CloseWindow());

    SetLastId(40);
    OpenWindow();
    EXPECT_EQ(LastId(), 40) << "a counter above the highest issue stays";
    ASSERT_TRUE(CloseWindow());
    Store(); // 41
    SetLastId(3);
    OpenWindow();
    EXPECT_EQ(LastId(), 41) << "one below it is raised to it";
}

TEST_F(DataRules, ClosingStampsFollowTheStatusBackAndForth) {
    const double open = Store([](qvIssue& i) { i.Value(QV_STATUS).Set("Open"); });
    const double closed = Store([](qvIssue& i) {
        i.Value(QV_STATUS).Set("Closed");
        i.Value(QV_OPERCLO).Set("LEE");
        i.Value(QV_DATECLO).Set("01/15/2025");
        i.Value(QV_TIMECLO).Set("16:30:00");
    });
    const auto pinnedNow = xd_pin_now(year_month_day{2025y, June, 2d}, 9 * 3600);
    OpenWindow();

    ASSERT_TRUE(source->MoveFocus(RowOf(open)));
    ASSERT_TRUE(Edit("STATUS", "closed"));
    EXPECT_EQ(Cell("OPERCLO"), "ADMIN") << "closing stamps the operator, date and time";
    EXPECT_EQ(Cell("DATECLO"), "06/02/2025");
    EXPECT_EQ(Cell("TIMECLO"), "09:00:00");
    ASSERT_TRUE(Edit("STATUS", "Open"));
    EXPECT_EQ(Cell("OPERCLO"), "") << "back to open before saving: the saved empty stamps";
    EXPECT_EQ(Cell("DATECLO"), "");
    EXPECT_EQ(Cell("TIMECLO"), "");

    ASSERT_TRUE(source->MoveFocus(RowOf(closed)));
    ASSERT_TRUE(Edit("STATUS", "On-Hold"));
    EXPECT_EQ(Cell("OPERCLO"), "") << "reopening clears the stamps";
    ASSERT_TRUE(Edit("STATUS", "Closed"));
    EXPECT_EQ(Cell("OPERCLO"), "LEE") << "closing again keeps the stored stamps";
    EXPECT_EQ(Cell("DATECLO"), "01/15/2025");
    EXPECT_EQ(Cell("TIMECLO"), "16:30:00");
    ASSERT_TRUE(Edit("STATUS", "CLOSED"));
    EXPECT_EQ(Cell("OPERCLO"), "ADMIN") << "closed over closed stamps anew";
    ASSERT_TRUE(grid->CommitData());
    EXPECT_EQ(Stored(closed)->Value(QV_OPERCLO).Format(), "ADMIN");
    EXPECT_EQ(Stored(closed)->Value(QV_OPERCHG).Format(), "ADMIN") << "the change is stamped";
    EXPECT_TRUE(static_cast<const kwBool&>(Stored(closed)->Value(QV_REVIEWE)).Get()) << "a written issue is reviewed";
}

TEST_F(DataRules, IssuesEnteredWhileTheFormIsOpenAreMarkedReviewed) {
    const double a = Store();
    const double b = Store();
    OpenWindow();
    data->SetFormOpen(true);
    ASSERT_TRUE(source->MoveFocus(RowOf(b)));
    EXPECT_TRUE(static_cast<const kwBool&>(Row().Data("REVIEWE")->NewValue()).Get());
    EXPECT_TRUE(Row().Changed());
    ASSERT_TRUE(source->MoveFocus(RowOf(a)));
    EXPECT_TRUE(static_cast<const kwBool&>(Stored(b)->Value(QV_REVIEWE)).Get());
    data->SetFormOpen(false);
}

TEST_F(DataRules, DeletingAsksAndTakesTheLinksAlong) {
    const double kept = Store();
    const double gone = Store();
    Link(gone);
    Link(gone, "Roofing ");
    ASSERT_EQ(LinkCount(gone), 2);
    OpenWindow();
    ASSERT_TRUE(source->MoveFocus(RowOf(gone)));
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_FALSE(source->DeleteFocused());
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "Delete this issue?");
    EXPECT_EQ(xw_shown_messages()[0].type, XW_YESNO);
    EXPECT_NE(Stored(gone), nullptr) << "No keeps the issue";

    xw_script_answers({XW_ANSWER_YES});
    EXPECT_TRUE(source->DeleteFocused());
    EXPECT_EQ(Stored(gone), nullptr);
    EXPECT_EQ(LinkCount(gone), 0) << "its links went too";
    EXPECT_NE(Stored(kept), nullptr);
}

TEST_F(DataRules, ClosingTheWindowDeletesTheOperatorsClosedIssues) {
    Operator("DANA");
    Prefs::SetDeleteWhenClosed(true);
    auto closedIssue = [this](const char* responsible, const char* closedBy) {
        return Store([=](qvIssue& i) {
            i.Value(QV_STATUS).Set("Closed");
            i.Value(QV_RESPONS).Set(responsible);
            i.Value(QV_OPERCLO).Set(closedBy);
        });
    };
    const double mine = closedIssue("Dana Whitfield", "DANA");
    const double nobodys = closedIssue("", "");
    const double lees = closedIssue("Lee Okafor", "DANA");
    const double closedByLee = closedIssue("Dana Whitfield", "LEE");
    const double open = Store([](qvIssue& i) { i.Value(QV_RESPONS).Set("Dana Whitfield"); });
    Link(mine);
    OpenWindow();
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(Stored(mine), nullptr) << "closed, hers, closed by her";
    EXPECT_EQ(LinkCount(mine), 0) << "with its links";
    EXPECT_EQ(Stored(nobodys), nullptr) << "closed by nobody, nobody's";
    EXPECT_NE(Stored(lees), nullptr) << "another person's issue is not hers to delete";
    EXPECT_NE(Stored(closedByLee), nullptr) << "closed by another operator";
    EXPECT_NE(Stored(open), nullptr) << "not closed";
}

TEST_F(DataRules, TheQuerysConditionsFilterTheRows) {
    for (int i = 0; i < 30; ++i)
        Store([i](qvIssue& issue) { issue.Value(QV_URGENCY).Set(i % 10 == 7 ? "Critical" : "Normal"); });
    OpenWindow();
    EXPECT_EQ(source->RecordCount(), 30);
    EXPECT_TRUE(source->Indexed()) << "no conditions: rows placed by the index";
    xc_cond_def critical{};
    const x_value_def value = x_value_def::OfText("Critical");
    ASSERT_EQ(xc_make_condition(file.Number(), xio_num(file.Number(), 0, 0, "URGENCY"), XC_EQUAL, &value, nullptr,
                                XC_AND, &critical),
              1);
    ASSERT_EQ(xc_put_condition(data->Conditions(), &critical), 1);
    ASSERT_TRUE(source->Requery());
    while (source->Counting()) QApplication::processEvents();
    EXPECT_FALSE(source->Indexed());
    ASSERT_EQ(source->RecordCount(), 3);
    for (int64_t row = 0; row < 3; ++row) EXPECT_EQ(RowOf(8 + 10 * static_cast<double>(row)), row);
}

TEST_F(DataRules, TheWindowsOwnLockIsNeverInItsOwnWay) {
    const double edited = Store([](qvIssue& i) { i.Value(QV_STATUS).Set("Open"); });
    OpenWindow();
    ASSERT_TRUE(source->MoveFocus(RowOf(edited)));
    ASSERT_TRUE(Edit("FORMESS", "Typed in the grid, not saved yet"));
    // Edit Issue from the same window works through the grid's own open file.
    qvIssue sheet(source->FileNumber(), 7010, false);
    ASSERT_TRUE(sheet.ReadRecord(edited));
    sheet.Value(QV_PROBLEM).Set("Posting error");
    xw_clear_shown_messages();
    EXPECT_TRUE(sheet.ReplaceRecord()) << "the window's lock does not stop the window's own sheet";
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_EQ(Stored(edited)->Value(QV_PROBLEM).Format(), "Posting error");
    // The grid's edit waits; the grid shows what the sheet wrote before it goes on.
    EXPECT_FALSE(grid->CommitData());
    EXPECT_EQ(Cell("PROBLEM"), "Posting error");
    EXPECT_EQ(Cell("FORMESS"), "Typed in the grid, not saved yet");
    EXPECT_TRUE(grid->CommitData());
    EXPECT_EQ(Stored(edited)->Value(QV_PROBLEM).Format(), "Posting error");
    EXPECT_EQ(Stored(edited)->Value(QV_FORMESS).Format(), "Typed in the grid, not saved yet");
}
