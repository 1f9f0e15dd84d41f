// Step 4 until the grid framework is in.
#include "qvcore/newissue/_niLinkWiz4.h"

#include "ui__niLinkWiz4.h"

#include "qvcore/newissue/_niLinkWizard.h"

_niLinkWiz4::_niLinkWiz4(_niLinkWizard* wizard)
    : kwPropertyPage(QStringLiteral("Record"), TEMPLATE_ID), _ui(std::make_unique<Ui::_niLinkWiz4>()),
      _wizard(wizard) {
    _ui->setupUi(this);
}

_niLinkWiz4::~_niLinkWiz4() = default;

bool _niLinkWiz4::OnSetActive() {
    _wizard->SetButtons(kwPropertySheet::PSWIZB_BACK);
    return kwPropertyPage::OnSetActive();
}

int _niLinkWiz4::OnWizardBack() { return _wizard->LeaveRecordStep() ? 0 : -1; }

bool _niLinkWiz4::OnWizardFinish() { return false; }
