// The framework's new-issue task: starting it calls the application's exported new-issue
// entry, "<abbreviation>_new_issue" in lower case, found among the program's loaded
// libraries at run time. While no loaded library exports it, the task is disabled.
#pragma once

#include "kwapp/tasks/kwTask.h"

#include <string>

class kwNewIssueTask : public kwTask {
public:
    // The entry: (ignored, the command being run) -> 1 when an issue was saved, else 0.
    using EntryPoint = unsigned char (*)(void* first, kwCommand* command);
    static constexpr unsigned short NEW_ISSUE_BITMAP = 100;

    explicit kwNewIssueTask(unsigned short id);
    ~kwNewIssueTask() override;

    // Runs the entry modally; the task is running until End.
    void Start() override;
    bool IsEnabled() const override;

    // "qv_new_issue" for an application abbreviated "QV".
    std::string EntryName() const;
    // What the last run answered (0 before any).
    unsigned char LastResult() const { return _lastResult; }

protected:
    // Looks the entry up among the loaded libraries.
    virtual EntryPoint ResolveEntry() const;

private:
    unsigned char _lastResult = 0;
};
