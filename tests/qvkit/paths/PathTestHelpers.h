// Helpers for the path tests: a current drive for the length of a test, files to find, and
// the file control's "RPT" entry.
#pragma once

#include "qvkit/paths/kclCurrentDrive.h"

#include <filesystem>
#include <fstream>
#include <string>

// Makes a drive current while it lives, as on a system with drive letters.
class DriveScope {
public:
    explicit DriveScope(char drive) {
        kclSetCurrentDriveSource([drive] { return drive; });
    }
    ~DriveScope() { kclSetCurrentDriveSource(nullptr); }
    DriveScope(const DriveScope&) = delete;
    DriveScope& operator=(const DriveScope&) = delete;
};

inline void MakeFile(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "design\n";
}

// Names folder (relative to the company, or absolute) as the file control's "RPT" folder.
inline void SetReportControl(const std::string& companyFolder, const std::string& folder) {
    std::ofstream(companyFolder + "/filecontrol.json")
        << "{ \"RPT\": { \"folder\": \"" << folder << "\" } }";
}
