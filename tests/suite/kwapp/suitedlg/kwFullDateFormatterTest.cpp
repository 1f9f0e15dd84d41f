// The full-date formatter on a real line edit: what may be typed, how a finished date is
// shown, and the arrow keys' one-day steps.
#include "kwapp/suitedlg/kwFullDateFormatter.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/xd.h"

#include "SuiteDlgTestSupport.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include <memory>

using namespace suitedlgtest;
using namespace std::chrono;

namespace {
class FullDateFormatter : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        pinned.emplace(xd_pin_now(year_month_day{2025y, June, 18d}));
        field = std::make_unique<QLineEdit>();
        formatter = new kwFullDateFormatter(field.get());
    }
    std::optional<xd_clock::Guard> pinned;

    TestCompany company{false};
    std::unique_ptr<QLineEdit> field;         // made once the application exists
    kwFullDateFormatter* formatter = nullptr; // owned by the field
};
} // namespace

TEST_F(FullDateFormatter, TypedDatesAreCheckedAndShownInFull) {
    EXPECT_EQ(kwFullDateFormatter::Of(field.get()), formatter);
    Type(field.get(), "1/2/25");
    EXPECT_EQ(field->text(), "1/2/25");
    Key(field.get(), Qt::Key_Return);
    EXPECT_EQ(field->text(), "01/02/2025")
        << "a finished date is shown in the company format, year in full";
    kwDate date;
    ASSERT_TRUE(formatter->GetDate(&date));
    EXPECT_EQ(date.Format(), "01/02/2025");

    field->clear();
    Type(field.get(), "12x/3");
    EXPECT_EQ(field->text(), "12/3") << "a letter can never be part of a date";
    Type(field.get(), "/2025/2025");
    EXPECT_LE(field->text().size(), 12) << "no endless text";
    EXPECT_FALSE(formatter->IsValid());
    Key(field.get(), Qt::Key_Return);
    EXPECT_TRUE(field->text().startsWith("12/3/2025"))
        << "text that is no date stays for the user to correct";

    field->setText("02/30/2025");
    EXPECT_FALSE(formatter->IsValid()) << "February 30 is no date";
    EXPECT_FALSE(formatter->GetDate(&date));
    EXPECT_TRUE(date.IsNull());
    field->setText("   ");
    EXPECT_TRUE(formatter->IsValid()) << "blank is no date, and allowed";
    EXPECT_TRUE(formatter->IsBlank());
}

TEST_F(FullDateFormatter, ArrowKeysStepOneDay) {
    field->setText("02/28/2024");
    Key(field.get(), Qt::Key_Up);
    EXPECT_EQ(field->text(), "02/29/2024");
    Key(field.get(), Qt::Key_Up);
    EXPECT_EQ(field->text(), "03/01/2024");
    Key(field.get(), Qt::Key_Down);
    Key(field.get(), Qt::Key_Down);
    EXPECT_EQ(field->text(), "02/28/2024");

    field->clear();
    Key(field.get(), Qt::Key_Down);
    EXPECT_EQ(field->text(), "06/18/2025") << "a blank date starts from today";

    field->setText("13/45/2025");
    Key(field.get(), Qt::Key_Up);
    EXPECT_EQ(field->text(), "13/45/2025") << "text that is no date is not stepped";

    field->setText("06/18/2025");
    field->setReadOnly(true);
    Key(field.get(), Qt::Key_Up);
    EXPECT_EQ(field->text(), "06/18/2025") << "a read-only field does not step";
}

TEST_F(FullDateFormatter, FollowsTheCompanysDateFormat) {
    kwCompany::SetDateFormat("DD.MM.YY");
    EXPECT_EQ(kwFullDateFormatter::FullFormat(), "DD.MM.YYYY");
    Type(field.get(), "5.3.25");
    Key(field.get(), Qt::Key_Return);
    EXPECT_EQ(field->text(), "05.03.2025");
    Key(field.get(), Qt::Key_Up);
    EXPECT_EQ(field->text(), "06.03.2025");
    kwCompany::SetDateFormat("MM/DD/YYYY");
}
