// The Qt side of the suite windows, for code that works with the widgets themselves: the
// framework's own dialogs and tests, which find a window's controls by their "ctrlId" (a
// field's number) and drive its read loop.
#pragma once

#include <functional>

class QWidget;

// The window of a handle (nullptr when none).
QWidget* xw_window_widget(short window);
// The widget of a field; for a radio group, item's own button (item 0: the chosen or the
// first). nullptr when none.
QWidget* xw_field_widget(short window, short field, short item = 0);

// Called once each time a read of a panel starts, from inside its loop: it may press the
// window's buttons, type into its fields or close it. An empty function removes it.
using xw_panel_driver = std::function<void(short window)>;
void xw_set_panel_driver(xw_panel_driver driver);
