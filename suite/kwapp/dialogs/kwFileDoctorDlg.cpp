// The File Doctor works on the user-interface thread: the data library's check and repair
// tell their progress through a callback, which moves the progress dialog on, lets the
// window repaint and hears a Cancel.
#include "kwapp/dialogs/kwFileDoctorDlg.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include "ui_kwFileDoctorDlg.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidgetItem>

namespace {
constexpr int kAbbrevRole = Qt::UserRole;
constexpr int kExistsRole = Qt::UserRole + 1;
} // namespace

kwFileDoctorDlg::kwFileDoctorDlg(QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::kwFileDoctorDlg>()) {
    _ui->setupUi(this);
    _ui->reportText->setFont(QFont(QStringLiteral("Monospace")));
    connect(_ui->checkButton, &QPushButton::clicked, this, &kwFileDoctorDlg::OnCheck);
    connect(_ui->repairButton, &QPushButton::clicked, this, &kwFileDoctorDlg::OnRepair);
    connect(_ui->fileList, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
    FillFiles();
    WireStandardButtons();
}

kwFileDoctorDlg::~kwFileDoctorDlg() = default;

void kwFileDoctorDlg::FillFiles() {
    _ui->fileList->clear();
    if (kwCompany::IsOpen())
        _ui->companyLabel->setText(tr("Data files of %1:").arg(QString::fromStdString(kwCompany::Name())));
    for (const auto& file : xio_company_files()) {
        QString state = tr("absent");
        if (file.exists) {
            const qint64 bytes = QFileInfo(QString::fromStdString(file.path)).size();
            state = bytes >= 1024 * 1024 ? tr("%1 MB").arg(bytes / (1024.0 * 1024.0), 0, 'f', 1)
                                         : tr("%1 kB").arg((bytes + 1023) / 1024);
        }
        auto* item = new QTreeWidgetItem(_ui->fileList, QStringList{QString::fromStdString(file.abbrev),
                                                                    QString::fromStdString(file.description), state,
                                                                    QString::fromStdString(file.path)});
        item->setData(0, kAbbrevRole, QString::fromStdString(file.abbrev));
        item->setData(0, kExistsRole, file.exists);
        if (!file.exists) item->setToolTip(0, tr("The file has not been made yet."));
    }
    for (int column = 0; column < 3; ++column) _ui->fileList->resizeColumnToContents(column);
    for (int i = 0; i < _ui->fileList->topLevelItemCount(); ++i) {
        if (_ui->fileList->topLevelItem(i)->data(0, kExistsRole).toBool()) {
            _ui->fileList->setCurrentItem(_ui->fileList->topLevelItem(i));
            break;
        }
    }
    UpdateButtons();
}

void kwFileDoctorDlg::UpdateButtons() {
    const QTreeWidgetItem* item = _ui->fileList->currentItem();
    const bool usable = item && item->data(0, kExistsRole).toBool();
    _ui->checkButton->setEnabled(usable);
    _ui->repairButton->setEnabled(usable);
}

std::string kwFileDoctorDlg::ChosenFile() const {
    const QTreeWidgetItem* item = _ui->fileList->currentItem();
    return item ? item->data(0, kAbbrevRole).toString().toStdString() : std::string();
}

bool kwFileDoctorDlg::ChooseFile(const std::string& abbrev) {
    for (int i = 0; i < _ui->fileList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = _ui->fileList->topLevelItem(i);
        if (item->data(0, kAbbrevRole).toString().compare(QString::fromStdString(abbrev), Qt::CaseInsensitive) == 0) {
            _ui->fileList->setCurrentItem(item);
            _ui->fileList->scrollToItem(item);
            return true;
        }
    }
    return false;
}

short kwFileDoctorDlg::Run(bool repair, xio_file_report* report) {
    const std::string abbrev = ChosenFile();
    QProgressDialog progress(repair ? tr("Repairing %1...").arg(QString::fromStdString(abbrev))
                                    : tr("Checking %1...").arg(QString::fromStdString(abbrev)),
                             tr("Cancel"), 0, 100, this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const xio_progress tell = [&progress](int percent, const std::string& stage) {
        if (percent < 0) {
            progress.setMaximum(0); // busy: SQLite's own check tells no share of the work
        } else {
            progress.setMaximum(100);
            progress.setValue(percent);
        }
        progress.setLabelText(QString::fromStdString(stage));
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const short status = repair ? xio_repair_file(abbrev.c_str(), report, tell) : xio_check_file(abbrev.c_str(), report, tell);
    QApplication::restoreOverrideCursor();
    return status;
}

void kwFileDoctorDlg::OnCheck() {
    if (ChosenFile().empty()) return;
    xio_file_report report;
    const short status = Run(false, &report);
    QString verdict;
    if (status == XIO_CANCELLED) verdict = tr("The check was cancelled.");
    else if (status == XIO_OK) verdict = tr("The file is sound.");
    else if (status == XIO_CORRUPT)
        verdict = tr("The file is damaged. Repair rebuilds it from every record that can still be read.");
    else
        verdict = tr("The file cannot be checked: %1").arg(QString::fromStdString(xio_status_text(status)));
    ShowReport(verdict, report, status != XIO_CANCELLED);
}

void kwFileDoctorDlg::OnRepair() {
    const std::string abbrev = ChosenFile();
    if (abbrev.empty()) return;
    const std::string question = "Repair the " + abbrev +
                                 " data file?\n\nEveryone must close it first. If it is damaged, a new file is "
                                 "made from every record that can still be read, and the damaged file is kept "
                                 "beside it.";
    if (xw_wr_message(0, XW_YESNO, question.c_str(), 0) != XW_ANSWER_YES) return;
    xio_file_report report;
    const short status = Run(true, &report);
    QString verdict;
    if (status == XIO_CANCELLED) verdict = tr("The repair was cancelled; nothing was changed.");
    else if (!report.repaired && status == XIO_OK) verdict = tr("The file is sound; nothing was changed.");
    else if (report.repaired && report.everythingReadableSaved)
        verdict = tr("The file was repaired. Every record that could be read was saved.");
    else if (report.repaired)
        verdict = tr("The file was repaired, but some records that could be read were not saved; the damaged "
                     "file keeps them.");
    else
        verdict = tr("The file was not repaired: %1").arg(QString::fromStdString(xio_status_text(status)));
    ShowReport(verdict, report, status != XIO_CANCELLED);
    FillFiles();
    ChooseFile(abbrev);
}

void kwFileDoctorDlg::ShowReport(const QString& verdict, const xio_file_report& report, bool withDetails) {
    QString text = verdict;
    if (withDetails) text += QStringLiteral("\n\n") + QString::fromStdString(report.Text());
    _ui->reportText->setPlainText(text);
}
