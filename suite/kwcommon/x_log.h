// The suite log and fatal faults.
#pragma once

#include <string>

// Appends one line per text line to the company's log: time, operator, log id, text.
// Several processes may append at once; lines never interleave.
void x_log(short logId, const char* text);

// Fatal faults: the text is logged (under the file number as log id), shown as an error
// notice, and the process ends with exit code 70. Never returns.
[[noreturn]] void x_abort(short file, const char* text);
// A fatal I/O fault on a named file: the operating system's reason is added.
[[noreturn]] void x_io_abort(short file, const char* fileName);
// The non-fatal I/O report: the same words as x_io_abort, shown and logged, and the
// process goes on. status is the I/O status of the failed call (see x_io_status).
void x_io_error_report(short file, const char* fileName);
// The I/O status of the last failed operating-system call (errno), as the data library
// numbers it: 3 absent, 2 folder missing, 7 in use/locked, 16 not authorised,
// 21 disk full, 17 other; 0 when errno is 0.
short x_io_status();

// Exit code of a fatal fault.
constexpr int X_FATAL_EXIT_CODE = 70;
