// The operators come from the company's operators file each time the list is filled, so
// one added meanwhile by the administrator is offered at once. The chosen operator becomes
// the current one for the rest of the run.
#include "kwapp/dialogs/kwLogOnDlg.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/dialogs/kwFolderDialog.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwCompanyChoice.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio_dict.h"
#include "kwcommon/xs.h"
#include "ui_kwLogOnDlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include <strings.h>

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
} // namespace

kwLogOnDlg::kwLogOnDlg(QWidget* parent) : kwDialog(0, parent), _ui(std::make_unique<Ui::kwLogOnDlg>()) {
    _ui->setupUi(this);
    const kwApplication* app = KWGetApp();
    setWindowTitle(QStringLiteral("Log On") + (app ? QStringLiteral(" - ") + Q(app->Name()) : QString()));
    _ui->operators->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // In a running program giving up keeps the company it had; at start-up it ends the run.
    if (app && app->MainWindow()) _ui->cancel->setText(QStringLiteral("Cancel"));
    WireStandardButtons();
    connect(_ui->openCompany, &QPushButton::clicked, this, [this] { OnOpenCompany(); });
    connect(_ui->operators, &QTreeWidget::itemDoubleClicked, this, [this] { OnOK(); });
    Refill();
}

kwLogOnDlg::~kwLogOnDlg() = default;

kwSeam<int(kwLogOnDlg&)>& kwLogOnDlg::RunnerSeam() {
    static kwSeam<int(kwLogOnDlg&)> seam;
    return seam;
}

int kwLogOnDlg::DoModal() {
    if (RunnerSeam()) return RunnerSeam()(*this);
    return kwDialog::DoModal();
}

bool kwLogOnDlg::OperatorMayWork() {
    if (!kwCompany::IsOpen() || !xs_security_on()) return true;
    xs_oper_def oper{};
    return xs_get_oper_def(&oper) == 0;
}

std::string kwLogOnDlg::NotAnOperatorText() {
    return "The operator \"" + kwCompany::CurrentOperatorId() + "\" is not an operator of " +
           kwCompany::Name() + ".";
}

bool kwLogOnDlg::LogOn(QWidget* parent) {
    while (!OperatorMayWork()) {
        kwLogOnDlg dialog(parent);
        if (dialog.DoModal() != IDOK) return false;
    }
    return true;
}

void kwLogOnDlg::Refill() {
    _ui->message->setText(Q(NotAnOperatorText()) +
                          QStringLiteral("  Log on as one of its operators, or open another company."));
    _ui->company->setText(Q(kwCompany::Name()) + QStringLiteral("  (") + Q(kwCompany::Folder()) +
                          QStringLiteral(")"));
    _ui->operators->clear();
    for (const xs_oper_def& oper : xs_all_operators()) {
        auto* item = new QTreeWidgetItem(_ui->operators);
        item->setText(0, QString::fromUtf8(oper.id));
        item->setText(1, QString::fromUtf8(oper.name));
    }
    if (_ui->operators->topLevelItemCount() > 0)
        _ui->operators->setCurrentItem(_ui->operators->topLevelItem(0));
    // A company without operators leaves only another company, or giving up.
    GetDlgItem(IDOK)->setEnabled(_ui->operators->topLevelItemCount() > 0);
}

int kwLogOnDlg::OperatorCount() const { return _ui->operators->topLevelItemCount(); }

bool kwLogOnDlg::Select(const std::string& id) {
    for (int row = 0; row < _ui->operators->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = _ui->operators->topLevelItem(row);
        const std::string itemId = item->text(0).toStdString();
        if (itemId.size() == id.size() && ::strncasecmp(itemId.c_str(), id.c_str(), id.size()) == 0) {
            _ui->operators->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

bool kwLogOnDlg::OnInitDialog() {
    _ui->operators->setFocus();
    return kwDialog::OnInitDialog();
}

bool kwLogOnDlg::DoDataExchange(bool save) {
    if (!save) return true;
    const QTreeWidgetItem* item = _ui->operators->currentItem();
    if (!item) return false; // nobody chosen: OK does nothing
    kwCompany::SetCurrentOperatorId(item->text(0).toStdString());
    return true;
}

void kwLogOnDlg::OnOpenCompany() {
    const auto chosen = kwFolderDialog::Choose("Open Company", kwCompany::Folder());
    if (!chosen) return;
    std::string error;
    const std::string folder = kwCompanyChoice::WorkingFolder(*chosen, &error);
    if (folder.empty() || !kwCompany::Open(folder, &error)) {
        const std::string text = "The company cannot be opened.\n\n" + error;
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        return;
    }
    kwDictionaryLoader::ClearCache();
    if (OperatorMayWork()) {
        EndDialog(IDOK);
        return;
    }
    Refill();
}
