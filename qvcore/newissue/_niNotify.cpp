// With operator security on, the responsible person is an operator the suite knows, so the
// name can only come from the operator selection; without it the name is free text.
#include "qvcore/newissue/_niNotify.h"

#include "ui__niNotify.h"

#include "qvcore/newissue/niPropSheet.h"
#include "qvcore/newissue/niTextLimit.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"

#include "qvkit/mail/kclMail.h"

#include "kwapp/suitedlg/xs_select_access.h"
#include "kwapp/widgets/kwEdit.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xs.h"

_niNotify::_niNotify(qvIssue* issue, bool newMode)
    : kwPropertyPage(QString::fromStdString(qvLiteral(QVL_NOTIFY, -1, QVCORE_MODULE).str()), TEMPLATE_ID),
      _ui(std::make_unique<Ui::_niNotify>()), _issue(issue),
      _notify(newMode ? Prefs::NotifyOnNew() : Prefs::NotifyOnChange()) {
    _ui->setupUi(this);
    connect(_ui->pick, &QPushButton::clicked, this, [this] { OnPick(); });
}

_niNotify::~_niNotify() = default;

bool _niNotify::OnInitDialog() {
    if (!_issue) return DoDataExchange(false);
    _securityOn = xs_security_on();
    _operatorId = _issue->Value(QV_IOPERID).Format();
    if (!_securityOn) {
        _ui->pick->setEnabled(false);
        _ui->pick->hide();
    }
    _responsible = _issue->Value(QV_RESPONS).Format();
    _ui->responsible->SetByteLimit(_issue->Width(QV_RESPONS));
    niLimitTextBytes(_ui->others, _issue->Width(QV_NOTIFY_OTHERS));
    _ui->responsible->setEnabled(!_securityOn);
    kclMail mail;
    if (!mail.isEnabled()) _ui->notify->setEnabled(false);
    // The others to notify are never stored, so an edited issue starts without any.
    return DoDataExchange(false);
}

bool _niNotify::DoDataExchange(bool save) {
    if (save) {
        _responsible = _ui->responsible->Text();
        _notify = _ui->notify->isChecked() ? 1 : 0;
        _others = _ui->others->toPlainText().toStdString();
        return true;
    }
    _ui->responsible->SetText(_responsible);
    _ui->notify->setChecked(_notify == 1);
    _ui->others->setPlainText(QString::fromStdString(_others));
    return true;
}

void _niNotify::OnPick() {
    std::string id, name;
    if (xs_select_access(PICK_COMMAND, x_utf8_cut(_operatorId, OPERATOR_ID_MAX), &id, &name) != XIO_OK) return;
    _ui->responsible->SetText(name);
    _operatorId = x_utf8_cut(id, OPERATOR_ID_MAX);
}

bool _niNotify::OnApply() {
    if (!_issue) return kwPropertyPage::OnApply();
    DoDataExchange(true);
    _issue->Value(QV_IOPERID).Set(_operatorId);
    _issue->Value(QV_RESPONS).Set(_responsible);
    _issue->Value(QV_EMAIL).Set(_notify == 1 ? "Yes" : "No");
    _issue->Value(QV_NOTIFY_OTHERS).Set(_others);
    if (auto* sheet = dynamic_cast<niPropSheet*>(Sheet())) sheet->SetDataChanged();
    return kwPropertyPage::OnApply();
}
