// The one application object that widget tests of this program share. It is made on first
// use and destroyed when the tests end, before the exit handlers: Qt's devices and fonts
// must not outlive the GUI library's own statics.
#pragma once

#include <QApplication>

QApplication& LayoutTestApp();
