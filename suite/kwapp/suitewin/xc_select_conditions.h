// The suite's condition editor: the user edits a set of record-selection conditions in a
// dialog that fills a suite window (xw_open_window, kind XW_KIND_DIALOG_HOST). When the
// dialog ends, the window is hidden and its callback receives XW_EVENT_ACCEPTED (205, OK)
// or XW_EVENT_CANCELLED (206, Cancel, Esc or the close box; the set is then exactly as it
// was when the editor opened). Closing the window is the callback's part.
#pragma once

#include <functional>

// Modes of xc_select_conditions.
enum xc_select_mode : short {
    XC_SELECT_MODAL = 1,     // runs until the editor ends; answers 1 for OK, 0 for Cancel.
                             // window may be 0: the editor then opens and closes its own.
    XC_SELECT_IN_WINDOW = 2, // shows the editor in window and answers 1 at once; the end
                             // reaches the window's callback
};

// Edits condition set `handle` in `window`. format names how values are shown and typed:
// "display" (as the user sees them; null or "" mean the same). reserved is kept for
// callers (0). Answers 0, without showing anything, for an unknown set, format or mode,
// or a window that is no dialog host or hosts a dialog already.
short xc_select_conditions(short handle, short mode, short reserved, const char* format,
                           short window);

// Stands in for the dialog (tests, scripted runs): receives the set, may edit it with the
// xc_* editing calls, and answers true for OK, false for Cancel. The editor keeps its copy,
// restores it on false and sends 205/206 as the dialog would (in XC_SELECT_IN_WINDOW mode
// after xc_select_conditions has returned). An empty function restores the dialog.
using xc_condition_editor = std::function<bool(short handle)>;
void xc_set_condition_editor(xc_condition_editor editor);
