// The spin button that steps its partner through arrow keys.
#include "qvkit/layout/kwSpinButton.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

// What a partner's editor shows: its text, selection and caret.
struct EditorState {
    QString text;
    int selectionStart = -1;
    int selectionLength = 0;
    int cursor = 0;
};

EditorState Save(const QLineEdit* editor) {
    EditorState state;
    state.text = editor->text();
    state.selectionStart = editor->selectionStart();
    state.selectionLength = editor->selectionLength();
    state.cursor = editor->cursorPosition();
    return state;
}

void RestoreSelection(QLineEdit* editor, const EditorState& state) {
    if (state.selectionStart >= 0 && state.selectionLength > 0) {
        // The caret stays at the end it was at, so a shift-arrow afterwards extends the
        // selection the way the user started it.
        if (state.cursor == state.selectionStart) {
            editor->setSelection(state.selectionStart + state.selectionLength,
                                 -state.selectionLength);
        } else {
            editor->setSelection(state.selectionStart, state.selectionLength);
        }
    } else {
        editor->deselect();
        editor->setCursorPosition(state.cursor); // scrolls the caret into view
    }
}

void Restore(QLineEdit* editor, const EditorState& state) {
    // Only a text that really changed is put back: setting it again would throw away the
    // field's undo history for nothing.
    if (editor->text() != state.text) editor->setText(state.text);
    RestoreSelection(editor, state);
}

bool IsReadOnly(QWidget* partner) {
    if (const QLineEdit* editor = kclSpinButtonCtrl::PartnerEditor(partner);
        editor && editor->isReadOnly()) {
        return true;
    }
    return partner->property("readOnly").toBool();
}

} // namespace

kwSpinButton::kwSpinButton(QWidget* parent) : kclSpinButtonCtrl(parent) {}

kwSpinButton::~kwSpinButton() = default;

void kwSpinButton::SendKey(QWidget* partner) const {
    QKeyEvent key(QEvent::KeyPress, _key, Qt::NoModifier);
    QCoreApplication::sendEvent(partner, &key);
}

void kwSpinButton::mousePressEvent(QMouseEvent* event) {
    QWidget* partner = GetBuddy();
    if (event->button() != Qt::LeftButton || !partner) {
        kclSpinButtonCtrl::mousePressEvent(event);
        return;
    }
    if (IsReadOnly(partner)) {
        event->accept();
        return;
    }
    _key = IsUpperHalf(event->position().y()) ? Qt::Key_Up : Qt::Key_Down;
    SendKey(partner);

    // The standard handling starts the repeat and the capture; the number it would write
    // into the partner is held back rather than written and undone, so the partner never
    // reports a text change (or loses its undo history) for a step it did not take.
    QLineEdit* editor = PartnerEditor(partner);
    const EditorState state = editor ? Save(editor) : EditorState{};
    const bool buddyInt = BuddyInt();
    SetBuddyInt(false);
    kclSpinButtonCtrl::mousePressEvent(event);
    SetBuddyInt(buddyInt);
    if (editor) Restore(editor, state);
}

void kwSpinButton::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit* editor = event->button() == Qt::LeftButton ? PartnerEditor(GetBuddy()) : nullptr;
    if (!editor) {
        kclSpinButtonCtrl::mouseReleaseEvent(event);
        return;
    }
    const EditorState state = Save(editor);
    kclSpinButtonCtrl::mouseReleaseEvent(event);
    RestoreSelection(editor, state);
}

void kwSpinButton::timerEvent(QTimerEvent* event) {
    QWidget* partner = GetBuddy();
    if (event->timerId() == RepeatTimerId() && partner && _key != 0) {
        SendKey(partner);
        ContinueRepeat();
        return;
    }
    kclSpinButtonCtrl::timerEvent(event);
}
