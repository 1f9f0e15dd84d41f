// The library's New Issue entry for the suite's new-issue task: exported under its plain
// name so the framework finds it at run time.
#pragma once

#include "qvcore/qvcore_export.h"

class kwCommand;

// Opens the issue file for the command, runs the New Issue sheet modally and answers 1 when
// a new issue was saved, else 0 (also when the file could not be opened). first is ignored.
extern "C" QVCORE_EXPORT unsigned char qv_new_issue(void* first, kwCommand* command);
