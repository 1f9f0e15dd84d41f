// The suite's window layer: windows of character cells that the applications fill from
// screen files (panels of fields, lists, labels and buttons) or from a packed window
// definition, read in a modal loop that ends on an exit key with an action, and windows
// that host the suite's own dialogs (the condition editor) and report their end to a
// callback. Windows are real Qt windows; positions and sizes are counted in cells (rows
// and columns from 1 at the top left of the window's client area), one cell being the
// width of an average character and the height of an edit line of the desktop's font.
//
// Handles: screen files and windows are numbered from 1 by the calls that open them; 0
// is never a handle. A call on a handle that is not open answers XW_NO_WINDOW (or 0
// where the call answers a handle or a flag) and changes nothing.
//
// Values move through the data library's value carrier (x_value_def):
//   text field    the text                 number field   the number (0 when empty)
//   check box     1 checked, 0 not         radio group    the chosen item, 1-based (0 none)
//   combo box     the chosen item, 1-based (an editable combo box: its text)
//   list          the current row, 1-based (0 none)
// xw_put_field fills a field's buffer; xw_wr_fields shows buffers; xw_get_field answers
// the buffer, which the user's input keeps up to date. A field counts as changed while
// what it shows differs from what the program last wrote to it (or after xw_chg_field
// marked it changed); xw_panel_changed asks every field.
//
// Texts of buttons, check boxes, radio items and labels mark their access key with "~"
// ("~Save" is Alt+S); "~~" is a "~" itself.
#pragma once

#include "kwcommon/x_value_def.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Answers of the calls that act on a window.
enum xw_status : short {
    XW_OK = 0,
    XW_NO_WINDOW = 1,  // no such window (or screen file)
    XW_NO_FIELD = 2,   // the window has no such field, or the field is of another type
    XW_BAD_VALUE = 3,  // the field cannot take the value, or a row or item is out of range
    XW_BUSY = 4,       // the window is being read already
    XW_WRONG_KIND = 5, // the window is not of a kind that the call serves
};

// Window kinds (xw_window_def::kind).
enum xw_window_kind : short {
    XW_KIND_PLAIN = 1,       // an empty window; the program writes texts into it
    XW_KIND_DIALOG_HOST = 2, // a window that a suite dialog (the condition editor) fills
    XW_KIND_PANEL = 3,       // a panel of a screen file (xw_display_panel)
};

// Events sent to a window's callback: (window, event, p1, p2, p3, application data).
enum xw_event : short {
    XW_EVENT_PANEL_SHOWN = 103,   // a panel was displayed and its fields exist
    XW_EVENT_BUTTON = 105,        // p1 = a button without an exit key was pressed; during
                                  // a read, answer 0 to keep reading (the callback did the
                                  // button's work), nonzero to end it with XW_EXIT_BUTTON
    XW_EVENT_READ_END = 107,      // p1 = field, p2 = exit key, p3 = action; answer 0 to
                                  // refuse the exit (the read goes on), nonzero to let it end
    XW_EVENT_FIELD_CHANGED = 108, // p1 = the field the user just changed
    XW_EVENT_CLOSE = 109,         // the close box or Esc, while no read and no dialog runs
    XW_EVENT_ACCEPTED = 205,      // the hosted dialog ended with OK
    XW_EVENT_CANCELLED = 206,     // the hosted dialog ended with Cancel, Esc or the close box
};

// Exit keys: what ended a read (xw_read_def::exitKey).
enum xw_exit_key : short {
    XW_EXIT_NONE = 0,
    XW_EXIT_ENTER = 13,   // a button with exit key 13 (Enter presses the panel's default one)
    XW_EXIT_CLOSE = 14,   // the close box or Esc: a request to close
    XW_EXIT_BUTTON = 20,  // a button without an exit key of its own; field = its number
    XW_EXIT_CHANGED = 21, // a field that ends the read when changed; field = its number
};

// Actions a button hands back with its exit key (xw_read_def::action).
enum xw_action : short {
    XW_ACTION_NONE = 0,
    XW_ACTION_SAVE = 1,    // keep what was entered
    XW_ACTION_DISCARD = 2, // drop it (Cancel)
    XW_ACTION_ACCEPT = 3,  // go ahead (OK, Print)
};

// Field types (xw_field_def::type).
enum xw_field_type : short {
    XW_FIELD_TEXT = 1,
    XW_FIELD_NUMBER = 2,
    XW_FIELD_CHECK = 3,
    XW_FIELD_RADIO = 4,
    XW_FIELD_COMBO = 5,
    XW_FIELD_LIST = 6,
    XW_FIELD_BUTTON = 7,
};

// Flags of xw_display_panel.
enum xw_panel_flag : short {
    XW_PANEL_SHOW = 0,   // shown at once
    XW_PANEL_HIDDEN = 1, // built hidden; the first read shows it
};

// A window's callback. Answers as the event says; 1 where it says nothing.
using xw_window_proc = short (*)(short window, short event, short p1, short p2, short p3,
                                 void* appData);

constexpr int XW_WINDOW_DEF_SIZE = 98; // the packed part shared with the suite's callers
constexpr int XW_READ_DEF_SIZE = 29;
constexpr int XW_LIST_ENTRY_SIZE = 14; // the packed part
constexpr int XW_TITLE_SIZE = 36;
constexpr int XW_SUBTITLE_SIZE = 18;
constexpr int XW_FIELD_TEXT_SIZE = 82;

#pragma pack(push, 1)

// A window's definition: given to xw_open_window (zero-filled, then the members set),
// answered by xw_get_window_def, taken back by xw_chg_window (which applies the position,
// size, titles, modal flag and close box).
//
// Pointers. The 98-byte layout keeps the callback and the application data as 4-byte
// pointers at offsets 86 and 90. A pointer does not fit 4 bytes on this platform, so the
// definition carries them in members of their own after the 98 bytes (callback at 98,
// appData at 106); the 4 bytes at 86 and at 90 are written as zero and never read. The
// record never reaches a file, so only this process's callers see the difference.
struct xw_window_def {
    int16_t window;             // 0   out: the window's handle
    int16_t centreVertically;   // 2   1: centred vertically over the active window (row unused)
    int16_t centreHorizontally; // 4   1: centred horizontally (column unused)
    int16_t row;                // 6   top row, counted in cells from the active window's top
    int16_t column;             // 8   left column, counted likewise from its left
    int16_t rows;               // 10  height in rows (0: as its contents need)
    int16_t columns;            // 12  width in columns (0: as its contents need)
    int16_t parent;             // 14  the suite window it belongs to (0: the active window)
    int16_t fieldCount;         // 16  out: fields of its panel
    int16_t kind;               // 18  xw_window_kind
    int16_t border;             // 20  0: the desktop's frame with a title bar; 1: no frame
    char title[XW_TITLE_SIZE];  // 22  title, UTF-8, zero-terminated ("": the hosted dialog's)
    int16_t modal;              // 58  1: the application's other windows take no input meanwhile
    int16_t activeField;        // 60  out: the field that has the focus (0 none)
    int16_t helpId;             // 62  the help topic, kept for the caller
    int16_t visible;            // 64  out: 1 while the window is shown
    int16_t closeBox;           // 66  1: the title bar has a close box; closing is a cancel
    char subtitle[XW_SUBTITLE_SIZE]; // 68 second title, shown after the first ("" none)
    uint8_t callbackSlot[4];    // 86  zero: see "Pointers"
    uint8_t appDataSlot[4];     // 90  zero: see "Pointers"
    int16_t screen;             // 94  out: the screen file of a panel window (0 other kinds)
    int16_t reserved96;         // 96  zero
    xw_window_proc callback;    // 98  in memory only: events of the window (may be null)
    void* appData;              // 106 in memory only: handed to the callback
};

// One read of a panel (xw_rd_panel): zero-filled by the caller; the read fills the rest.
struct xw_read_def {
    int16_t exitKey;    // 0  out: xw_exit_key that ended the read
    int16_t action;     // 2  out: xw_action of the button that ended it
    int16_t field;      // 4  out: the button or changed field that ended it, else the
                        //        field that had the focus
    int16_t startField; // 6  in: the field that gets the focus first (0: the active one)
    int16_t listRow;    // 8  out: current row of the list field that had the focus (0 none)
    int16_t changed;    // 10 out: 1 when the user changed a field during this read
    char reserved[17];  // 12 zero
};

// A field's definition (xw_get_field_def, xw_chg_field). Position and size in cells.
struct xw_field_def {
    int16_t number;      // 0
    int16_t type;        // 2  xw_field_type
    int16_t row;         // 4  first coordinate
    int16_t column;      // 6  second coordinate
    int16_t width;       // 8
    int16_t height;      // 10
    int16_t enabled;     // 12 1: takes input
    int16_t visible;     // 14 1: shown
    int16_t changed;     // 16 1: changed (xw_chg_field with 1 marks it as if the user typed)
    int16_t exitKey;     // 18 buttons: the exit key they end a read with (0: XW_EXIT_BUTTON)
    int16_t action;      // 20 buttons: the action handed back with it
    int16_t exitOnChange;// 22 1: a change by the user ends the read (XW_EXIT_CHANGED)
    int16_t maxLength;   // 24 text fields: characters accepted (0: the width)
    int16_t decimals;    // 26 number fields
    char text[XW_FIELD_TEXT_SIZE]; // 28 caption of a button or check box, "~" before the access key
};

// One row of a list field (xw_ins_list, xw_get_list). The 14-byte layout keeps two 4-byte
// text pointers at offsets 2 and 6; as in xw_window_def they live in members of their own
// after the 14 bytes (text1 at 14, text2 at 22) and the slots stay zero. xw_ins_list
// copies the texts; xw_get_list points at the window's copies, valid until the list
// changes or the window closes.
struct xw_list_entry {
    int16_t selected;       // 0  1: the row carries the check mark
    uint8_t text1Slot[4];   // 2  zero: see above
    uint8_t text2Slot[4];   // 6  zero: see above
    int16_t data;           // 10 a number the caller keeps with the row
    int16_t reserved12;     // 12 zero
    const char* text1;      // 14 in memory only: first column (may be null)
    const char* text2;      // 22 in memory only: second column (may be null)
};

#pragma pack(pop)

static_assert(offsetof(xw_window_def, centreVertically) == 2);
static_assert(offsetof(xw_window_def, centreHorizontally) == 4);
static_assert(offsetof(xw_window_def, kind) == 18);
static_assert(offsetof(xw_window_def, border) == 20);
static_assert(offsetof(xw_window_def, title) == 22);
static_assert(offsetof(xw_window_def, modal) == 58);
static_assert(offsetof(xw_window_def, closeBox) == 66);
static_assert(offsetof(xw_window_def, callbackSlot) == 86);
static_assert(offsetof(xw_window_def, appDataSlot) == 90);
static_assert(offsetof(xw_window_def, callback) == XW_WINDOW_DEF_SIZE);
static_assert(offsetof(xw_window_def, appData) == XW_WINDOW_DEF_SIZE + 8);
static_assert(sizeof(xw_read_def) == XW_READ_DEF_SIZE);
static_assert(offsetof(xw_read_def, changed) == 10);
static_assert(offsetof(xw_field_def, row) == 4);
static_assert(offsetof(xw_field_def, column) == 6);
static_assert(offsetof(xw_field_def, text) == 28);
static_assert(offsetof(xw_list_entry, data) == 10);
static_assert(offsetof(xw_list_entry, text1) == XW_LIST_ENTRY_SIZE);

// Screen files. name is the file's name without extension ("QV"); the file is looked up
// as <name in lower case>.scr in the screen folders, then among the screens built into
// the program (the format: kwapp/suitewin/xwScreenFile.h). A file that cannot be read is
// told to the user with the file and the place, and answers 0.
short xw_open_screen_file(const char* name);
short xw_cls_screen_file(short screen);
// The last reason xw_open_screen_file answered 0 ("" after a success).
std::string xw_screen_file_error();
// Folders searched before the built-in screens, in order (a site's own screens, tests).
void xw_set_screen_folders(std::vector<std::string> folders);

// Builds the window of panel `panel` of group `group` and makes it the active window.
// flags: xw_panel_flag. callback and appData: as in xw_window_def (may be null). Answers
// the window, 0 when the screen file or the panel is not there (the user is told).
short xw_display_panel(short screen, const char* group, const char* panel, short flags,
                       xw_window_proc callback, void* appData);
// Opens a window from a definition (XW_KIND_PLAIN or XW_KIND_DIALOG_HOST). A plain window
// shows at once; a dialog host when its dialog starts. Answers the window, 0 when the
// definition is not one of these kinds.
short xw_open_window(const xw_window_def* def);
// Closes and forgets a window; a read of it ends with XW_EXIT_CLOSE. Safe from the
// window's own callback.
short xw_cls_window(short window);
short xw_get_window_def(short window, xw_window_def* def);
short xw_chg_window(short window, const xw_window_def* def);
// The suite window most recently displayed, opened or activated (0 none).
short xw_active_window();

// Reads the panel: the window is shown and takes input until a button with an exit key,
// a button without one, a field marked to end the read when changed, the close box or
// Esc ends it (see xw_read_def). A button whose action is not "discard" first checks the
// number fields and keeps the read going, with a message, while one holds no number. A
// window that does not exist ends the read at once as a cancel (exit key 13, action
// discard) and answers XW_NO_WINDOW, so that a caller's loop always ends.
short xw_rd_panel(short window, xw_read_def* read);
// 1 when a field of the window is changed (see above), else 0.
short xw_panel_changed(short window);

short xw_wr_fields(short window, short firstField, short lastField);
short xw_get_field(short window, short field, x_value_def* value);
short xw_put_field(short window, short field, const x_value_def* value);
short xw_get_field_def(short window, short field, xw_field_def* def);
// Applies position, size, enabled, visible, changed, exit key, action and caption.
short xw_chg_field(short window, short field, const xw_field_def* def);
// Gives a field the focus and makes it the window's active field.
short xw_set_active_field(short window, short field);

// Lists: rows are 1-based. Inserts count entries before row (count + 1 appends).
short xw_ins_list(short window, short field, short row, const xw_list_entry* entries,
                  short count);
short xw_get_list(short window, short field, short row, xw_list_entry* entry);
short xw_del_list(short window, short field, short row, short count);
// Rows of a list field (0 for none or an unknown field).
short xw_list_count(short window, short field);

// Repaints the suite's windows and runs the updates that are waiting (not user input).
void xw_refresh();

// Labels.
short xw_chg_button(short window, short field, const char* text);
short xw_chg_checkbox_alpha(short window, short field, const char* text);
short xw_chg_combo_alpha(short window, short field, short item, const char* text);
short xw_chg_radio_alpha(short window, short field, short item, const char* text);
// secondTitle may be null (none).
short xw_chg_title(short window, const char* title, const char* secondTitle);
// Writes text into the window's cells from (row, column) on. attribute1: 0 or 1 plain, 2
// emphasised, 3 muted; attribute2 and attribute3 are kept for callers (0).
short xw_wr_string(short window, short row, short column, short attribute1, short attribute2,
                   short attribute3, const char* text);
// Clears the written text of rows firstRow..lastRow, columns firstColumn..lastColumn.
// attribute is kept for callers (0).
short xw_clr_part(short window, short firstRow, short lastRow, short firstColumn,
                  short lastColumn, short attribute);
