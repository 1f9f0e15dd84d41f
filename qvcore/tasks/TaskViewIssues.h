// The View Issues task (command 7010): a document task whose window shows the issues of
// the current query. It owns the object manager in which its document defines the issue
// query and views; its start checks first that the issue file opens.
#pragma once

#include "qvcore/tasks/qvCommands.h"

#include "kwapp/tasks/kwDocViewTask.h"

#include <memory>

class kwdmObjectManager;

class TaskViewIssues : public kwDocViewTask {
public:
    static constexpr unsigned short COMMAND_ID = QV_CMD_VIEW_ISSUES;

    TaskViewIssues();
    ~TaskViewIssues() override;

    // Opens the issue file once as a check (a failure has told the user and the task does
    // not start), then opens the window.
    void Start() override;
    // Reads the open window's rows again.
    void RefreshData() override;
    // true when no window is open, else the document's answer to closing.
    bool Shutdown() override;
    // A new, empty object manager: the query and views are defined again.
    void ClearDocument();
    kwdmObjectManager* DocMgr() const { return _manager.get(); }

private:
    std::unique_ptr<kwdmObjectManager> _manager;
};
