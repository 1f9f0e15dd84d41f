// Pages report their changes to the sheet so Apply follows them.
#include "kwapp/sheets/kwPropertyPage.h"

#include "kwapp/sheets/kwPropertySheet.h"
#include "kwapp/widgets/kwCtrl.h"

kwPropertyPage::kwPropertyPage(const QString& title, unsigned short templateId, QWidget* parent)
    : QWidget(parent), _title(title), _templateId(templateId) {}

kwPropertyPage::~kwPropertyPage() = default;

void kwPropertyPage::SetTitle(const QString& title) { _title = title; }

void kwPropertyPage::SetModified(bool changed) {
    _modified = changed;
    if (_sheet) _sheet->PageModified();
}

QWidget* kwPropertyPage::Ctrl(int id) const { return kwFindCtrl(this, id); }

bool kwPropertyPage::EnsureCreated() {
    if (_created) return true;
    _created = true;
    return OnInitDialog();
}

bool kwPropertyPage::OnInitDialog() { return DoDataExchange(false); }
bool kwPropertyPage::DoDataExchange(bool /*save*/) { return true; }
bool kwPropertyPage::OnSetActive() { return true; }
bool kwPropertyPage::OnKillActive() { return DoDataExchange(true); }

bool kwPropertyPage::OnApply() {
    _modified = false;
    return true;
}

void kwPropertyPage::OnCancel() {}
int kwPropertyPage::OnWizardBack() { return 0; }
int kwPropertyPage::OnWizardNext() { return 0; }
bool kwPropertyPage::OnWizardFinish() { return true; }
