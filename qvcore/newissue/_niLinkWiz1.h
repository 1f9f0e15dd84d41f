// Step 1 of the Link Wizard: the application whose record the issue is linked to, among
// those that store issues (their issue dictionary is installed).
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>

class _niLinkWizard;
class QListWidget;
namespace Ui {
class _niLinkWiz1;
}

class _niLinkWiz1 : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8801;
    static constexpr int IDC_LIST = 220;

    explicit _niLinkWiz1(_niLinkWizard* wizard);
    ~_niLinkWiz1() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    int OnWizardNext() override;
    QListWidget* List() const;

private:
    std::unique_ptr<Ui::_niLinkWiz1> _ui;
    _niLinkWizard* _wizard;
};
