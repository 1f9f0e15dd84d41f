// The report-design printer: prints the records of an open record-managed file through a
// report design (trReportDesign.h) to the default printer or to a PDF file.
//
// Calling order, as a window's print callback uses it:
//   short handle = tr_init_design(0);
//   tr_print_def def{};                         466 bytes on the wire, zero-filled
//   ... design name, file number, callbacks ...
//   if (!tr_print_design(handle, &def)) tr_term_design(handle);
// A print that succeeds ends its handle itself (the output is complete and in place); one
// that fails or is cancelled leaves the handle to the caller, who ends it. Ending a handle
// twice, or one never given, is harmless.
//
// Records. The printer never holds the file: it asks for one record at a time and keeps
// only that record's values. With a read callback the caller walks its selection (its
// order, its conditions) and leaves each record in the file's record buffer; without one
// the printer walks the whole record type in the order of the definition's key. Either
// way each record is then offered to the selection callback, which may leave it out.
//
// Pages. Designs that print "Page n of m" are laid out twice: a first pass counts the
// pages and keeps nothing of them, the second draws each page as it is made and hands
// it to the device at once. Memory therefore stays that of one record and one page,
// whatever the number of records; the records are read twice (the read callback is
// asked for the first record again). When the records change between the passes, m is
// never printed smaller than n. Designs without {pages} are laid out once.
//
// Output. A PDF is written beside its target and put in place when complete
// (kwStoredFile), so a failed or cancelled print leaves any earlier file as it was. The
// default printer is found through one seam (tr_set_default_printer); on a machine
// without a print server it is a PDF file in the user's documents folder.
//
// Threads: everything runs on the thread that owns the Qt application object (a
// QGuiApplication must exist: trCommandLineSession makes one for command-line programs).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Per record read: nonzero prints it. status is the read's status; the callers' rule is
// that a record whose status is not 0 is taken without further test.
using tr_select_proc = short (*)(void* job, void* eventData, short file, short status);
// Leaves the first (first nonzero) or next record of the caller's selection in the file's
// record buffer. Answers 0 for a record, 10 (XIO_NO_RECORD) after the last one, and any
// other status to stop the print with that status.
using tr_read_proc = short (*)(void* job, short file, short recordType, short first);

// How far a print has come. phase 1 counts pages (nothing is drawn yet), phase 2 prints.
struct tr_progress {
    short phase = 0;
    int64_t recordsRead = 0;
    int64_t recordsPrinted = 0;
    int pagesMade = 0;
    int pagesTotal = 0; // 0 while unknown
};
// Called after each page and every few records; answering 0 cancels the print. A window
// may process its events here, to stay responsive and to offer a Cancel button.
using tr_progress_proc = short (*)(void* data, const tr_progress* progress);

// What a print did, for callers that want to say so.
struct tr_print_result {
    short status = 0;        // 0 printed, 15 cancelled, else the failure's status
    int pages = 0;
    int64_t records = 0;     // records printed
    char output[4096] = {};  // the PDF file written, or the printer's name
    char error[1024] = {};   // the failure in words ("" when printed or cancelled)
};

// Flags (offset 262).
enum tr_print_flags : int16_t {
    TR_QUIET = 1, // report failures only through the result, never in a message box
};

#pragma pack(push, 1)
// The print definition. The first 466 bytes keep the suite's layout; the pointers that
// layout holds at 388, 392 and 430 do not fit their 4 bytes on this platform, so those
// bytes are written as zero and never read, and the pointers live in members of their own
// after byte 466 (as the query file's condition pointer does). Callers zero-fill the
// whole struct (tr_print_def def{}), then set what they use.
struct tr_print_def {
    char designName[256];      // 0   design: a name in the reports folder or a full path
    int16_t taskId;            // 256 the calling task's command id
    int16_t recordType;        // 258 record type printed; 0: the design's
    int16_t orderKey;          // 260 key of the selection's order (groups "by order")
    int16_t flags;             // 262 tr_print_flags
    char reserved264[4];       // 264
    int16_t fileNumber;        // 268 the open file the records come from
    char reserved270[38];      // 270
    char fileName[4];          // 308 its abbreviation ("QVI"): must be the design's file
    char reserved312[76];      // 312
    uint8_t jobSlot[4];        // 388 see above: zero
    uint8_t eventDataSlot[4];  // 392 see above: zero
    char reserved396[34];      // 396
    uint8_t selectSlot[4];     // 430 see above: zero
    char reserved434[32];      // 434
    // In memory only, after the 466 bytes:
    void* job;                 // 466 handed to the callbacks (the suite's offset 388)
    void* eventData;           //     handed to the selection callback (392)
    tr_select_proc select;     //     null: every record prints (430)
    tr_read_proc read;         //     null: the printer walks the file in orderKey's order
    tr_progress_proc progress; //     null: no progress reports, no cancelling
    void* progressData;
    const char* pdfPath;       //     null: the default printer; else this PDF file
    tr_print_result* result;   //     null: none wanted
};
#pragma pack(pop)

static_assert(offsetof(tr_print_def, taskId) == 256);
static_assert(offsetof(tr_print_def, fileNumber) == 268);
static_assert(offsetof(tr_print_def, fileName) == 308);
static_assert(offsetof(tr_print_def, jobSlot) == 388);
static_assert(offsetof(tr_print_def, eventDataSlot) == 392);
static_assert(offsetof(tr_print_def, selectSlot) == 430);
static_assert(offsetof(tr_print_def, job) == 466);

// A handle for one print (positive), 0 when none is free. flags is kept for callers (0).
short tr_init_design(short flags);
// Prints def through its design. 1 printed (the handle is ended); 0 failed or cancelled,
// after telling the user why (unless TR_QUIET or cancelled), the handle left to the caller.
short tr_print_design(short handle, tr_print_def* def);
// Ends a handle. 1 ended, 0 no such handle.
short tr_term_design(short handle);

// Where the default printer prints: a printer by name, or else a PDF file.
struct tr_printer_target {
    std::string printerName;
    std::string pdfPath;
};
// The seam that finds the default printer (title: the design's title, for a file name).
// nullptr restores the system's: its default printer, or, without a print server, a new
// PDF file in the user's documents folder.
using tr_default_printer_proc = std::function<tr_printer_target(const std::string& title)>;
void tr_set_default_printer(tr_default_printer_proc finder);
tr_printer_target tr_default_printer(const std::string& title);
