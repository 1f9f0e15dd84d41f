// The texts of the main program's string table, registered while the program runs.
#include "QV/strings/QVStrings.h"

#include "kwapp/frame/kwAppFrame.h"
#include "kwcommon/strings/kwStringTableRegistrar.h"
#include "qvcore/tasks/qvCommands.h"
#include "qvkit/qvVersion.h"

namespace {
using C = kwCommonCommands;

const kwStringEntry qvTable[] = {
    {QVS_APPLICATION_NAME, QV_PRODUCT_NAME},
    {QVS_ABBREVIATION, "QV"},
    // File New enters a new issue in this program.
    {C::ID_FILE_NEW, "Enters a new issue"},
    {C::ID_APP_EXIT, "Exits the " QV_PRODUCT_NAME " application"},
    {C::ID_APP_EXIT_PROMPT, "Exits the " QV_PRODUCT_NAME " application"},
    {QV_CMD_APPLICATIONS, "Customizes the applications that are available"},
    {QV_CMD_VIEW_ISSUES, "Views and modifies existing issues"},
    {QV_CMD_BUILD_QUERY, "Creates and modifies user-defined queries"},
    {QV_CMD_SELECT_COLUMNS, "Creates and modifies list of grid columns"},
    {QV_CMD_FORMULAS, "Creates, modifies, and deletes formulas"},
    {kwAppFrame::IDS_FRAME_TITLE, QV_PRODUCT_NAME},
    {kwAppFrame::IDS_IDLE_MESSAGE, "Ready"},
    // The frame's standard prompts (system-menu commands and the window list).
    {C::ID_SIZE_PROMPT, "Change the window size"},
    {C::ID_MOVE_PROMPT, "Change the window position"},
    {C::ID_MINIMIZE_PROMPT, "Reduce the window to an icon"},
    {C::ID_MAXIMIZE_PROMPT, "Enlarge the window to full size"},
    {C::ID_NEXT_WINDOW, "Switch to the next document window"},
    {C::ID_PREVIOUS_WINDOW, "Switch to the previous document window"},
    {C::ID_CLOSE_PROMPT, "Close the active window and prompts to save the documents"},
    {C::ID_RESTORE_PROMPT, "Restore the window to normal size"},
    {C::ID_TASK_LIST_PROMPT, "Activate Task List"},
    {C::ID_ACTIVATE_WINDOW_PROMPT, "Activate this window"},
};

const kwStringTableRegistrar registrar(QV_MODULE, qvTable);
} // namespace
