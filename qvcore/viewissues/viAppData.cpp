// The View Issues callbacks' shared state.
#include "qvcore/viewissues/viAppData.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/tasks/TaskViewIssues.h"

#include "kwcommon/conditions/xc_conditions.h"

viAppData::viAppData(TaskViewIssues& task) : _task(task), _queryName(Prefs::QueryName()) {}

viAppData::~viAppData() {
    if (_conditions) xc_term_conditions(_conditions, 1);
}

unsigned short viAppData::CommandId() const { return _task.ID(); }
