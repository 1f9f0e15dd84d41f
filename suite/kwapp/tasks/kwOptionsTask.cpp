// Options are system settings: under operator security only privileged operators reach them.
#include "kwapp/tasks/kwOptionsTask.h"

kwOptionsTask::kwOptionsTask(unsigned short id)
    : kwPropertySheetTask("Options", COMMON | SECURED | SETUP, id, 0) {}

kwOptionsTask::~kwOptionsTask() = default;
