// The texts of the common-services library's string table, registered for as long as the
// library is loaded.
#include "qvcore/strings/qvcoreStrings.h"

#include "kwcommon/strings/kwStringTableRegistrar.h"

namespace {
const kwStringEntry qvcoreTable[] = {
    {1, " - "},
    {2, "Issues"},
    {7, "Save"},
    {8, "Print"},
    {9, "Copy previous"},
    {13, "View Issues"},
    {14, "New Issue"},
    {15, "Build Query"},
    {16, "Select Grid Columns"},
    {17, "Restore"},
    {18, "Help"},
    {19, "General"},
    {20, "Detail"},
    {21, "Close"},
    {22, "Inquiry"},
    {23, "New"},
    {24, "Edit"},
    {25, "Delete"},
    {26, "Notes"},
    {27, "Criteria"},
    {28, "Action"},
    {29, "Message"},
    {30, "Summary"},
    {31, "Frequency"},
    {32, "Custom fields"},
    {33, "Resolution"},
    {34, "Add %hd Day"},
    {35, "OK"},
    {36, "Cancel"},
    {37, "Notify"},
    {38, "Links"},
    {39, "Attachments"},
    {40, "Statistics"},
    {41, "Files"},
    {43, "Quorvel Functions"},
    {45, "Tools"},
    {46, "File"},
    {47, "Attach..."},
    {48, "Edit Issue"},
    {49, "\n-------------------------\n"},
    {50, "Changes to Issue"},
    {51, "9.8.26"},
    {52, "Notify date"},
    {53, "Due date"},

    {500, "Unable to load KWINQ.DLL.#error_number#"},
    {501, "Unable to list inquires.#error_number#"},
    {502, "Unlink '#inquiry_name#' from the Issue?"},
    {503, "Delete this issue?"},
    {504, "Do you want to save changes?"},
    {505, "Unable to open IMI.DCT#error_number#"},
    {506, "Cancel changes?"},
    {507, "Notify message could not be sent.  Make sure you are logged on to email and "
          "re-send the issue.#error_num#"},
    {508, "Unable to load New Issue#error_number#"},
    {509, "Notify date is greater than due date.  Would you like to change it?"},
    {510, "Unable to open IMI.DCT#error_number#"},
    {511, "Unable to write to the registry.#error_number#"},
    {512, "Unable to load MAPI32.DLL.  Cannot mail the issue.#error_number#"},
    {513, "Attachments in use#error_number#"},
    {514, "Submit Issue is already running#error_number#"},
    {515, "#date_name# has passed.  Would you like to change it?"},
};

const kwStringTableRegistrar registrar(QVCORE_MODULE, qvcoreTable);
} // namespace
