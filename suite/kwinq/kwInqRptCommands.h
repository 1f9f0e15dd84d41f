// The inquiry and report commands NewInqRptCommands made (xi.h), for the drop-downs and
// for callers that list them.
#pragma once

#include <string>
#include <vector>

struct kwInqCommand {
    unsigned short id = 0;       // 5000 + i or 6000 + i
    short kind = 0;              // XI_INQUIRIES or XI_REPORTS
    std::string application;     // code
    std::string applicationName;
    std::string name;            // the inquiry's or report's name
};

// In drop-down order: inquiries, then reports.
const std::vector<kwInqCommand>& kwInqCommands();
