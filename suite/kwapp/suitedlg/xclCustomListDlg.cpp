// Entries are edited in place in the list; the default is a free text offered the entries,
// since a company's default need not be one of them (a blank default is common).
#include "kwapp/suitedlg/xclCustomListDlg.h"

#include "kwapp/suitedlg/xcl_edit_custom_list.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xk.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace {
QString Trimmed(const QString& text) {
    return text.trimmed();
}
} // namespace

xclCustomListDlg::xclCustomListDlg(short list, const std::vector<std::string>& entries,
                                   QWidget* parent)
    : kwDialog(0, parent), _list(list), _saveStatus(XIO_CANCELLED) {
    const std::string description = xk_description(list);
    setWindowTitle(QStringLiteral("Custom List %1%2")
                       .arg(list)
                       .arg(description.empty()
                                ? QString()
                                : QStringLiteral(" - ") + QString::fromStdString(description)));

    auto* grid = new QGridLayout(this);
    auto* defaultLabel = new QLabel(QStringLiteral("De&fault:"), this);
    _default = new QComboBox(this);
    _default->setEditable(true);
    _default->setInsertPolicy(QComboBox::NoInsert);
    _default->setProperty("ctrlId", IDC_DEFAULT);
    defaultLabel->setBuddy(_default);
    grid->addWidget(defaultLabel, 0, 0);
    grid->addWidget(_default, 0, 1);

    auto* entriesLabel = new QLabel(QStringLiteral("&Entries:"), this);
    _entries = new QListWidget(this);
    _entries->setProperty("ctrlId", IDC_ENTRIES);
    _entries->setMinimumSize(220, 180);
    entriesLabel->setBuddy(_entries);
    grid->addWidget(entriesLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(_entries, 1, 1);

    auto* side = new QVBoxLayout();
    _remove = new QPushButton(QStringLiteral("&Remove"), this);
    _up = new QPushButton(QStringLiteral("Move &Up"), this);
    _down = new QPushButton(QStringLiteral("Move &Down"), this);
    _remove->setProperty("ctrlId", IDC_REMOVE);
    _up->setProperty("ctrlId", IDC_MOVE_UP);
    _down->setProperty("ctrlId", IDC_MOVE_DOWN);
    for (QPushButton* button : {_remove, _up, _down}) {
        button->setAutoDefault(false);
        side->addWidget(button);
    }
    side->addStretch(1);
    grid->addLayout(side, 1, 2);

    auto* newLabel = new QLabel(QStringLiteral("&New entry:"), this);
    _newEntry = new QLineEdit(this);
    _newEntry->setProperty("ctrlId", IDC_NEW_ENTRY);
    newLabel->setBuddy(_newEntry);
    _add = new QPushButton(QStringLiteral("&Add"), this);
    _add->setProperty("ctrlId", IDC_ADD);
    _add->setAutoDefault(false);
    grid->addWidget(newLabel, 2, 0);
    grid->addWidget(_newEntry, 2, 1);
    grid->addWidget(_add, 2, 2);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setProperty("ctrlId", IDOK);
    ok->setAutoDefault(false);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setProperty("ctrlId", IDCANCEL);
    grid->addWidget(buttons, 3, 0, 1, 3);
    WireStandardButtons();

    for (size_t i = 1; i < entries.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(entries[i]), _entries);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    for (int row = 0; row < _entries->count(); ++row)
        _default->addItem(_entries->item(row)->text());
    _default->setEditText(entries.empty() ? QString() : QString::fromStdString(entries[0]));

    connect(_add, &QPushButton::clicked, this, [this] {
        if (AddEntry(_newEntry->text().toStdString())) _newEntry->clear();
        _newEntry->setFocus();
    });
    // Return in the new-entry field adds it rather than closing the dialog.
    _newEntry->installEventFilter(this);
    connect(_remove, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(_up, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(_down, &QPushButton::clicked, this, [this] { MoveSelected(1); });
    connect(_entries, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();
}

xclCustomListDlg::~xclCustomListDlg() = default;

std::vector<std::string> xclCustomListDlg::Entries() const {
    std::vector<std::string> entries;
    entries.push_back(Trimmed(_default->currentText()).toStdString());
    for (int row = 0; row < _entries->count(); ++row)
        entries.push_back(Trimmed(_entries->item(row)->text()).toStdString());
    return entries;
}

bool xclCustomListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _newEntry && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            _add->click();
            return true;
        }
    }
    return kwDialog::eventFilter(watched, event);
}

bool xclCustomListDlg::AddEntry(const std::string& text) {
    const QString value = Trimmed(QString::fromStdString(text));
    if (value.isEmpty()) return false;
    for (int row = 0; row < _entries->count(); ++row) {
        if (Trimmed(_entries->item(row)->text()) == value) {
            _entries->setCurrentRow(row);
            const std::string message = "\"" + value.toStdString() + "\" is already in the list.";
            xw_wr_message(0, XW_ERROR, message.c_str(), 0);
            return false;
        }
    }
    auto* item = new QListWidgetItem(value, _entries);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    _entries->setCurrentItem(item);
    UpdateButtons();
    return true;
}

bool xclCustomListDlg::RemoveSelected() {
    const int row = _entries->currentRow();
    if (row < 0) return false;
    delete _entries->takeItem(row);
    if (_entries->count() > 0) _entries->setCurrentRow(std::min(row, _entries->count() - 1));
    UpdateButtons();
    return true;
}

bool xclCustomListDlg::MoveSelected(int direction) {
    const int row = _entries->currentRow();
    const int target = row + (direction < 0 ? -1 : 1);
    if (row < 0 || target < 0 || target >= _entries->count()) return false;
    QListWidgetItem* item = _entries->takeItem(row);
    _entries->insertItem(target, item);
    _entries->setCurrentRow(target);
    UpdateButtons();
    return true;
}

void xclCustomListDlg::UpdateButtons() {
    const int row = _entries->currentRow();
    _remove->setEnabled(row >= 0);
    _up->setEnabled(row > 0);
    _down->setEnabled(row >= 0 && row + 1 < _entries->count());
}

bool xclCustomListDlg::DoDataExchange(bool save) {
    if (!save) return true;
    const std::vector<std::string> entries = Entries();
    std::set<std::string> seen;
    for (size_t i = 1; i < entries.size(); ++i) {
        QListWidgetItem* item = _entries->item(static_cast<int>(i - 1));
        std::string problem;
        if (entries[i].empty())
            problem = "An entry of the list is blank. Type a value or remove the entry.";
        else if (!seen.insert(entries[i]).second)
            problem = "\"" + entries[i] + "\" is in the list twice.";
        if (!problem.empty()) {
            _entries->setCurrentItem(item);
            _entries->setFocus();
            xw_wr_message(0, XW_ERROR, problem.c_str(), 0);
            return false;
        }
    }
    _saveStatus = xcl_save_custom_list(_list, entries);
    return _saveStatus == XIO_OK;
}
