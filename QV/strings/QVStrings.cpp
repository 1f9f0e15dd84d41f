// The texts of the main program's string table, registered while the program runs.
#include "QV/strings/QVStrings.h"

#include "kwcommon/strings/kwStringTableRegistrar.h"
#include "qvkit/qvVersion.h"

namespace {
const kwStringEntry qvTable[] = {
    {3, QV_PRODUCT_NAME},
    {4, "QV"},
    // File New enters a new issue in this program.
    {1010, "Enters a new issue"},
    {1999, "Exits the " QV_PRODUCT_NAME " application"},
    {2000, "Exits the " QV_PRODUCT_NAME " application"},
    {7005, "Customizes the applications that are available"},
    {7010, "Views and modifies existing issues"},
    {7020, "Creates and modifies user-defined queries"},
    {7030, "Creates and modifies list of grid columns"},
    {7100, "Creates, modifies, and deletes formulas"},
    {57344, QV_PRODUCT_NAME},
    {57345, "Ready"},
    // The frame's standard prompts (system-menu commands and the window list), 61184-61215.
    {61184, "Change the window size"},
    {61185, "Change the window position"},
    {61186, "Reduce the window to an icon"},
    {61187, "Enlarge the window to full size"},
    {61188, "Switch to the next document window"},
    {61189, "Switch to the previous document window"},
    {61190, "Close the active window and prompts to save the documents"},
    {61202, "Restore the window to normal size"},
    {61203, "Activate Task List"},
    {61215, "Activate this window"},
};

const kwStringTableRegistrar registrar(QV_MODULE, qvTable);
} // namespace
