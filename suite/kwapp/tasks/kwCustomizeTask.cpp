// Customizing is the user's own business: no rights are checked.
#include "kwapp/tasks/kwCustomizeTask.h"

#include "kwapp/sheets/kwPropertySheet.h"
#include "kwapp/sheets/kwToolBarPage.h"

kwCustomizeTask::kwCustomizeTask(unsigned short id)
    : kwPropertySheetTask("Customize", COMMON, id, 0) {}

kwCustomizeTask::~kwCustomizeTask() = default;

void kwCustomizeTask::AddFrameworkPages(kwPropertySheet& sheet) {
    sheet.AddPage(new kwToolBarPage()); // the sheet owns its pages
}
