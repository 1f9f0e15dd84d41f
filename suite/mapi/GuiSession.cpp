// The application object for the service's windows.
#include "GuiSession.h"

#include <QApplication>

#include <cstdlib>

namespace {
bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}
} // namespace

GuiSession::GuiSession() {
    if (QCoreApplication::instance()) {
        _available = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        return;
    }
    // Making an application object without a display ends the process; answer instead.
    if (!HasDisplay()) return;
    static int argc = 1;
    static char name[] = "mapi";
    static char* argv[] = {name, nullptr};
    _own = std::make_unique<QApplication>(argc, argv);
    _available = true;
}

GuiSession::~GuiSession() = default;
