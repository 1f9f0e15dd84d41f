// The applications that store issues are those whose issue dictionary ("??z.dct") is in
// the dictionaries folder; each line shows the application's name and carries its code.
#include "qvcore/newissue/_niLinkWiz1.h"

#include "ui__niLinkWiz1.h"

#include "qvcore/newissue/_niLinkWizard.h"
#include "qvcore/store/qvLinkTarget.h"

#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xa.h"
#include "kwcommon/xio.h"

#include <QListWidget>

_niLinkWiz1::_niLinkWiz1(_niLinkWizard* wizard)
    : kwPropertyPage(QStringLiteral("Application"), TEMPLATE_ID), _ui(std::make_unique<Ui::_niLinkWiz1>()),
      _wizard(wizard) {
    _ui->setupUi(this);
    connect(_ui->applications, &QListWidget::itemDoubleClicked, this, [this] { _wizard->Next(); });
}

_niLinkWiz1::~_niLinkWiz1() = default;

QListWidget* _niLinkWiz1::List() const { return _ui->applications; }

bool _niLinkWiz1::OnInitDialog() {
    for (const std::string& code : qvIssueApplications()) {
        char name[64] = {};
        const std::string shown =
            xa_get_appl_name(code.c_str(), name, sizeof name) == XIO_OK && name[0] ? x_init_caps(name) : code;
        auto* item = new QListWidgetItem(QString::fromStdString(shown), _ui->applications);
        item->setData(Qt::UserRole, QString::fromStdString(code));
    }
    if (_ui->applications->count() == 0)
        _wizard->Message(XW_INFO, "You do not have any applications installed that store issues.  There are no "
                                  "issue dictionaries.");
    else
        _ui->applications->setCurrentRow(0);
    return kwPropertyPage::OnInitDialog();
}

bool _niLinkWiz1::OnSetActive() {
    _wizard->SetButtons(kwPropertySheet::PSWIZB_NEXT);
    _wizard->comingBack = false;
    _ui->applications->setFocus();
    return kwPropertyPage::OnSetActive();
}

int _niLinkWiz1::OnWizardNext() {
    const QListWidgetItem* item = _ui->applications->currentItem();
    if (!item) return -1;
    _wizard->applAbbrev = item->data(Qt::UserRole).toString().toStdString();
    _wizard->SetButtons(kwPropertySheet::PSWIZB_BACK | kwPropertySheet::PSWIZB_NEXT);
    return 0;
}
