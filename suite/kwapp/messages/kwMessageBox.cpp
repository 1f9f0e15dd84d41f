// Message boxes and the busy cursor on Qt, behind the data library's message seam.
#include "kwapp/messages/kwMessageBox.h"

#include "kwcommon/x_message.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>

#include <iostream>

namespace {
bool g_waitCursorShown = false;

void WaitHook(bool on, const std::string& /*text*/) {
    if (!qApp) return;
    // The data library calls the hook only when the outermost wait starts and ends.
    if (on && !g_waitCursorShown) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        g_waitCursorShown = true;
    } else if (!on && g_waitCursorShown) {
        QApplication::restoreOverrideCursor();
        g_waitCursorShown = false;
    }
}
} // namespace

QMessageBox::StandardButtons kwMessageBox::ButtonsOf(short type) {
    switch (type) {
    case XW_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case XW_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case XW_RETRY:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case XW_SAVE:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::StandardButton kwMessageBox::EscapeButtonOf(short type) {
    switch (type) {
    case XW_YESNO:
        return QMessageBox::No;
    case XW_OKCANCEL:
    case XW_RETRY:
    case XW_SAVE:
        return QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon kwMessageBox::IconOf(short type) {
    switch (type) {
    case XW_INCOMPATIBLE:
    case XW_RETRY:
        return QMessageBox::Warning;
    case XW_ERROR:
        return QMessageBox::Critical;
    case XW_YESNO:
    case XW_OKCANCEL:
    case XW_SAVE:
        return QMessageBox::Question;
    default:
        return QMessageBox::Information;
    }
}

short kwMessageBox::AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return XW_ANSWER_OK;
    case QMessageBox::Yes:
        return XW_ANSWER_YES;
    case QMessageBox::No:
        return XW_ANSWER_NO;
    case QMessageBox::Cancel:
        return XW_ANSWER_CANCEL;
    case QMessageBox::Retry:
        return XW_ANSWER_RETRY;
    default:
        return 0;
    }
}

short kwMessageBox::Show(short type, const QString& caption, const QString& text) {
    QMessageBox box(IconOf(type), caption, text, ButtonsOf(type), QApplication::activeWindow());
    box.setObjectName(QStringLiteral("kwMessageBox"));
    box.setProperty("messageKind", static_cast<int>(type));
    const QMessageBox::StandardButton escape = EscapeButtonOf(type);
    box.setEscapeButton(escape);
    // The first button is the default, as the suite's boxes have always had it.
    box.setDefaultButton(type == XW_YESNO || type == XW_SAVE ? QMessageBox::Yes
                         : type == XW_OKCANCEL               ? QMessageBox::Ok
                         : type == XW_RETRY                  ? QMessageBox::Retry
                                                             : escape);
    // A message must be answered even while the busy cursor is up.
    const bool hadWaitCursor = g_waitCursorShown;
    if (hadWaitCursor) QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    box.exec();
    if (hadWaitCursor) QApplication::restoreOverrideCursor();
    const auto clicked = box.standardButton(box.clickedButton());
    const short answer = AnswerOf(clicked);
    return answer != 0 ? answer : AnswerOf(escape);
}

void kwMessageBox::Install() {
    xw_set_presenter([](short type, const std::string& caption, const std::string& text) -> short {
        if (!qApp) {
            // No user interface (yet): the message still reaches someone.
            std::cerr << caption << ": " << text << std::endl;
            return AnswerOf(EscapeButtonOf(type));
        }
        return Show(type, QString::fromStdString(caption), QString::fromStdString(text));
    });
    xw_set_wait_hook(WaitHook);
}

void kwMessageBox::Uninstall() {
    xw_set_presenter(nullptr);
    xw_set_wait_hook(nullptr);
    if (g_waitCursorShown && qApp) QApplication::restoreOverrideCursor();
    g_waitCursorShown = false;
}
