// The "System Controls" page of the Options sheet: filtering View Issues by responsible
// person, and the report designs the View Issues window prints its form and its table with.
// A design name must name a design the company has; Browse chooses one from the reports.
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <string>

namespace Ui {
class PPSysPrefs;
}
class kwEdit;

class PPSysPrefs : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 25200;
    enum ControlId : int {
        IDC_AUTO_FILTER = 182,
        IDC_AUTO_FILTER_PRIVILEGED = 183,
        IDC_LIST_NAME = 184,
        IDC_FORM_NAME = 185,
        IDC_LIST_BROWSE = 187,
        IDC_FORM_BROWSE = 188,
    };
    static constexpr const char* DESIGN_MISSING = "Report design does not exist.";
    static constexpr const char* CHOOSER_TITLE = "Report Designs";

    PPSysPrefs();
    ~PPSysPrefs() override;

    bool DoDataExchange(bool save) override;
    bool OnApply() override;
    // Browse for the form (188) or the columnar (187) design.
    void OnBrowse(kwEdit* edit);

private:
    // True when the edit's name is a design; else says so and puts the focus there.
    bool CheckDesign(kwEdit* edit);

    std::unique_ptr<Ui::PPSysPrefs> _ui;
    int _autoFilter;
    int _autoFilterPrivileged;
    std::string _formName;
    std::string _listName;
};
