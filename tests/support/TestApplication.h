// The one Qt application object that the widget tests of a test program share. Made on
// first use and destroyed when the tests end, before the exit handlers: Qt's devices and
// fonts must not outlive the GUI library's own statics.
#pragma once

#include <QApplication>

QApplication& TestApplication();
