// The GUI library's application object for command-line printing.
#include "kwprint/trCommandLineSession.h"

#include <QGuiApplication>

trCommandLineSession::trCommandLineSession() {
    if (QCoreApplication::instance()) return;
    // The arguments must outlive the application object.
    static int argc = 3;
    static char name[] = "kwprint";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    _application = std::make_unique<QGuiApplication>(argc, argv);
}

trCommandLineSession::~trCommandLineSession() = default;
