// "User Controls": the query list, the postpone range and its message, and the values
// written and kept for the next start, in effect at once.
#include "qvcore/options/PPUserPrefs.h"

#include "qvcore/queries/qvQueryInfo.h"

#include "kwcommon/values/kwDate.h"

#include "OptionsFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using namespace optionstest;

namespace {
class UserControls : public OptionsFixture {};

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}
} // namespace

TEST_F(UserControls, PostponeDaysMustLieBetween0And366) {
    auto* page = Show(new PPUserPrefs());
    auto* days = Control<QLineEdit>(page, PPUserPrefs::IDC_SNOOZE_DAYS);
    EXPECT_EQ(days->text(), "7") << "the stored interval is shown";

    for (const char* refused : {"367", "-1", "ten", ""}) {
        xw_clear_shown_messages();
        days->setText(QString::fromLatin1(refused));
        EXPECT_FALSE(sheet->PressApply()) << refused;
        EXPECT_EQ(Texts(), std::vector<std::string>{"Please enter a number between 0 and 366."}) << refused;
        EXPECT_EQ(Prefs::SnoozeDays(), 7) << refused << " leaves the stored interval";
    }
    days->setText("366");
    xw_clear_shown_messages();
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_EQ(Prefs::SnoozeDays(), 366);
    EXPECT_EQ(Prefs::SnoozeDays(kwDate(2026, 1, 8)), 366 + 2)
        << "the View Issues window postpones by the new interval at once (a Saturday result moves to Monday)";
    days->setText("12.9");
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_EQ(Prefs::SnoozeDays(), 12) << "days are truncated to whole days";
}

TEST_F(UserControls, DefaultQueryListAndChoicesAreKeptForTheNextStart) {
    auto* page = Show(new PPUserPrefs());
    auto* queries = Control<QComboBox>(page, PPUserPrefs::IDC_DEFAULT_QUERY);
    EXPECT_EQ(Items(queries), QStringList{"<None>"}) << "no query file: only <None>";
    EXPECT_EQ(queries->currentText(), "<None>");
    Screenshot(sheet.get(), "PPUserPrefs");

    Control<QCheckBox>(page, PPUserPrefs::IDC_AUTO_START_VIEWER)->setChecked(true);
    Control<QCheckBox>(page, PPUserPrefs::IDC_NOTIFY_ON_NEW)->setChecked(true);
    Control<QCheckBox>(page, PPUserPrefs::IDC_DISALLOW_WEEKEND)->setChecked(false);
    EXPECT_TRUE(page->IsModified());
    ASSERT_TRUE(sheet->PressOK());
    EXPECT_STREQ(Prefs::QueryName(), "<None>") << "<None> is stored as its text";

    // The next start reads what was saved.
    Prefs::SetDefaults();
    Prefs::Load();
    EXPECT_TRUE(Prefs::AutoStartViewer()) << "View Issues opens at the next start";
    EXPECT_TRUE(Prefs::NotifyOnNew());
    EXPECT_FALSE(Prefs::DisallowWeekend());
    EXPECT_FALSE(Prefs::DeleteWhenClosed());
    EXPECT_STREQ(Prefs::QueryName(), "<None>");
}

TEST_F(UserControls, CancelChangesNothing) {
    auto* page = Show(new PPUserPrefs());
    Control<QCheckBox>(page, PPUserPrefs::IDC_DELETE_WHEN_CLOSED)->setChecked(true);
    Control<QLineEdit>(page, PPUserPrefs::IDC_SNOOZE_DAYS)->setText("30");
    sheet->PressCancel();
    EXPECT_FALSE(Prefs::DeleteWhenClosed());
    EXPECT_EQ(Prefs::SnoozeDays(), 7);
}
