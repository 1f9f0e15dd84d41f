// The limit is kept after every change rather than with a validator, so text pasted in the
// middle is cut at the end the way the record field will cut it.
#include "kwapp/widgets/kwEdit.h"

kwEdit::kwEdit(QWidget* parent, int controlId) : QLineEdit(parent) {
    if (controlId) setProperty("ctrlId", controlId);
    connect(this, &QLineEdit::textChanged, this, [this] { Enforce(); });
}

kwEdit::~kwEdit() = default;

void kwEdit::SetByteLimit(int bytes) {
    _byteLimit = bytes < 0 ? 0 : bytes;
    Enforce();
}

void kwEdit::SetUpperCase(bool upper) {
    _upperCase = upper;
    Enforce();
}

std::string kwEdit::Text() const { return text().toStdString(); }

void kwEdit::SetText(const std::string& text) { setText(QString::fromStdString(text)); }

void kwEdit::Enforce() {
    if (_enforcing) return;
    QString value = text();
    if (_upperCase) value = value.toUpper();
    if (_byteLimit > 0) {
        // Drop whole characters (surrogate pairs together) from the end until it fits.
        while (value.toUtf8().size() > _byteLimit) {
            qsizetype cut = value.size() - 1;
            if (cut > 0 && value.at(cut).isLowSurrogate()) --cut;
            value.truncate(cut);
        }
    }
    if (value == text()) return;
    _enforcing = true;
    const int cursor = cursorPosition();
    setText(value);
    setCursorPosition(std::min<int>(cursor, static_cast<int>(value.size())));
    _enforcing = false;
}
