// Dates are typed in any form the data library reads; the field only keeps out characters
// that can never be part of a date, so a half-typed date is not fought while it is typed.
// Whether the finished text is a date is the page's question when the user leaves it.
#include "kwapp/suitedlg/kwFullDateFormatter.h"

#include "kwcommon/values/xd.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace {

// Long enough for "MM/DD/YYYY" with a blank on either side.
constexpr int kMaxDateText = 12;

class DateCharacters : public QValidator {
public:
    explicit DateCharacters(QObject* parent) : QValidator(parent) {}

    State validate(QString& input, int& /*pos*/) const override {
        if (input.size() > kMaxDateText) return Invalid;
        for (QChar c : input) {
            const bool allowed = c.isDigit() || c == u'/' || c == u'-' || c == u'.' || c == u' ';
            if (!allowed || c.unicode() > 127) return Invalid;
        }
        kwDate date;
        return kwFullDateFormatter::Parse(input.toStdString(), &date) ? Acceptable : Intermediate;
    }
};

} // namespace

kwFullDateFormatter::kwFullDateFormatter(QLineEdit* edit) : QObject(edit), _edit(edit) {
    setObjectName(QStringLiteral("kwFullDateFormatter"));
    _edit->setValidator(new DateCharacters(this));
    _edit->installEventFilter(this);
    // editingFinished only comes for acceptable text; a date that is not one yet stays as
    // typed so the user can see what to correct.
    connect(_edit, &QLineEdit::editingFinished, this, [this] { Reformat(); });
}

kwFullDateFormatter::~kwFullDateFormatter() = default;

kwFullDateFormatter* kwFullDateFormatter::Of(const QLineEdit* edit) {
    return edit ? edit->findChild<kwFullDateFormatter*>(QStringLiteral("kwFullDateFormatter"),
                                                        Qt::FindDirectChildrenOnly)
                : nullptr;
}

std::string kwFullDateFormatter::FullFormat() {
    std::string format = xd_date_format();
    if (format.find("YYYY") == std::string::npos) {
        if (const size_t year = format.find("YY"); year != std::string::npos)
            format.replace(year, 2, "YYYY");
    }
    return format;
}

std::string kwFullDateFormatter::Format(const kwDate& date) {
    return date.IsNull() ? std::string() : xd_format_date(*date.Date(), FullFormat());
}

bool kwFullDateFormatter::Parse(const std::string& text, kwDate* date) {
    kwDate parsed = kwDate::Empty();
    if (!parsed.Set(text)) {
        *date = kwDate::Empty();
        return false;
    }
    *date = parsed;
    return true;
}

bool kwFullDateFormatter::GetDate(kwDate* date) const {
    return Parse(_edit->text().toStdString(), date);
}

bool kwFullDateFormatter::IsValid() const {
    kwDate date;
    return GetDate(&date);
}

bool kwFullDateFormatter::IsBlank() const {
    return _edit->text().trimmed().isEmpty();
}

void kwFullDateFormatter::SetDate(const kwDate& date) {
    _edit->setText(QString::fromStdString(Format(date)));
}

bool kwFullDateFormatter::Step(int days) {
    if (_edit->isReadOnly() || !_edit->isEnabled()) return false;
    kwDate date;
    if (!GetDate(&date)) return false;
    if (date.IsNull())
        date = kwDate::Today();
    else
        date.AddDays(days);
    if (date.IsNull()) return false; // stepped outside the calendar
    SetDate(date);
    _edit->selectAll();
    return true;
}

bool kwFullDateFormatter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                Step(key->key() == Qt::Key_Up ? 1 : -1);
                return true; // the line edit has no use for them
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void kwFullDateFormatter::Reformat() {
    kwDate date;
    if (GetDate(&date)) {
        const QString shown = QString::fromStdString(Format(date));
        if (shown != _edit->text()) _edit->setText(shown);
    }
}
