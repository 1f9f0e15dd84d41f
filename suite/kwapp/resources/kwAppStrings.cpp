// The framework's own string table ("KWAPP.DLL"): status-bar prompts of its common commands
// and the frame's standard texts. A program's table is searched first, so a program can
// word any of them its own way.
#include "kwapp/resources/kwDynLinkLibrary.h"
#include "kwcommon/strings/kwStringTableRegistrar.h"

namespace {
const kwStringEntry kwappTable[] = {
    {1010, "Creates a new document"},
    {1020, "Opens an existing document"},
    {1040, "Saves the active document"},
    {1100, "Creates a new company with the standard dictionaries, lists and settings"},
    {1110, "Opens an existing company"},
    {1130, "Changes the company's general settings"},
    {1140, "Changes where the company's files are kept"},
    {1150, "Changes the company's custom descriptions"},
    {1155, "Changes the company's custom fields"},
    {1210, "Prints the active window"},
    {1230, "Changes the printer and printing options"},
    {1240, "Shows the printouts waiting to be printed"},
    {1999, "Exits the application"},
    {2010, "Cuts the selection and puts it on the Clipboard"},
    {2020, "Copies the selection and puts it on the Clipboard"},
    {2030, "Inserts the Clipboard contents"},
    {2040, "Undoes the last action"},
    {2050, "Redoes the previously undone action"},
    {7098, "Enters a new issue"},
    {7100, "Creates, modifies, and deletes formulas"},
    {7110, "Records and plays macros"},
    {7120, "Shows the tasks running in the background"},
    {7130, "Opens the calculator"},
    {7200, "Checks and repairs the company's data files"},
    {7400, "Customizes the toolbar and your own settings"},
    {7500, "Sets the system options"},
    {8010, "Arranges windows so they overlap"},
    {8020, "Arranges windows as non-overlapping tiles"},
    {8030, "Arranges icons at the bottom of the window"},
    {9010, "Lists Help topics"},
    {9020, "Displays help for clicked on buttons, menus and windows"},
    {9100, "Shows the support services available"},
    {9110, "Shows the company's system log"},
    {9120, "Shows the release notes of this version"},
    {9210, "Opens the home page"},
    {9220, "Opens the users group's page"},
    {9230, "Opens the page of news"},
    {9999, "Displays program information, version number and company"},
    {57345, "Ready"},
    {61188, "Switch to the next document window"},
    {61189, "Switch to the previous document window"},
    {61215, "Activate this window"},
};

const kwStringTableRegistrar registrar(KWAPP_MODULE, kwappTable);
} // namespace
