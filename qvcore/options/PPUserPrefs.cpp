// The page keeps its own copy of the values from construction to Apply, so Cancel leaves
// the preferences as they were; Apply writes them and saves the user's block at once, and
// the views read Prefs each time they need a value, so nothing waits for a restart.
#include "qvcore/options/PPUserPrefs.h"

#include "ui_PPUserPrefs.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvQueryInfo.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwcommon/x_message.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <cmath>
#include <cstdio>

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

void SetCheck(QCheckBox* box, int value) { box->setChecked(value != 0); }
} // namespace

PPUserPrefs::PPUserPrefs()
    : kwPropertyPage(QStringLiteral("User Controls"), TEMPLATE_ID),
      _ui(std::make_unique<Ui::PPUserPrefs>()), _queryName(Prefs::QueryName()),
      _autoStartViewer(Prefs::AutoStartViewer()), _deleteWhenClosed(Prefs::DeleteWhenClosed()),
      _notifyOnNew(Prefs::NotifyOnNew()), _notifyOnChange(Prefs::NotifyOnChange()),
      _snoozeDays(Prefs::SnoozeDays()), _disallowWeekend(Prefs::DisallowWeekend()) {
    _ui->setupUi(this);
    const auto modified = [this] { SetModified(true); };
    connect(_ui->defaultQuery, &QComboBox::currentIndexChanged, this, modified);
    connect(_ui->snoozeDays, &QLineEdit::textEdited, this, modified);
    for (QCheckBox* box : {_ui->autoStartViewer, _ui->deleteWhenClosed, _ui->notifyOnNew,
                           _ui->notifyOnChange, _ui->disallowWeekend})
        connect(box, &QCheckBox::toggled, this, modified);
}

PPUserPrefs::~PPUserPrefs() = default;

std::string PPUserPrefs::RangeMessage(double low, double high) {
    char text[96];
    std::snprintf(text, sizeof text, "Please enter a number between %g and %g.", low, high);
    return text;
}

bool PPUserPrefs::OnInitDialog() {
    qvQueryInfo queries(QV_CMD_CUSTOMIZE);
    {
        const QSignalBlocker quiet(_ui->defaultQuery);
        _ui->defaultQuery->addItem(QString::fromLatin1(qvQueryInfo::NoneName));
        for (const std::string& name : queries.GetQueryList())
            _ui->defaultQuery->addItem(Q(name));
    }
    const bool filled = DoDataExchange(false);
    SetModified(false);
    return filled;
}

bool PPUserPrefs::DoDataExchange(bool save) {
    if (!save) {
        const QSignalBlocker quiet(_ui->defaultQuery);
        const int index = _ui->defaultQuery->findText(Q(_queryName), Qt::MatchExactly | Qt::MatchCaseSensitive);
        // A stored query that has been deleted since is no choice: "<None>" is shown.
        _ui->defaultQuery->setCurrentIndex(index >= 0 ? index : 0);
        for (auto [box, value] : {std::pair{_ui->autoStartViewer, _autoStartViewer},
                                  std::pair{_ui->deleteWhenClosed, _deleteWhenClosed},
                                  std::pair{_ui->notifyOnNew, _notifyOnNew},
                                  std::pair{_ui->notifyOnChange, _notifyOnChange},
                                  std::pair{_ui->disallowWeekend, _disallowWeekend}}) {
            const QSignalBlocker quietBox(box);
            SetCheck(box, value);
        }
        _ui->snoozeDays->setText(QString::number(_snoozeDays, 'g', 10));
        return true;
    }
    bool number = false;
    const double days = _ui->snoozeDays->text().trimmed().toDouble(&number);
    if (!number || !std::isfinite(days) || days < MIN_DAYS || days > MAX_DAYS) {
        xw_wr_message(0, XW_INFO, RangeMessage(MIN_DAYS, MAX_DAYS).c_str(), 0);
        _ui->snoozeDays->setFocus();
        _ui->snoozeDays->selectAll();
        return false;
    }
    _snoozeDays = days;
    _queryName = _ui->defaultQuery->currentText().toStdString();
    _autoStartViewer = _ui->autoStartViewer->isChecked();
    _deleteWhenClosed = _ui->deleteWhenClosed->isChecked();
    _notifyOnNew = _ui->notifyOnNew->isChecked();
    _notifyOnChange = _ui->notifyOnChange->isChecked();
    _disallowWeekend = _ui->disallowWeekend->isChecked();
    return true;
}

bool PPUserPrefs::OnApply() {
    // The sheet has the page check its values before Apply; a page that was never shown
    // keeps the values it read.
    if (IsCreated() && !DoDataExchange(true)) return false;
    Prefs::SetQueryName(_queryName.c_str());
    Prefs::SetAutoStartViewer(_autoStartViewer != 0);
    Prefs::SetDeleteWhenClosed(_deleteWhenClosed != 0);
    Prefs::SetNotifyOnNew(_notifyOnNew != 0);
    Prefs::SetNotifyOnChange(_notifyOnChange != 0);
    Prefs::SetSnoozeDays(static_cast<short>(std::trunc(_snoozeDays)));
    Prefs::SetDisallowWeekend(_disallowWeekend != 0);
    if (!Prefs::SaveUser())
        xw_wr_message(0, XW_ERROR, "Unable to save the user controls.  They apply until the program ends.", 0);
    return kwPropertyPage::OnApply();
}
