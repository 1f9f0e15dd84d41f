// What the New Issue tests share: one Qt application for the process, a company with the
// mail service answered through its scripts, the modal windows answered by a driver that
// runs once they are shown, and screenshots of windows.
#pragma once

#include <QApplication>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace newissuetest {

QApplication& App();

// Runs driver(window) once a visible top-level window of type T has appeared while a modal
// loop runs (call before the call that shows it). The driver runs at most once.
template <class T> void WhenShown(std::function<void(T*)> driver);
void WhenShownWidget(std::function<QWidget*()> find, std::function<void(QWidget*)> driver);
// Drops drivers still waiting (a window that never came), so no later test meets them.
void StopWaiting();

// The mail service's compose and logon windows, answered in order (1 OK / send, 2 cancel).
void ScriptMail(const std::vector<int>& answers);
int MailAnswersLeft();

// Grabs the widget into <folder of the test program>/screenshots/<name>.png; answers the
// path ("" when the grab failed).
std::string Screenshot(QWidget* widget, const std::string& name);

// Sends a key press (and release) to a widget, with the key's text for printable keys.
void Key(QWidget* widget, int key, const QString& text = {});
// Types text into a widget, one key press per character.
void Type(QWidget* widget, const QString& text);
// A left click at a point of a widget.
void Click(QWidget* widget, QPoint at);

template <class T> void WhenShown(std::function<void(T*)> driver) {
    WhenShownWidget(
        []() -> QWidget* {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<T*>(widget); found && found->isVisible())
                    return found;
            return nullptr;
        },
        [driver](QWidget* widget) { driver(qobject_cast<T*>(widget)); });
}

} // namespace newissuetest
