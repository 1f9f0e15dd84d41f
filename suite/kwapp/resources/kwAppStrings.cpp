// The framework's own string table ("KWAPP.DLL"): status-bar prompts of its common commands
// and the frame's standard texts. A program's table is searched first, so a program can
// word any of them its own way.
#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/resources/kwDynLinkLibrary.h"
#include "kwcommon/strings/kwStringTableRegistrar.h"

namespace {
using C = kwCommonCommands;

const kwStringEntry kwappTable[] = {
    {C::ID_FILE_NEW, "Creates a new document"},
    {C::ID_FILE_OPEN, "Opens an existing document"},
    {C::ID_FILE_SAVE, "Saves the active document"},
    {C::ID_NEW_COMPANY, "Creates a new company with the standard dictionaries, lists and settings"},
    {C::ID_OPEN_COMPANY, "Opens an existing company"},
    {C::ID_COMPANY_GENERAL, "Changes the company's general settings"},
    {C::ID_COMPANY_FILE_LOCATIONS, "Changes where the company's files are kept"},
    {C::ID_CUSTOM_DESCRIPTIONS, "Changes the company's custom descriptions"},
    {C::ID_CUSTOM_FIELDS, "Changes the company's custom fields"},
    {C::ID_FILE_PRINT, "Prints the active window"},
    {C::ID_PRINT_SETUP, "Changes the printer and printing options"},
    {C::ID_PRINTOUTS, "Shows the printouts waiting to be printed"},
    {C::ID_APP_EXIT, "Exits the application"},
    {C::ID_EDIT_CUT, "Cuts the selection and puts it on the Clipboard"},
    {C::ID_EDIT_COPY, "Copies the selection and puts it on the Clipboard"},
    {C::ID_EDIT_PASTE, "Inserts the Clipboard contents"},
    {C::ID_EDIT_UNDO, "Undoes the last action"},
    {C::ID_EDIT_REDO, "Redoes the previously undone action"},
    {C::ID_NEW_ISSUE, "Enters a new issue"},
    {C::ID_FORMULAS, "Creates, modifies, and deletes formulas"},
    {C::ID_MACROS, "Records and plays macros"},
    {C::ID_BACKGROUND_TASKS, "Shows the tasks running in the background"},
    {C::ID_CALCULATOR, "Opens the calculator"},
    {C::ID_FILE_DOCTOR, "Checks and repairs the company's data files"},
    {C::ID_CUSTOMIZE, "Customizes the toolbar and your own settings"},
    {C::ID_OPTIONS, "Sets the system options"},
    {C::ID_WINDOW_CASCADE, "Arranges windows so they overlap"},
    {C::ID_WINDOW_TILE, "Arranges windows as non-overlapping tiles"},
    {C::ID_WINDOW_ARRANGE, "Arranges icons at the bottom of the window"},
    {C::ID_HELP_TOPICS, "Lists Help topics"},
    {C::ID_WHATS_THIS, "Displays help for clicked on buttons, menus and windows"},
    {C::ID_SERVICES, "Shows the support services available"},
    {C::ID_SYSTEM_LOG, "Shows the company's system log"},
    {C::ID_RELEASE_NOTES, "Shows the release notes of this version"},
    {C::ID_WEB_HOME_PAGE, "Opens the home page"},
    {C::ID_WEB_USERS_GROUP, "Opens the users group's page"},
    {C::ID_WEB_NEWS, "Opens the page of news"},
    {C::ID_APP_ABOUT, "Displays program information, version number and company"},
    {kwAppFrame::IDS_IDLE_MESSAGE, "Ready"},
    {C::ID_NEXT_WINDOW, "Switch to the next document window"},
    {C::ID_PREVIOUS_WINDOW, "Switch to the previous document window"},
    {C::ID_ACTIVATE_WINDOW_PROMPT, "Activate this window"},
};

const kwStringTableRegistrar registrar(KWAPP_MODULE, kwappTable);
} // namespace
