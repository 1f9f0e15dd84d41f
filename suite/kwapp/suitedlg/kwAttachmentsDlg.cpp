// The dialog shows the list as it will be once written, so a file added a moment ago is
// listed (and can be opened) before its owner saves anything.
#include "kwapp/suitedlg/kwAttachmentsDlg.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <chrono>

namespace {

QString SizeText(int64_t bytes) {
    if (bytes < 1024) return QStringLiteral("%1 bytes").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(static_cast<double>(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

QString AddedText(const kwioAttachment& attachment) {
    if (attachment.pending) return QStringLiteral("not saved yet");
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(attachment.added.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count()).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

} // namespace

kwSeam<int(kwAttachmentsDlg&)>& kwAttachmentsDlg::RunnerSeam() {
    static kwSeam<int(kwAttachmentsDlg&)> seam;
    return seam;
}

kwSeam<std::optional<std::string>(QWidget*)>& kwAttachmentsDlg::FileChooserSeam() {
    static kwSeam<std::optional<std::string>(QWidget*)> seam;
    return seam;
}

kwAttachmentsDlg::kwAttachmentsDlg(kwioAttachments& attachments, QWidget* parent)
    : kwDialog(0, parent), _attachments(attachments) {
    setWindowTitle(QStringLiteral("Attachments"));
    auto* layout = new QHBoxLayout(this);
    _list = new QTreeWidget(this);
    _list->setProperty("ctrlId", IDC_LIST);
    _list->setRootIsDecorated(false);
    _list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size"),
                            QStringLiteral("Added by"), QStringLiteral("Added")});
    _list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    _list->setMinimumSize(420, 200);
    layout->addWidget(_list, 1);

    auto* column = new QVBoxLayout();
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setProperty("ctrlId", IDOK);
    close->setDefault(true);
    auto* add = new QPushButton(QStringLiteral("&Add..."), this);
    add->setProperty("ctrlId", IDC_ADD);
    _remove = new QPushButton(QStringLiteral("&Remove"), this);
    _remove->setProperty("ctrlId", IDC_REMOVE);
    _open = new QPushButton(QStringLiteral("&Open"), this);
    _open->setProperty("ctrlId", IDC_OPEN);
    for (QPushButton* button : {close, add, _remove, _open}) {
        if (button != close) button->setAutoDefault(false);
        column->addWidget(button);
    }
    column->addStretch(1);
    layout->addLayout(column);

    // Without the list held for change, it can only be looked at.
    add->setEnabled(_attachments.HeldForChange());
    connect(close, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(add, &QPushButton::clicked, this, [this] { AddChosenFile(); });
    connect(_remove, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(_open, &QPushButton::clicked, this, [this] { OpenSelected(); });
    connect(_list, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelected(); });
    connect(_list, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
    Refill(0);
}

kwAttachmentsDlg::~kwAttachmentsDlg() = default;

int kwAttachmentsDlg::DoModal() {
    if (RunnerSeam()) return RunnerSeam()(*this);
    return kwDialog::DoModal();
}

void kwAttachmentsDlg::Refill(int selectRow) {
    _list->clear();
    for (const kwioAttachment& attachment : _attachments.List()) {
        auto* item = new QTreeWidgetItem(_list);
        item->setText(0, QString::fromStdString(attachment.name));
        item->setText(1, SizeText(attachment.size));
        item->setText(2, QString::fromStdString(attachment.addedBy));
        item->setText(3, AddedText(attachment));
    }
    if (_list->topLevelItemCount() > 0)
        SelectRow(std::min(std::max(selectRow, 0), _list->topLevelItemCount() - 1));
    UpdateButtons();
}

void kwAttachmentsDlg::UpdateButtons() {
    const bool selected = SelectedRow() >= 0;
    _remove->setEnabled(selected && _attachments.HeldForChange());
    _open->setEnabled(selected);
}

int kwAttachmentsDlg::SelectedRow() const {
    QTreeWidgetItem* item = _list->currentItem();
    return item ? _list->indexOfTopLevelItem(item) : -1;
}

void kwAttachmentsDlg::SelectRow(int row) {
    if (QTreeWidgetItem* item = _list->topLevelItem(row)) _list->setCurrentItem(item);
}

bool kwAttachmentsDlg::AddChosenFile() {
    std::optional<std::string> path;
    if (FileChooserSeam()) {
        path = FileChooserSeam()(this);
    } else {
        const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Attach File"));
        if (!chosen.isEmpty()) path = chosen.toStdString();
    }
    if (!path || path->empty()) return false;
    return AddFile(*path);
}

bool kwAttachmentsDlg::AddFile(const std::string& path) {
    const short status = _attachments.Add(path);
    if (status == XIO_NOT_LOCKED) {
        xw_wr_message(0, XW_ERROR,
                      "The attachments cannot be changed now: they are open for reading only.", 0);
        return false;
    }
    if (status != XIO_OK) return false; // the attachment list told the user why
    _changed = true;
    Refill(static_cast<int>(_attachments.Count()) - 1);
    return true;
}

bool kwAttachmentsDlg::RemoveAt(int row) {
    if (row < 0) return false;
    const short status = _attachments.Remove(static_cast<size_t>(row));
    if (status == XIO_NOT_LOCKED) {
        xw_wr_message(0, XW_ERROR,
                      "The attachments cannot be changed now: they are open for reading only.", 0);
        return false;
    }
    if (status != XIO_OK) return false;
    _changed = true;
    Refill(row);
    return true;
}

bool kwAttachmentsDlg::RemoveSelected() {
    return RemoveAt(SelectedRow());
}

bool kwAttachmentsDlg::OpenAt(int row) const {
    if (row < 0) return false;
    const std::string path = _attachments.OpenPath(static_cast<size_t>(row));
    if (path.empty()) return false;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)))) return true;
    const std::string text = "\"" + _attachments.At(static_cast<size_t>(row)).name +
                             "\" could not be opened: the desktop has no program set up for it.";
    xw_wr_message(0, XW_ERROR, text.c_str(), 0);
    return false;
}

bool kwAttachmentsDlg::OpenSelected() const {
    return OpenAt(SelectedRow());
}
