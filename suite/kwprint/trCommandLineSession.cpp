// The GUI library's application object for command-line printing.
#include "kwprint/trCommandLineSession.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

QtMessageHandler& EarlierHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

// The GUI library's notes about a desktop the program does not use (no runtime folder,
// no display) would only clutter the output of a scheduled report: only its errors pass.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
    if (EarlierHandler()) EarlierHandler()(type, context, text);
    else fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

trCommandLineSession::trCommandLineSession() {
    if (QCoreApplication::instance()) return;
    EarlierHandler() = qInstallMessageHandler(QuietHandler);
    // The arguments must outlive the application object.
    static int argc = 3;
    static char name[] = "kwprint";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    _application = std::make_unique<QGuiApplication>(argc, argv);
}

trCommandLineSession::~trCommandLineSession() {
    if (!_application) return;
    _application.reset();
    qInstallMessageHandler(EarlierHandler());
}
