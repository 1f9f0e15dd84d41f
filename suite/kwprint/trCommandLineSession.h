// Printing from a command-line program: fonts, text layout and the PDF writer need the
// GUI library's application object, which such a program does not make. A session makes
// one on the offscreen platform (no display needed) for as long as it lives, and does
// nothing where the program already has one.
#pragma once

#include <memory>

class QGuiApplication;

class trCommandLineSession {
public:
    trCommandLineSession();
    ~trCommandLineSession();
    trCommandLineSession(const trCommandLineSession&) = delete;
    trCommandLineSession& operator=(const trCommandLineSession&) = delete;

private:
    std::unique_ptr<QGuiApplication> _application;
};
