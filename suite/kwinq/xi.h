// The inquiry library's calls. The xi_* functions are exported with plain names, because
// callers load the library at run time by name ("KWINQ", xdll_load_dll) and look them up
// with xdll_get_function: a program without the library goes on and says so where it
// needs one. The drop-down and command calls below them are for the program that links
// the library (start-up and the Applications task).
//
// Inquiries and reports are defined per application in the company's inquiries.json
// (kwinq/kwInqDefinitions.h). Inquiry commands are tasks 5000 + i and report commands
// tasks 6000 + i, i counting from 10 in drop-down order (5001-5009 and 6001-6009 stay
// free for the suite's fixed commands).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#pragma pack(push, 1)
// One value handed to an inquiry (110 bytes): the value of one field of the inquiry's
// driving record type. An inquiry filters its rows on the values whose field is one of
// its key fields; a value without a field name stands for the inquiry's key field at
// the same place among the values without names.
struct xi_value_def {
    char field[8];      // 0   the driving record's field name, NUL-terminated ("" see above)
    int16_t kind;       // 8   the field's kind code (for callers' own use; not read)
    int16_t qualifier;  // 10  its qualifier (likewise)
    int16_t valueKind;  // 12  0 text, 1 number
    char text[82];      // 14  the text, NUL-terminated (valueKind 0)
    double number;      // 96  the number (valueKind 1): dates as yyyymmdd, times as hhmmss
    char reserved[6];   // 104
};
#pragma pack(pop)
static_assert(sizeof(xi_value_def) == 110);
static_assert(offsetof(xi_value_def, text) == 14);
static_assert(offsetof(xi_value_def, number) == 96);

extern "C" {
// Lets the user choose an inquiry. application (at least 3 bytes) holds the code to start
// with ("" for the first application) and receives the chosen code; name (nameSize
// bytes) holds the name to select and receives the chosen one. text is the chooser's
// title ("" for the library's own) and flags is kept for callers (0). Nonzero when the
// user chose; 0 when cancelled or nothing can be chosen (buffers unchanged).
short xi_list_inquiry(char* application, const char* text, short flags, char* name, short nameSize);
// The driving record of an inquiry: its file abbreviation into fileAbbrev (size bytes, at
// least 4) and its record type. Nonzero when the inquiry exists; 0 and nothing written
// otherwise.
short xi_driving_record(const char* application, const char* name, char* fileAbbrev, short* recordType, short size);
// Opens the inquiry's window in the main frame: its driving file's records, read only,
// filtered by values (count of them; null when count is 0). programNumber is the calling
// task's command id (files are opened with it); flags is kept for callers. Nonzero when
// the window opened; 0 after telling the user why not.
short xi_run_inquiry(const char* application, const char* name, short programNumber, const xi_value_def* values,
                     short count, short flags);
// The highest i of the commands base + i (base 5000 inquiries, 6000 reports) that exist
// now; 0 when there are none.
short xi_num_pulldown(short base);
}

// The function types, for callers that look the calls up by name.
using xi_list_inquiry_proc = short (*)(char*, const char*, short, char*, short);
using xi_driving_record_proc = short (*)(const char*, const char*, char*, short*, short);
using xi_run_inquiry_proc = short (*)(const char*, const char*, short, const xi_value_def*, short, short);
using xi_num_pulldown_proc = short (*)(short);

// ---- linked calls: the frame's drop-downs and the commands -------------------------------

// Fills the (application code, application name) pairs whose inquiries and reports are
// offered, in the order they are offered.
using xi_appl_list_fill = std::function<void(std::vector<std::pair<std::string, std::string>>& applications)>;

// The drop-downs and tasks: which of them (bits).
enum xi_inq_rpt_kind : short { XI_INQUIRIES = 1, XI_REPORTS = 2 };
constexpr unsigned short XI_INQUIRY_BASE = 5000;
constexpr unsigned short XI_REPORT_BASE = 6000;
constexpr unsigned short XI_FIRST_OFFSET = 10;

// Makes the inquiry and report commands of the program (abbreviation: its code, whose
// own inquiries come first when it has any): for every application that fill gives (an
// empty fill: the installed applications that are not hidden, by name), a task per
// inquiry and per report. showName: the drop-downs show applications by name (else by
// code). flags is kept for callers. Commands made before are replaced.
void NewInqRptCommands(const std::string& abbreviation, bool showName, const xi_appl_list_fill& fill, short flags);
// Puts the inquiry and report drop-downs on the main frame's toolbar, holding the
// commands NewInqRptCommands made (a drop-down without commands is left off).
void AddInqRptDropDowns();
// Takes drop-downs (bits of xi_inq_rpt_kind) off the frame and destroys the commands of
// the kinds in commands.
void DelInqRptDropDowns(short dropDowns, short commands);
