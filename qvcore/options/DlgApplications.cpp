// Marks are compared with those shown at the start to tell whether anything changed, so
// unmarking and marking again is no change.
#include "qvcore/options/DlgApplications.h"

#include "ui_DlgApplications.h"

#include "kwcommon/x_message.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

DlgApplications::DlgApplications(const std::vector<std::pair<std::string, std::string>>& applications,
                                 const std::vector<std::string>& notAvailable, bool showNames, QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::DlgApplications>()), _applications(applications),
      _notAvailable(notAvailable), _showNames(showNames), _initialShowNames(showNames) {
    _ui->setupUi(this);
    for (const auto& [code, name] : _applications) {
        auto* item = new QListWidgetItem(QString::fromStdString(name + "  (" + code + ")"), _ui->applications);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        const bool marked = std::find(notAvailable.begin(), notAvailable.end(), code) == notAvailable.end();
        item->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
        _initialMarks.push_back(marked);
    }
    _ui->showNames->setChecked(showNames);
    WireStandardButtons();
    // Cancel drops the changes without a question; only the close box asks.
    disconnect(_ui->cancel, nullptr, this, nullptr);
    connect(_ui->cancel, &QPushButton::clicked, this, [this] {
        _cancelPressed = true;
        EndDialog(IDCANCEL);
    });
}

DlgApplications::~DlgApplications() = default;

bool DlgApplications::Changed() const {
    for (size_t i = 0; i < _initialMarks.size(); ++i)
        if ((_ui->applications->item(static_cast<int>(i))->checkState() == Qt::Checked) != _initialMarks[i]) return true;
    return _ui->showNames->isChecked() != _initialShowNames;
}

bool DlgApplications::DoDataExchange(bool save) {
    if (!save) return true;
    _notAvailable.clear();
    for (size_t i = 0; i < _applications.size(); ++i)
        if (_ui->applications->item(static_cast<int>(i))->checkState() != Qt::Checked)
            _notAvailable.push_back(_applications[i].first);
    _showNames = _ui->showNames->isChecked();
    return true;
}

void DlgApplications::RequestClose() {
    if (!Changed()) {
        EndDialog(IDCANCEL);
        return;
    }
    const short answer = xw_wr_message(0, XW_SAVE, SAVE_QUESTION, 0);
    if (answer == XW_ANSWER_YES) OnOK();
    else if (answer == XW_ANSWER_NO) EndDialog(IDCANCEL);
    // Cancel: the panel stays.
}

void DlgApplications::reject() {
    if (_cancelPressed) {
        kwDialog::reject();
        return;
    }
    RequestClose();
}
