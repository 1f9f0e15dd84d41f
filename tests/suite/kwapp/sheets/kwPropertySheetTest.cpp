// Property sheets and wizards: a page whose values fail their checks keeps the user, OK and
// Finish apply every page that was shown, Cancel asks about changes, Apply follows them.
#include "kwapp/sheets/kwPropertySheet.h"

#include "../KwappTestSupport.h"
#include "kwapp/sheets/kwPropertyPage.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include <string>
#include <vector>

namespace {
std::vector<std::string> g_calls;

class Page : public kwPropertyPage {
public:
    explicit Page(const QString& title) : kwPropertyPage(title) {}
    bool OnInitDialog() override {
        g_calls.push_back(Title().toStdString() + " init");
        return kwPropertyPage::OnInitDialog();
    }
    bool DoDataExchange(bool save) override { return !save || valid; }
    bool OnApply() override {
        g_calls.push_back(Title().toStdString() + " apply");
        return acceptApply && kwPropertyPage::OnApply();
    }
    bool valid = true;
    bool acceptApply = true;
};

struct Sheet {
    explicit Sheet(bool wizard = false) : sheet(QStringLiteral("Settings")) {
        g_calls.clear();
        xw_clear_shown_messages();
        for (const char* title : {"One", "Two", "Three"}) {
            auto* page = new Page(QString::fromLatin1(title));
            pages.push_back(page);
            sheet.AddPage(page);
        }
        if (wizard) sheet.SetWizardMode();
        sheet.show();
    }
    ~Sheet() { xw_clear_shown_messages(); }
    bool Visible(int id) const { return sheet.Button(id)->isVisible(); }
    bool Enabled(int id) const { return sheet.Button(id)->isEnabled(); }

    bool qtReady = (kwapptest::App(), true); // before the first widget
    kwPropertySheet sheet;
    std::vector<Page*> pages;
};
} // namespace

TEST(kwPropertySheet, InvalidValuesKeepTheUserOnTheirPage) {
    Sheet s;
    EXPECT_EQ(s.sheet.ActiveIndex(), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"One init"})) << "pages are set up when first shown";
    s.pages[0]->valid = false;
    EXPECT_FALSE(s.sheet.SetActivePage(2));
    EXPECT_EQ(s.sheet.ActiveIndex(), 0);
    EXPECT_FALSE(s.sheet.PressOK()) << "OK checks the current page first";
    EXPECT_TRUE(s.sheet.isVisible());
    s.pages[0]->valid = true;
    EXPECT_TRUE(s.sheet.SetActivePage(2));

    g_calls.clear();
    s.pages[2]->acceptApply = false;
    s.pages[0]->SetModified();
    EXPECT_FALSE(s.sheet.PressOK());
    EXPECT_EQ(g_calls, (std::vector<std::string>{"One apply", "Three apply"}))
        << "only pages that were shown apply, in order; Two was never shown";
    EXPECT_EQ(s.sheet.ActiveIndex(), 2) << "the page that refused becomes current";
    s.pages[2]->acceptApply = true;
    EXPECT_TRUE(s.sheet.PressOK());
    EXPECT_FALSE(s.sheet.isVisible());
}

TEST(kwPropertySheet, ApplyFollowsChangesAndCancelAsksAboutThem) {
    Sheet s;
    EXPECT_FALSE(s.Enabled(kwPropertySheet::ID_APPLY));
    s.pages[0]->SetModified();
    EXPECT_TRUE(s.Enabled(kwPropertySheet::ID_APPLY));
    EXPECT_TRUE(s.sheet.PressApply());
    EXPECT_FALSE(s.Enabled(kwPropertySheet::ID_APPLY)) << "applied changes are no longer changes";
    EXPECT_TRUE(s.sheet.isVisible()) << "Apply keeps the sheet open";

    s.pages[0]->SetModified();
    xw_script_answers({XW_ANSWER_CANCEL});
    s.sheet.PressCancel();
    EXPECT_TRUE(s.sheet.isVisible()) << "Cancel in the question keeps the sheet";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].type, XW_SAVE);

    g_calls.clear();
    xw_script_answers({XW_ANSWER_YES});
    s.sheet.PressCancel();
    EXPECT_FALSE(s.sheet.isVisible());
    EXPECT_EQ(g_calls, (std::vector<std::string>{"One apply"})) << "Yes saves the changes";

    Sheet quiet;
    quiet.sheet.SetHandleModifications(false);
    quiet.pages[0]->SetModified();
    quiet.sheet.PressCancel();
    EXPECT_FALSE(quiet.sheet.isVisible());
    EXPECT_TRUE(xw_shown_messages().empty()) << "without handling, Cancel drops changes unasked";
}

TEST(kwPropertySheet, WizardStepsThroughItsPagesAndFinishesOnTheLast) {
    Sheet s(true);
    EXPECT_FALSE(s.Visible(kwPropertySheet::ID_OK));
    EXPECT_FALSE(s.Enabled(kwPropertySheet::ID_WIZBACK)) << "nothing before the first page";
    EXPECT_TRUE(s.Visible(kwPropertySheet::ID_WIZNEXT));
    EXPECT_FALSE(s.Visible(kwPropertySheet::ID_WIZFINISH));

    s.pages[0]->valid = false;
    EXPECT_FALSE(s.sheet.PressNext()) << "Next checks the page";
    s.pages[0]->valid = true;
    EXPECT_TRUE(s.sheet.PressNext());
    EXPECT_TRUE(s.Enabled(kwPropertySheet::ID_WIZBACK));
    EXPECT_TRUE(s.sheet.PressBack());
    EXPECT_EQ(s.sheet.ActiveIndex(), 0);
    EXPECT_TRUE(s.sheet.PressNext());
    EXPECT_TRUE(s.sheet.PressNext());
    EXPECT_FALSE(s.sheet.PressNext()) << "no page after the last";
    EXPECT_TRUE(s.Visible(kwPropertySheet::ID_WIZFINISH));
    EXPECT_FALSE(s.Visible(kwPropertySheet::ID_WIZNEXT));

    s.sheet.SetWizardButtons(kwPropertySheet::PSWIZB_BACK | kwPropertySheet::PSWIZB_DISABLEDFINISH);
    EXPECT_TRUE(s.Visible(kwPropertySheet::ID_WIZFINISH));
    EXPECT_FALSE(s.Enabled(kwPropertySheet::ID_WIZFINISH));

    g_calls.clear();
    EXPECT_TRUE(s.sheet.PressFinish());
    EXPECT_EQ(g_calls, (std::vector<std::string>{"One apply", "Two apply", "Three apply"}));
    EXPECT_FALSE(s.sheet.isVisible());
}
