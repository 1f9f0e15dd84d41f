// The base of the main program's own tasks: a framework task made with the program's
// name, flags, command number and toolbar bitmap.
#pragma once

#include "kwapp/tasks/kwTask.h"

#include <string>

class qvTask : public kwTask {
public:
    qvTask(const std::string& name, kwTask::FlagsType flags, unsigned short command,
           unsigned short bitmap);
    ~qvTask() override;
};
