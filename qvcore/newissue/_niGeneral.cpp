// The page works on its own strings and moves them to the issue only when the sheet is
// confirmed; the date checks compare with the dates last accepted, so a past date the user
// chose to keep, or a stored one never touched, is not asked about again.
#include "qvcore/newissue/_niGeneral.h"

#include "ui__niGeneral.h"

#include "qvcore/newissue/niPropSheet.h"
#include "qvcore/newissue/niTextLimit.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"

#include "qvkit/layout/kwSpinButton.h"
#include "qvkit/strings/kclRCString.h"
#include "qvkit/text/kclTermCode.h"

#include "kwapp/suitedlg/kwFullDateFormatter.h"
#include "kwapp/widgets/kwEdit.h"

#include "kwcommon/x_message.h"
#include "kwcommon/xk.h"

#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

#include <cstdio>
#include <vector>

namespace {

// The most a field name takes across before it wraps, in average characters: a company's
// long name for a field goes onto a second line rather than pushing the fields aside.
constexpr int kLabelCharacters = 22;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A date field never narrower than a whole date in the company's format.
void FitDateField(QLineEdit* edit) {
    const QFontMetrics metrics = edit->fontMetrics();
    const QString widest = Q(kwFullDateFormatter::FullFormat()).replace(QRegularExpression("[A-Za-z]"), "0");
    const int text = std::max(metrics.horizontalAdvance(widest),
                              metrics.horizontalAdvance(Q(kwFullDateFormatter::FullFormat())));
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QMargins margins = edit->textMargins();
    // The line edit's own side margins (2 pixels each) and the cursor.
    const QSize contents(text + margins.left() + margins.right() + 4 + 2, metrics.height());
    edit->setMinimumWidth(
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, edit).width());
}

kwDate* DateValue(qvIssue& issue, int field) {
    return dynamic_cast<kwDate*>(&issue.Value(field));
}

} // namespace

_niGeneral::_niGeneral(qvIssue* issue)
    : kwPropertyPage(Q(qvLiteral(QVL_GENERAL, -1, QVCORE_MODULE).str()), TEMPLATE_ID),
      _ui(std::make_unique<Ui::_niGeneral>()), _issue(issue) {
    _ui->setupUi(this);
    connect(_ui->addDays, &QPushButton::clicked, this, [this] { OnAddDays(); });
}

_niGeneral::~_niGeneral() = default;

void _niGeneral::FillFromCustomList(QComboBox* box, short list, const std::string& value) {
    const QSignalBlocker quiet(box);
    box->clear();
    std::vector<std::string> entries;
    xk_get_custom_list(list, &entries);
    for (size_t i = 1; i < entries.size(); ++i)
        box->addItem(Q(entries[i]));
    if (value.empty()) {
        // findText compares without regard to case; the default must match exactly.
        box->setCurrentIndex(
            entries.empty()
                ? -1
                : box->findText(Q(entries[0]), Qt::MatchExactly | Qt::MatchCaseSensitive));
        return;
    }
    int index = box->findText(Q(value), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        box->addItem(Q(value));
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

bool _niGeneral::OnInitDialog() {
    if (!_issue) return true;
    // Field-code labels: the company's own name of each custom field.
    const std::pair<QLabel*, short> labels[] = {
        {_ui->followUpLabel, LIST_FOLLOWUP},
        {_ui->classificationLabel, LIST_CLASSIFICATION},
        {_ui->urgencyLabel, LIST_URGENCY},
        {_ui->statusLabel, LIST_STATUS},
    };
    for (const auto& [label, code] : labels) {
        if (xk_width(code, 0) == 0) continue;
        char text[32];
        std::snprintf(text, sizeof text, "&<%dF>:", code);
        label->setText(Q(kclRepTermCode(text)));
    }
    // A name too long for one line wraps within a fixed width: the fields beside it keep
    // their room, and the row grows downwards.
    const int labelWidth = fontMetrics().averageCharWidth() * kLabelCharacters;
    for (QLabel* label : {_ui->followUpLabel, _ui->urgencyLabel, _ui->classificationLabel,
                          _ui->statusLabel}) {
        if (label->sizeHint().width() <= labelWidth) continue;
        label->setWordWrap(true);
        label->setFixedWidth(labelWidth);
    }

    _description = _issue->Value(QV_FORMESS).Format();
    _followUp = _issue->Value(QV_FOLLOWU).Format();
    _urgency = _issue->Value(QV_URGENCY).Format();
    _classification = _issue->Value(QV_CLASSIF).Format();
    _status = _issue->Value(QV_STATUS).Format();

    FillFromCustomList(_ui->followUp, LIST_FOLLOWUP, _followUp);
    FillFromCustomList(_ui->urgency, LIST_URGENCY, _urgency);
    FillFromCustomList(_ui->classification, LIST_CLASSIFICATION, _classification);
    FillFromCustomList(_ui->status, LIST_STATUS, _status);
    // No list is narrower than its longest item, and the four stay one width.
    // Measured as the style will draw them, which the page knows only once it is polished.
    ensurePolished();
    int listWidth = 0;
    for (QComboBox* box : {_ui->followUp, _ui->urgency, _ui->classification, _ui->status}) {
        // A hint taken before the items came is kept until the policy changes.
        const QComboBox::SizeAdjustPolicy policy = box->sizeAdjustPolicy();
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        listWidth = std::max(listWidth, box->sizeHint().width());
        box->setSizeAdjustPolicy(policy);
    }
    for (QComboBox* box : {_ui->followUp, _ui->urgency, _ui->classification, _ui->status})
        box->setMinimumWidth(listWidth);
    FitDateField(_ui->notifyDate);
    FitDateField(_ui->dueDate);

    _notifyFormatter = new kwFullDateFormatter(_ui->notifyDate);
    _dueFormatter = new kwFullDateFormatter(_ui->dueDate);
    _ui->dueSpin->SetBuddy(_ui->dueDate);
    _ui->notifySpin->SetBuddy(_ui->notifyDate);
    niLimitTextBytes(_ui->description, _issue->Width(QV_FORMESS));

    const kwDate* notifyDate = DateValue(*_issue, QV_NOTDATE);
    const kwDate* dueDate = DateValue(*_issue, QV_DUEDATE);
    if (!notifyDate || !dueDate) return true; // not dates: the page stays as its template
    _notifyDate = kwFullDateFormatter::Format(*notifyDate);
    _dueDate = kwFullDateFormatter::Format(*dueDate);
    _rememberedNotify = *notifyDate;
    _rememberedDue = *dueDate;

    if (dueDate->IsNull()) _ui->addDays->setEnabled(false);
    return DoDataExchange(false);
}

bool _niGeneral::DoDataExchange(bool save) {
    if (save) {
        _description = _ui->description->toPlainText().toStdString();
        _dueDate = _ui->dueDate->text().toStdString();
        _notifyDate = _ui->notifyDate->text().toStdString();
        _classification = _ui->classification->currentText().toStdString();
        _followUp = _ui->followUp->currentText().toStdString();
        _status = _ui->status->currentText().toStdString();
        _urgency = _ui->urgency->currentText().toStdString();
        return true;
    }
    _ui->description->setPlainText(Q(_description));
    _ui->dueDate->setText(Q(_dueDate));
    _ui->notifyDate->setText(Q(_notifyDate));
    return true;
}

void _niGeneral::FocusEdit(QLineEdit* edit) {
    edit->setFocus();
    edit->selectAll();
}

bool _niGeneral::ReadDate(QLineEdit* edit, const std::string& name, kwDate* date) {
    if (kwFullDateFormatter::Parse(edit->text().toStdString(), date)) return true;
    const std::string text = name + " \"" + edit->text().trimmed().toStdString() +
                             "\" is not a date.  Type it as " + kwFullDateFormatter::FullFormat() +
                             ".";
    xw_wr_message(0, XW_ERROR, text.c_str(), 0);
    FocusEdit(edit);
    return false;
}

bool _niGeneral::DatePassed(const kwDate& date, kwDate& remembered, const std::string& name) {
    bool change = false;
    if (!date.IsNull() && date.Compare(remembered) != 0 && date < kwDate::Today()) {
        kclRCString message(QVCORE_MODULE);
        change = message.Display(XW_YESNO, QVM_DATE_PASSED, name) == XW_ANSWER_YES;
    }
    remembered = date;
    return change;
}

bool _niGeneral::OnKillActive() {
    const std::string notifyName = qvLiteral(QVL_NOTIFY_DATE, -1, QVCORE_MODULE).str();
    const std::string dueName = qvLiteral(QVL_DUE_DATE, -1, QVCORE_MODULE).str();
    kwDate notifyDate, dueDate;
    if (!ReadDate(_ui->notifyDate, notifyName, &notifyDate)) return false;
    if (!ReadDate(_ui->dueDate, dueName, &dueDate)) return false;

    if (DatePassed(notifyDate, _rememberedNotify, notifyName)) {
        FocusEdit(_ui->notifyDate);
        return false;
    }
    if (DatePassed(dueDate, _rememberedDue, dueName)) {
        FocusEdit(_ui->dueDate);
        return false;
    }
    if (!notifyDate.IsNull() && !dueDate.IsNull() && notifyDate > dueDate) {
        kclRCString message(QVCORE_MODULE);
        if (message.Display(XW_YESNO, QVM_NOTIFY_AFTER_DUE) == XW_ANSWER_YES) {
            FocusEdit(_ui->notifyDate);
            return false;
        }
    }
    return kwPropertyPage::OnKillActive();
}

bool _niGeneral::OnApply() {
    if (!_issue) return kwPropertyPage::OnApply();
    DoDataExchange(true);
    kwDate notifyDate, dueDate;
    // The checks ran when the page was left; a field changed since then is read again.
    if (!ReadDate(_ui->notifyDate, qvLiteral(QVL_NOTIFY_DATE, -1, QVCORE_MODULE).str(),
                  &notifyDate) ||
        !ReadDate(_ui->dueDate, qvLiteral(QVL_DUE_DATE, -1, QVCORE_MODULE).str(), &dueDate))
        return false;
    _issue->Value(QV_FORMESS).Set(_description);
    _issue->Value(QV_CLASSIF).Set(_classification);
    _issue->Value(QV_URGENCY).Set(_urgency);
    _issue->Value(QV_FOLLOWU).Set(_followUp);
    _issue->Value(QV_STATUS).Set(_status);
    if (kwDate* value = DateValue(*_issue, QV_DUEDATE)) value->CopyFrom(dueDate);
    if (kwDate* value = DateValue(*_issue, QV_NOTDATE)) value->CopyFrom(notifyDate);
    if (auto* sheet = dynamic_cast<niPropSheet*>(Sheet())) sheet->SetDataChanged();
    return kwPropertyPage::OnApply();
}

void _niGeneral::OnAddDays() {
    if (!_dueFormatter) return;
    kwDate dueDate;
    if (!ReadDate(_ui->dueDate, qvLiteral(QVL_DUE_DATE, -1, QVCORE_MODULE).str(), &dueDate)) return;
    if (dueDate.IsNull()) return;
    dueDate.AddDays(Prefs::SnoozeDays(dueDate));
    _dueFormatter->SetDate(dueDate);
}
