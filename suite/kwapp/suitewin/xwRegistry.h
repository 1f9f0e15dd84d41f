// Inside the window layer: the windows and screen files by handle, shared by the xw_*
// calls, the windows themselves and the suite dialogs that windows host.
#pragma once

class QWidget;
class xwWindow;

// The open window of a handle (nullptr when none).
xwWindow* xw_find_window(short window);
// A window became the active one.
void xw_note_active_window(short window);
// A read of window started: runs the installed panel driver (xw_qt.h) once the loop runs.
void xw_start_panel_driver(short window, QWidget* context);
