// The facts a support call starts with, selectable so they can be copied.
#include "kwapp/dialogs/kwAboutDialog.h"

#include "kwapp/app/kwApplication.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/xs.h"
#include "ui_kwAboutDialog.h"

#include <sqlite3.h>

kwAboutDialog::kwAboutDialog(QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::kwAboutDialog>()) {
    _ui->setupUi(this);
    const kwApplication* app = KWGetApp();
    const QString name = app ? QString::fromStdString(app->Name()) : QString();
    setWindowTitle(QStringLiteral("About ") + name);
    QFont font = _ui->name->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    _ui->name->setFont(font);
    _ui->name->setText(name);
    if (app) {
        _ui->version->setText(QString::fromStdString(app->ProgramVersion().ToString()));
        _ui->dataVersion->setText(QString::fromStdString(app->MinDataVersion().ToString()));
    }
    // The libraries loaded now, which may be newer than those the program was built with.
    _ui->qtVersion->setText(QString::fromLatin1(qVersion()));
    _ui->sqliteVersion->setText(QString::fromLatin1(sqlite3_libversion()));
    const bool open = kwCompany::IsOpen();
    _ui->company->setText(open ? QString::fromStdString(kwCompany::Name()) : QStringLiteral("(none)"));
    _ui->folder->setText(open ? QString::fromStdString(kwCompany::Folder()) : QString());
    QString operatorText = QString::fromStdString(kwCompany::CurrentOperatorId());
    xs_oper_def oper{};
    if (open && xs_get_oper_def(&oper) == 0)
        operatorText += QStringLiteral(" (") + QString::fromUtf8(oper.name) + QStringLiteral(")");
    _ui->operatorName->setText(operatorText);
    WireStandardButtons();
}

kwAboutDialog::~kwAboutDialog() = default;
