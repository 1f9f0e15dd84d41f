// The View Issues task is found by its command number each time it is asked about: it may
// be made, replaced or removed while Options exists.
#include "qvcore/tasks/TaskOptions.h"

#include "qvcore/options/PPSysOrders.h"
#include "qvcore/options/PPSysPrefs.h"
#include "qvcore/options/PPUserPrefs.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/sheets/kwPropertySheet.h"

TaskOptions::TaskOptions() : kwOptionsTask(ID) {}

TaskOptions::~TaskOptions() = default;

bool TaskOptions::IsEnabled() const {
    if (!kwOptionsTask::IsEnabled()) return false;
    const kwApplication* app = KWGetApp();
    const kwTask* viewIssues = app ? app->FindTask(QV_CMD_VIEW_ISSUES) : nullptr;
    return !(viewIssues && viewIssues->Status() == kwTask::RUNNING);
}

void TaskOptions::AddSystemPages(kwPropertySheet* sheet) {
    sheet->SetHandleModifications(false);
    sheet->AddPage(new PPSysPrefs()); // the sheet owns its pages
    sheet->AddPage(new PPSysOrders());
}

void TaskOptions::AddUserPages(kwPropertySheet* sheet) { sheet->AddPage(new PPUserPrefs()); }
