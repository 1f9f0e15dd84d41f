// Step 4 of the Link Wizard: the record to link to. (The record grid joins once the grid
// framework is in; until then the step shows where it will be.)
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <string>

class _niLinkWizard;
namespace Ui {
class _niLinkWiz4;
}

class _niLinkWiz4 : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8831;
    static constexpr int IDC_GRID = 223;

    explicit _niLinkWiz4(_niLinkWizard* wizard);
    ~_niLinkWiz4() override;

    bool OnSetActive() override;
    int OnWizardBack() override;
    bool OnWizardFinish() override;

private:
    std::unique_ptr<Ui::_niLinkWiz4> _ui;
    _niLinkWizard* _wizard;
};
