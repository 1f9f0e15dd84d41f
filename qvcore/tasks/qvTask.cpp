// The program's tasks have no common name or description of their own: the framework takes
// the name and the string table's prompt.
#include "qvcore/tasks/qvTask.h"

qvTask::qvTask(const std::string& name, kwTask::FlagsType flags, unsigned short command,
               unsigned short bitmap)
    : kwTask(name, flags, command, bitmap, std::string(), std::string()) {}

qvTask::~qvTask() = default;
