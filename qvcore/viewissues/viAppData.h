// What the View Issues callbacks share: the task, the grid's view control, the query whose
// order and conditions apply, whether the form view is open, and the condition set.
#pragma once

#include "kwdm/callbacks/kwdmAppEventData.h"

#include <string>

class TaskViewIssues;
class kwdmViewCtrl;

class viAppData : public kwdmAppEventData {
public:
    // The query name starts as the preferences' (Prefs::QueryName).
    explicit viAppData(TaskViewIssues& task);
    ~viAppData() override;

    TaskViewIssues& Task() const { return _task; }
    // The task's command id: identifies the query information and the conditions.
    unsigned short CommandId() const;

    kwdmViewCtrl* GridControl() const { return _grid; }
    void SetGridControl(kwdmViewCtrl* grid) { _grid = grid; }
    const std::string& QueryName() const { return _queryName; }
    void SetQueryName(const std::string& name) { _queryName = name; }
    bool FormOpen() const { return _formOpen; }
    void SetFormOpen(bool open) { _formOpen = open; }
    // The condition set's handle (xc_*), 0 for none.
    short Conditions() const { return _conditions; }
    void SetConditions(short handle) { _conditions = handle; }

private:
    TaskViewIssues& _task;
    kwdmViewCtrl* _grid = nullptr;
    std::string _queryName;
    bool _formOpen = false;
    short _conditions = 0;
};
