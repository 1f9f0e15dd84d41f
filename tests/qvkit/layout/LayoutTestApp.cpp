// The widget tests of the component library use the shared application object.
#include "LayoutTestApp.h"

#include "TestApplication.h"

QApplication& LayoutTestApp() { return TestApplication(); }
