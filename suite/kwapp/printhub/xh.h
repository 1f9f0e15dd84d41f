// The print hub: the suite's print dialog between a program and the report-design printer.
// A program fills a hub block (below) and calls xh_process_hub; the hub shows the print
// dialog of the program's screen file, tells the program what happens in it through the
// dialog-event callback, runs the program's print callback when the user chooses OK
// (which prints through tr_print_design, handing on the hub's event data), and ends with
// the program's end callback.
//
// A run of xh_process_hub, step by step:
//   1. The hub starts a range set (xr.h) for the block's file and record type (offsets 189,
//      191) and a condition set (kwcommon/conditions/xc_conditions.h) for the condition
//      file and record type (399, 401), both empty.
//   2. With a screen file open (offset 2), the hub displays the panel the block names
//      (group at 4, panel at 12: "ISSUE"/"PRINT") as a modal window. Without one it
//      prints at once: step 5 with the default printer, no window (window 0).
//   3. Dialog events, each sent to the dialog-event callback as (window, event, p1, p2,
//      p3, job) and answered by it:
//        101 dialog start: p1 the range set, p2 the condition set, for the program to
//            fill. Answer 1 to go on; 0 ends the run without printing. Sent first, also
//            without a window (window 0).
//        103 the panel is shown and its fields exist: the program sets them.
//        107 a read of the panel ends: p1 the field, p2 the exit key, p3 the action (OK
//            is exit key 13 with action 3, Cancel exit key 13 with action 2). Answer 0 to
//            keep the dialog reading.
//        108 the user changed a field: p1 the field. For field 1 (current issue only) the
//            hub first drops every range and condition of the print, so the program puts
//            back those it wants (the conditions edited with button 6 go with them).
//      Every event is answered; an answer the hub does not use is ignored (answer 1).
//   4. The dialog's fields (the "PRINT" panel of the "QV" screen file):
//        1 current issue only (check)   2 form layout (check; the program reads it)
//        3 destination: 1 printer (the user picks it in the system's printer choice),
//          2 preview, 3 PDF file (the user names the file)
//        4, 5 the range of the range field (offset 195, "ISSUE"): from, to; empty ends
//          are open. While field 1 is on they show the program's range and take no input.
//        6 Conditions...: the condition editor on the condition set
//        7 Ranges...: the range dialog on the range field's range
//        8 OK   9 Cancel (also Esc and the close box)
//      Buttons 6 and 7 show "*~Conditions...*" and "*  ~Ranges...  *" (rendered bold)
//      while conditions or ranges are set.
//   5. OK: the hub puts fields 4 and 5 into the range set (unless field 1 is on), makes the
//      event data (xh_print_event) and calls the print callback (window, job, event data).
//      The dialog is hidden while the printer works (it lets events in for its progress
//      window and preview, and nothing may change the print's choices meanwhile).
//      The printer writes its outcome into the event data: after a print that was
//      cancelled or failed the dialog stays open (the user was told why); after one that
//      printed (or a callback that printed nothing through the printer) the run ends.
//   6. The end: the window closes, the sets end, and the end callback runs (0, job),
//      exactly once, whether the user printed, cancelled, or the run could not start. It
//      may free the job and the block: the hub touches neither afterwards.
//
// xh_process_hub answers 1 when the print callback ran and the printer printed, else 0.
// xh_change_hub(block), while the block's run is in its dialog (from the dialog-event
// callback too), takes the block again (callbacks, job, files) and brings the dialog's
// ranges and buttons up to date.
//
// The hub block: 1167 bytes, byte-packed, zero-filled by the program, shared with the
// suite's other programs. The pointers that layout keeps at 827, 839, 843, 855 and 867 do
// not fit their 4 bytes on this platform: those bytes are written as zero and never read,
// and the pointers live in members of their own after the 1167 bytes (as the query file
// keeps its condition pointer). Bytes not listed are the hub's to ignore (zero).
//
//   offset width  member
//   0      2      taskId        the calling task's command id
//   2      2      screen        the open screen file of the dialog (0: no dialog)
//   4      8      group         panel group ("ISSUE"), zero-terminated
//   12     8      panel         panel ("PRINT")
//   61     21     reportName    the report's name ("report"), kept for the program
//   82     21     reportCopy    its copy ("report"), kept for the program
//   103    21     actionName    "print", kept for the program
//   189    2      fileNumber    the open file printed from
//   191    2      recordType    its record type printed (1)
//   193    2      orderKey      the key of its order (0)
//   195    100    rangeField    the field of fields 4 and 5 and of the range dialog ("ISSUE")
//   295    100    textField     the field shown beside a record (the description, "FORMESS")
//   399    2      conditionFile the file the conditions test (the file printed from)
//   401    2      conditionRecordType (1)
//   823    2      useConditions 1: button 6 edits the conditions (0: it takes no input)
//   827    ptr    taskIdRef     a copy of the task command id, kept by the program (1167)
//   839    ptr    eventProc     dialog-event callback (1175)
//   843    ptr    printProc     print callback (1183)
//   855    ptr    endProc       end callback (1191)
//   867    ptr    job           handed to every callback (1199)
//   871    2      useRanges     1: fields 4, 5 and button 7 edit the range (0: no input)
//   873    2      mode          the program's print mode, kept for the program
#pragma once

#include "kwprint/xh_print_event.h"

#include "kwcommon/kwSeam.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Dialog events (see above).
enum xh_event : short {
    XH_EVENT_START = 101,
    XH_EVENT_SHOWN = 103,
    XH_EVENT_READ_END = 107,
    XH_EVENT_FIELD_CHANGED = 108,
};

// The dialog's fields.
enum xh_field : short {
    XH_FIELD_CURRENT_ONLY = 1,
    XH_FIELD_FORM_LAYOUT = 2,
    XH_FIELD_DESTINATION = 3,
    XH_FIELD_FROM = 4,
    XH_FIELD_TO = 5,
    XH_BUTTON_CONDITIONS = 6,
    XH_BUTTON_RANGES = 7,
    XH_BUTTON_OK = 8,
    XH_BUTTON_CANCEL = 9,
};

constexpr int XH_HUB_DEF_SIZE = 1167;

using xh_event_proc = short (*)(short window, short event, short p1, short p2, short p3, void* job);
using xh_print_proc = short (*)(short window, void* job, xh_print_event* eventData);
using xh_end_proc = void (*)(short window, void* job);

#pragma pack(push, 1)
struct xh_hub_def {
    int16_t taskId;                  // 0
    int16_t screen;                  // 2
    char group[8];                   // 4
    char panel[8];                   // 12
    char reserved20[41];             // 20
    char reportName[21];             // 61
    char reportCopy[21];             // 82
    char actionName[21];             // 103
    char reserved124[65];            // 124
    int16_t fileNumber;              // 189
    int16_t recordType;              // 191
    int16_t orderKey;                // 193
    char rangeField[100];            // 195
    char textField[100];             // 295
    char reserved395[4];             // 395
    int16_t conditionFile;           // 399
    int16_t conditionRecordType;     // 401
    char reserved403[420];           // 403
    int16_t useConditions;           // 823
    char reserved825[2];             // 825
    uint8_t taskIdSlot[4];           // 827 zero: see above
    char reserved831[8];             // 831
    uint8_t eventProcSlot[4];        // 839 zero
    uint8_t printProcSlot[4];        // 843 zero
    char reserved847[8];             // 847
    uint8_t endProcSlot[4];          // 855 zero
    char reserved859[8];             // 859
    uint8_t jobSlot[4];              // 867 zero
    int16_t useRanges;               // 871
    int16_t mode;                    // 873
    char reserved875[292];           // 875
    // In memory only, after the 1167 bytes:
    const int16_t* taskIdRef;        // 1167 (827)
    xh_event_proc eventProc;         // 1175 (839)
    xh_print_proc printProc;         // 1183 (843)
    xh_end_proc endProc;             // 1191 (855)
    void* job;                       // 1199 (867)
};
#pragma pack(pop)

static_assert(offsetof(xh_hub_def, screen) == 2);
static_assert(offsetof(xh_hub_def, group) == 4);
static_assert(offsetof(xh_hub_def, panel) == 12);
static_assert(offsetof(xh_hub_def, reportName) == 61);
static_assert(offsetof(xh_hub_def, reportCopy) == 82);
static_assert(offsetof(xh_hub_def, actionName) == 103);
static_assert(offsetof(xh_hub_def, fileNumber) == 189);
static_assert(offsetof(xh_hub_def, recordType) == 191);
static_assert(offsetof(xh_hub_def, orderKey) == 193);
static_assert(offsetof(xh_hub_def, rangeField) == 195);
static_assert(offsetof(xh_hub_def, textField) == 295);
static_assert(offsetof(xh_hub_def, conditionFile) == 399);
static_assert(offsetof(xh_hub_def, conditionRecordType) == 401);
static_assert(offsetof(xh_hub_def, useConditions) == 823);
static_assert(offsetof(xh_hub_def, taskIdSlot) == 827);
static_assert(offsetof(xh_hub_def, eventProcSlot) == 839);
static_assert(offsetof(xh_hub_def, printProcSlot) == 843);
static_assert(offsetof(xh_hub_def, endProcSlot) == 855);
static_assert(offsetof(xh_hub_def, jobSlot) == 867);
static_assert(offsetof(xh_hub_def, useRanges) == 871);
static_assert(offsetof(xh_hub_def, mode) == 873);
static_assert(offsetof(xh_hub_def, taskIdRef) == XH_HUB_DEF_SIZE);
static_assert(offsetof(xh_hub_def, job) == XH_HUB_DEF_SIZE + 32);

short xh_process_hub(xh_hub_def* block);
short xh_change_hub(const xh_hub_def* block);

// The PDF file choice (tests and scripted runs replace it): given a suggested path,
// answers the file or nullopt for cancel. Unreplaced: the file dialog.
using xh_pdf_chooser = kwSeam<std::optional<std::string>(const std::string& suggested)>;
xh_pdf_chooser& xh_pdf_chooser_seam();
// The range dialog of button 7: given the range set and the field, may change the field's
// range (xr_put_field, xr_put_range, xr_del_range) and answers true for OK, false for
// Cancel (the hub then puts the range back as it was). Unreplaced: xhRangeDialog.
using xh_range_editor = kwSeam<bool(short rangeSet, const std::string& field)>;
xh_range_editor& xh_range_editor_seam();
