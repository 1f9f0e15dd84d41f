// Makes sure the service's windows can be shown: the calling program's application object
// is used when there is one; a program without one (a command-line tool) gets one for the
// time of the call.
#pragma once

#include <memory>

class QApplication;

class GuiSession {
public:
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

    // False when no window can be shown: the program runs a non-GUI application object,
    // or there is no display to show on.
    bool Available() const { return _available; }

private:
    std::unique_ptr<QApplication> _own;
    bool _available = false;
};
