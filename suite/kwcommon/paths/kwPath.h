// Folders of the current company that the suite's programs share with every workstation.
#pragma once

#include <string>

class kwPath {
public:
    // A file in the company's miscellaneous-files folder. With an empty name the result is
    // the folder itself, ending in a separator, so callers can append a file name directly.
    static std::string Miscellaneous(const std::string& name);

    // A file in the company's reports folder (report designs, "*.RPT"). With an empty name
    // the result is the folder itself, ending in a separator.
    static std::string Reports(const std::string& name);
    // Finds the report design name: a path as it is when it names a folder, else a bare
    // name in the folder that the file control names for "RPT" and then in the reports
    // folder. With tryExtension, a name that does not end in ".rpt" (any case) is also
    // tried with ".RPT" added. File names match without regard to case when no exact
    // match exists, as designs often come from workstations that ignore case. true and
    // the design's absolute path in located when found; located is untouched otherwise.
    static bool LocateReport(const std::string& name, std::string& located, bool tryExtension);
};
