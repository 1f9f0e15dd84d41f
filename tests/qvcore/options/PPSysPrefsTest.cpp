// "System Controls": report design names checked against the company's designs, the form's
// first, with "Report design does not exist." and the page kept; Browse through the
// chooser.
#include "qvcore/options/PPSysPrefs.h"

#include "qvkit/paths/kclFileChooser.h"

#include "kwapp/widgets/kwEdit.h"

#include "kwcommon/paths/kwPath.h"

#include "OptionsFixture.h"

#include <QCheckBox>
#include <QPushButton>

using namespace optionstest;

namespace {
class SystemControls : public OptionsFixture {};
} // namespace

TEST_F(SystemControls, ReportNamesMustNameDesignsFormFirst) {
    auto* page = Show(new PPSysPrefs());
    auto* form = Control<kwEdit>(page, PPSysPrefs::IDC_FORM_NAME);
    auto* list = Control<kwEdit>(page, PPSysPrefs::IDC_LIST_NAME);
    EXPECT_EQ(form->Text(), "QV Form View");
    EXPECT_EQ(list->Text(), "QV Table View");

    form->SetText("No Such Form");
    list->SetText("No Such Table");
    EXPECT_FALSE(sheet->PressApply());
    ASSERT_EQ(xw_shown_messages().size(), 1u) << "the columnar name is not looked at while the form's is wrong";
    EXPECT_EQ(xw_shown_messages()[0].text, "Report design does not exist.");
    EXPECT_EQ(xw_shown_messages()[0].type, XW_INFO);
    EXPECT_EQ(Prefs::FormName(), "QV Form View") << "nothing is written";

    xw_clear_shown_messages();
    form->SetText("QV Table View");
    EXPECT_FALSE(sheet->PressApply());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Report design does not exist."}) << "then the columnar one";

    xw_clear_shown_messages();
    list->SetText("QV Form View");
    Control<QCheckBox>(page, PPSysPrefs::IDC_AUTO_FILTER)->setChecked(true);
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_TRUE(xw_shown_messages().empty());
    Prefs::SetDefaults();
    Prefs::Load();
    EXPECT_EQ(Prefs::FormName(), "QV Table View") << "saved for the installation";
    EXPECT_EQ(Prefs::ListName(), "QV Form View");
    EXPECT_TRUE(Prefs::AutoFilter());
}

TEST_F(SystemControls, BrowseChoosesADesignByItsBareName) {
    auto* page = Show(new PPSysPrefs());
    std::string title;
    {
        auto chooser = kclFileChooserSeam().Replace([&](const kclFileChoice& choice, std::string* chosen) -> short {
            title = choice.title;
            *chosen = kwPath::Reports("QV Table View.RPT");
            return 0;
        });
        Control<QPushButton>(page, PPSysPrefs::IDC_FORM_BROWSE)->click();
    }
    EXPECT_EQ(title, "Report Designs");
    EXPECT_EQ(Control<kwEdit>(page, PPSysPrefs::IDC_FORM_NAME)->Text(), "QV Table View");
    EXPECT_TRUE(page->IsModified());

    auto cancelled = kclFileChooserSeam().Replace([](const kclFileChoice&, std::string*) -> short { return 15; });
    Control<QPushButton>(page, PPSysPrefs::IDC_LIST_BROWSE)->click();
    EXPECT_EQ(Control<kwEdit>(page, PPSysPrefs::IDC_LIST_NAME)->Text(), "QV Table View") << "a cancelled choice changes nothing";
    Screenshot(sheet.get(), "PPSysPrefs");
}
