// The text is cut at its end, as the record field would cut it, and the caret kept where the
// user was typing so a cut never moves it elsewhere.
#include "qvcore/newissue/niTextLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>

namespace {
const char* const kLimitProperty = "niByteLimit";

void Enforce(QPlainTextEdit* edit) {
    const int limit = edit->property(kLimitProperty).toInt();
    if (limit <= 0) return;
    QString text = edit->toPlainText();
    if (text.toUtf8().size() <= limit) return;
    while (!text.isEmpty() && text.toUtf8().size() > limit) {
        qsizetype cut = text.size() - 1;
        if (cut > 0 && text.at(cut).isLowSurrogate()) --cut;
        text.truncate(cut);
    }
    const int position = edit->textCursor().position();
    const QSignalBlocker quiet(edit);
    edit->setPlainText(text);
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(std::min<int>(position, static_cast<int>(text.size())));
    edit->setTextCursor(cursor);
}
} // namespace

void niLimitTextBytes(QPlainTextEdit* edit, int bytes) {
    if (!edit) return;
    const bool connected = edit->property(kLimitProperty).isValid();
    edit->setProperty(kLimitProperty, bytes);
    if (!connected)
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit] { Enforce(edit); });
    Enforce(edit);
}
