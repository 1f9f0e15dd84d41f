// The suite's message box on Qt: once installed, every xw_wr_message shows a real message
// box with the buttons of the message kind and the application's name as caption, and the
// wait indicator shows the busy cursor.
#pragma once

#include <QMessageBox>

class kwMessageBox {
public:
    kwMessageBox() = delete;

    // Installs the presenter and the wait hook. Needs a QApplication; call it from the
    // user-interface thread.
    static void Install();
    // Removes both again (messages go back to the standard-error fallback).
    static void Uninstall();

    // Shows one message box of the kind and answers as xw_wr_message does: 1 OK or Yes,
    // 2 No, 4 Cancel, 5 Retry. Closing the box (Escape) gives the kind's cautious answer.
    static short Show(short type, const QString& caption, const QString& text);

    // What a kind looks like: its buttons, the button taken on Escape, and its icon.
    static QMessageBox::StandardButtons ButtonsOf(short type);
    static QMessageBox::StandardButton EscapeButtonOf(short type);
    static QMessageBox::Icon IconOf(short type);
    // The suite's answer for a pressed button (0 for a button no kind has).
    static short AnswerOf(QMessageBox::StandardButton button);
};
