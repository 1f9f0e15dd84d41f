// The focused row through the data source: the new row written only when changed, writes
// refused by a callback or by another user's lock keeping the edit and the focus, another
// user's change neither lost nor overwritten, deletes through the before-delete callback,
// re-sorting, the audit stamps and values refused with a message.
#include "../KwdmTestSupport.h"

#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwNum.h"
#include "kwcommon/values/xd.h"

using namespace kwdmtest;
using namespace std::chrono;

namespace {

class DataSource : public GridTest {
protected:
    // Callbacks counting what they are asked, with the write callback's answer set by the test.
    void Register() {
        view->SetNotifyCreate([this](kwdmCallbackManager& callbacks) {
            callbacks.SetRowCallback(KWDM_ROW_WRITE, "issue", [this](kwdmCallbackInfo& info) -> short {
                ++writes;
                if (refuse) return 1;
                if (info.QueryRow().IsNewRow())
                    info.QueryRow().Data("ISSUE")->SetValue(kwNum<long>(++lastNumber), false);
                return 0;
            });
            callbacks.SetRowCallback(KWDM_ROW_ENTER, "issue", [](kwdmCallbackInfo& info) -> short {
                if (info.QueryRow().IsNewRow()) info.QueryRow().Data("DUEDATE")->SetValue(kwDate(xd_get_date()), false);
                return 0;
            });
            callbacks.SetRowCallback(KWDM_ROW_DELETE, "issue", [this](kwdmCallbackInfo&) { return deleteAnswer; });
        });
    }
    // The stored value of a field of an issue, read through another open of the file.
    std::string Stored(double issue, const char* field) {
        short other = OpenAgain();
        xio_clr_record(other, 1);
        const x_value_def key = x_value_def::OfNumber(issue);
        xio_put_field(other, 0, xio_num(other, 0, 0, "ISSUE"), &key);
        std::string text;
        if (xio_rd_record(other, 1, 0, 0) == XIO_OK) xio_get_long_text(other, xio_num(other, 0, 0, field), &text);
        xio_cls_file(other);
        return text;
    }
    // A second open of the issue file: another workstation.
    static short OpenAgain() {
        xio_open_def def{};
        std::snprintf(def.abbrev, sizeof(def.abbrev), "QVI");
        def.programNumber = kProgram;
        short other = 0;
        EXPECT_EQ(xio_open_file(&def, &other), XIO_OK);
        return other;
    }
    int64_t Records() const {
        int64_t count = 0;
        xio_count_records(File(), 1, &count);
        return count;
    }
    const kwdmQueryColumn& Column(const char* name) const { return *root->Column(name); }

    int writes = 0;
    bool refuse = false;
    long lastNumber = 3;
    short deleteAnswer = KWDM_DELETE_ROW;
};

} // namespace

TEST_F(DataSource, TheNewRowIsWrittenOnlyWhenTheUserChangedIt) {
    MakeIssues(3);
    Define();
    Register();
    ASSERT_TRUE(Create());
    ASSERT_EQ(source->RowCount(), 4) << "three issues and the new row";
    ASSERT_TRUE(source->MoveFocus(3));
    EXPECT_TRUE(source->FocusedRow().IsNewRow());
    EXPECT_FALSE(source->FocusedRow().Changed()) << "defaults set without marking leave the new row clean";
    EXPECT_EQ(TextAt(3, "DUEDATE"), kwDate(xd_get_date()).Format());
    ASSERT_TRUE(source->MoveFocus(0));
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(Records(), 3);

    ASSERT_TRUE(source->MoveFocus(3));
    ASSERT_TRUE(source->UserEdit(Column("FORMESS"), "The printer jams on every second invoice"));
    ASSERT_TRUE(source->MoveFocus(0));
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(Records(), 4);
    EXPECT_EQ(source->RowCount(), 5) << "the record's row and a new row again";
    EXPECT_EQ(Stored(4, "FORMESS"), "The printer jams on every second invoice");
    EXPECT_EQ(IssueAt(0), "1") << "the focus went where the user went";
}

TEST_F(DataSource, AWriteRefusedByACallbackKeepsTheEditAndTheFocus) {
    MakeIssues(5);
    Define();
    Register();
    ASSERT_TRUE(Create());
    ASSERT_TRUE(source->MoveFocus(1));
    const std::string before = Stored(2, "FORMESS");
    ASSERT_TRUE(source->UserEdit(Column("FORMESS"), "Vendor sent the statement twice"));
    refuse = true;
    xw_clear_shown_messages();
    EXPECT_FALSE(source->MoveFocus(2));
    EXPECT_EQ(source->Focus(), 1) << "the focus stays on the row";
    EXPECT_EQ(TextAt(1, "FORMESS"), "Vendor sent the statement twice") << "the user's text is kept";
    EXPECT_TRUE(ShownContains("cannot be saved")) << "and the user is told";
    EXPECT_EQ(Stored(2, "FORMESS"), before) << "nothing was written";
    EXPECT_FALSE(control->CommitData()) << "CommitData gives false while the edit cannot be written";

    refuse = false;
    EXPECT_TRUE(source->MoveFocus(2)) << "leaving again writes";
    EXPECT_EQ(Stored(2, "FORMESS"), "Vendor sent the statement twice");
    EXPECT_EQ(source->FocusedRow().Saved().values[0].number, 3);
}

TEST_F(DataSource, AnotherUsersLockKeepsTheEditUntilTheRecordIsFree) {
    MakeIssues(4);
    Define();
    Register();
    ASSERT_TRUE(Create());

    // Another workstation is editing issue 2.
    short other = OpenAgain();
    xio_clr_record(other, 1);
    const x_value_def two = x_value_def::OfNumber(2);
    xio_put_field(other, 0, xio_num(other, 0, 0, "ISSUE"), &two);
    ASSERT_EQ(xio_rd_record(other, 1, 0, 1), XIO_OK);

    ASSERT_TRUE(source->MoveFocus(1));
    ASSERT_TRUE(source->UserEdit(Column("FORMESS"), "Asked the bank for the deposit slip"));
    EXPECT_TRUE(ShownContains("in use by another user")) << "told at the first change";
    xw_clear_shown_messages();
    EXPECT_FALSE(source->MoveFocus(2));
    EXPECT_TRUE(ShownContains("in use by another user"));
    EXPECT_EQ(TextAt(1, "FORMESS"), "Asked the bank for the deposit slip") << "the change is kept";
    EXPECT_EQ(source->Focus(), 1);

    xio_cls_file(other); // the other user is done
    EXPECT_TRUE(source->MoveFocus(2)) << "the user retries";
    EXPECT_EQ(Stored(2, "FORMESS"), "Asked the bank for the deposit slip");

    // And the other way round: while this grid edits issue 3, nobody else may change it.
    ASSERT_TRUE(source->UserEdit(Column("FORMESS"), "Waiting for the credit memo"));
    other = OpenAgain();
    xio_clr_record(other, 1);
    const x_value_def three = x_value_def::OfNumber(3);
    xio_put_field(other, 0, xio_num(other, 0, 0, "ISSUE"), &three);
    EXPECT_EQ(xio_rd_record(other, 1, 0, 1), XIO_LOCKED);
    ASSERT_TRUE(source->MoveFocus(0));
    EXPECT_EQ(xio_rd_record(other, 1, 0, 1), XIO_OK) << "the lock went with the row";
    xio_cls_file(other);
}

TEST_F(DataSource, AnotherUsersChangeIsNeitherLostNorOverwritten) {
    MakeIssues(3);
    Define();
    Register();
    ASSERT_TRUE(Create());
    ASSERT_TRUE(source->MoveFocus(1)); // issue 2, read now

    // Meanwhile another workstation puts it on hold.
    short other = OpenAgain();
    xio_clr_record(other, 1);
    const x_value_def two = x_value_def::OfNumber(2);
    xio_put_field(other, 0, xio_num(other, 0, 0, "ISSUE"), &two);
    ASSERT_EQ(xio_rd_record(other, 1, 0, 1), XIO_OK);
    const x_value_def hold = x_value_def::OfText("Escalated");
    xio_put_field(other, 0, xio_num(other, 0, 0, "STATUS"), &hold);
    ASSERT_EQ(xio_rep_record(other, 1), XIO_OK);
    xio_cls_file(other);

    ASSERT_TRUE(source->UserEdit(Column("FORMESS"), "Called the vendor"));
    EXPECT_EQ(TextAt(1, "STATUS"), "Escalated") << "the other user's change shows where this user changed nothing";
    ASSERT_TRUE(source->MoveFocus(0));
    EXPECT_EQ(Stored(2, "STATUS"), "Escalated") << "not overwritten";
    EXPECT_EQ(Stored(2, "FORMESS"), "Called the vendor");
}

TEST_F(DataSource, DeletesGoThroughTheBeforeDeleteCallback) {
    MakeIssues(4);
    Define();
    Register();
    ASSERT_TRUE(Create());
    ASSERT_TRUE(source->MoveFocus(1));
    deleteAnswer = 1;
    EXPECT_FALSE(source->DeleteFocused());
    EXPECT_EQ(Records(), 4) << "1 keeps the row";
    deleteAnswer = KWDM_DELETE_ROW;
    EXPECT_TRUE(source->DeleteFocused());
    EXPECT_EQ(Records(), 3);
    EXPECT_EQ(source->RecordCount(), 3);
    EXPECT_EQ(IssueAt(source->Focus()), "3") << "the focus goes to the record that followed";
    EXPECT_EQ(Stored(2, "ISSUE"), "") << "issue 2 is gone";
}

TEST_F(DataSource, ResortingKeepsTheFocusedIssueAndWrittenChangesAreStamped) {
    MakeIssues(40);
    Define();
    root->Column("ISSUE")->SetStyle(kwdmQueryColumn::READ_ONLY);
    Register();
    ASSERT_TRUE(Create());
    ASSERT_TRUE(source->MoveFocus(4));
    ASSERT_TRUE(source->SetIndex(1));
    EXPECT_EQ(source->Index(), 1);
    EXPECT_EQ(IssueAt(source->Focus()), "5") << "the same issue stays focused";
    auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    for (int64_t row = 1; row < source->RecordCount(); ++row)
        ASSERT_LE(lower(TextAt(row - 1, "STATUS")), lower(TextAt(row, "STATUS"))) << "row " << row;

    const auto pinnedNow = xd_pin_now(year_month_day{2025y, March, 3d}, 9 * 3600);
    EXPECT_FALSE(source->UserEdit(Column("ISSUE"), "99")) << "a read-only column takes nothing";
    xw_clear_shown_messages();
    EXPECT_FALSE(source->UserEdit(Column("DUEDATE"), "13/45/2024"));
    EXPECT_TRUE(ShownContains("is not a valid")) << "a value that is no date is refused with a message";
    ASSERT_TRUE(source->UserEdit(Column("DUEDATE"), "04/01/2025"));
    ASSERT_TRUE(control->CommitData());
    EXPECT_EQ(Stored(5, "OPERCHG"), "ADMIN") << "the audit object stamps the change";
    EXPECT_EQ(source->FocusedRow().Data("DATECHG")->NewText(), "03/03/2025");
    EXPECT_EQ(source->FocusedRow().Data("TIMECHG")->NewText(), "09:00:00");
}
