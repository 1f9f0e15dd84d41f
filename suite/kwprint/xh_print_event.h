// The event data of a print that the suite's print hub hands to the report printer: the
// destination, the range and condition sets the user chose, and the printer's answer.
// Lives in memory only; the hub (kwapp/printhub/xh.h) fills it, the printer reads it.
#pragma once

#include <cstdint>

// Where a print goes (xh_print_event::destination; items of field 3, and the default).
enum xh_destination : short {
    XH_TO_DEFAULT_PRINTER = 0, // the default printer (kwprint's seam), no questions
    XH_TO_PRINTER = 1,         // a printer the user chooses
    XH_TO_PREVIEW = 2,         // a preview window, from which the user may print
    XH_TO_PDF = 3,             // the PDF file in pdfPath
};

constexpr int XH_PDF_PATH_SIZE = 4096;

// The event data of a print: what the user chose, handed by the print callback to the
// printer (tr_print_def's event data) and to the program's record-selection callback.
// Lives in memory only, for the length of the print callback.
struct xh_print_event {
    char signature[4];          // "XHP1": marks the hub's event data (xh_print_event_of)
    int16_t window;             // the dialog (0: none)
    int16_t rangeSet;           // the print's ranges (xr.h)
    int16_t conditionSet;       // the print's conditions
    int16_t destination;        // xh_destination
    int16_t interactive;        // 1: a user waits: progress with Cancel is shown
    int16_t status;             // out, by the printer: 0 printed, 15 cancelled, another
                                // status failed (the user was told); -1 until it answers
    char pdfPath[XH_PDF_PATH_SIZE]; // XH_TO_PDF: the file, UTF-8
};

// The hub's event data behind a pointer the printer was given, nullptr when the pointer
// is null or points at something else.
xh_print_event* xh_print_event_of(void* eventData);
// Fills event as the hub does for a print without a dialog (the default printer).
void xh_init_print_event(xh_print_event* event, short rangeSet, short conditionSet);

