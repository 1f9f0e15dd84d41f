// Escape and the close box take the Cancel path, so subclasses see one way out.
#include "kwapp/dialogs/kwDialog.h"

#include "kwapp/widgets/kwCtrl.h"

#include <QAbstractButton>

kwDialog::kwDialog(unsigned short templateId, QWidget* parent)
    : QDialog(parent), _templateId(templateId) {
    setModal(true);
}

kwDialog::~kwDialog() = default;

int kwDialog::DoModal() {
    _result = IDCANCEL;
    exec();
    return _result;
}

QWidget* kwDialog::GetDlgItem(int id) const { return kwFindCtrl(this, id); }

bool kwDialog::UpdateData(bool save) { return DoDataExchange(save); }

bool kwDialog::OnInitDialog() { return UpdateData(false); }
bool kwDialog::DoDataExchange(bool /*save*/) { return true; }

void kwDialog::OnOK() {
    if (!UpdateData(true)) return;
    _result = IDOK;
    QDialog::accept();
}

void kwDialog::OnCancel() {
    _result = IDCANCEL;
    QDialog::reject();
}

void kwDialog::EndDialog(int result) {
    _result = result;
    if (result == IDOK) QDialog::accept();
    else QDialog::reject();
}

void kwDialog::WireStandardButtons() {
    if (auto* ok = qobject_cast<QAbstractButton*>(GetDlgItem(IDOK)))
        connect(ok, &QAbstractButton::clicked, this, [this] { OnOK(); });
    if (auto* cancel = qobject_cast<QAbstractButton*>(GetDlgItem(IDCANCEL)))
        connect(cancel, &QAbstractButton::clicked, this, [this] { OnCancel(); });
}

void kwDialog::showEvent(QShowEvent* event) {
    if (!_initialised) {
        _initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void kwDialog::reject() { OnCancel(); }
