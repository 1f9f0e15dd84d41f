// Where the company's report designs are kept and how a design is found by name.
#include "kwcommon/paths/kwPath.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/xc_file_control.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool EndsWithRptExtension(const std::string& name) {
    return name.size() >= 4 && Lower(name.substr(name.size() - 4)) == ".rpt";
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The file itself, or else the one file of its folder whose name differs only in case.
// Two candidates that differ only in case make the choice ambiguous: none is taken then.
bool FindFile(const fs::path& wanted, fs::path& found) {
    if (IsRegularFile(wanted)) {
        found = wanted;
        return true;
    }
    fs::path folder = wanted.parent_path();
    if (folder.empty()) folder = ".";
    const std::string lowerName = Lower(wanted.filename().string());
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return false;
    std::vector<fs::path> matches;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        if (Lower(it->path().filename().string()) == lowerName && IsRegularFile(it->path())) {
            matches.push_back(it->path());
        }
    }
    if (matches.size() != 1) return false;
    found = matches.front();
    return true;
}

std::string Absolute(const fs::path& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).lexically_normal().string();
}

} // namespace

std::string kwPath::Reports(const std::string& name) {
    return kwCompany::Path("reports") + "/" + name;
}

bool kwPath::LocateReport(const std::string& name, std::string& located, bool tryExtension) {
    if (name.empty()) return false;
    std::vector<std::string> candidates{name};
    if (tryExtension && !EndsWithRptExtension(name)) candidates.push_back(name + ".RPT");

    std::vector<fs::path> tries;
    if (name.find('/') != std::string::npos) {
        for (const std::string& candidate : candidates)
            tries.emplace_back(candidate);
    } else {
        std::vector<fs::path> folders;
        xc_file_control_def control;
        if (xc_get_file_control_def("RPT", &control) == XIO_OK && control.path[0] != '\0') {
            folders.emplace_back(control.path);
        }
        if (kwCompany::IsOpen()) folders.emplace_back(kwCompany::Path("reports"));
        for (const fs::path& folder : folders) {
            for (const std::string& candidate : candidates)
                tries.push_back(folder / candidate);
        }
    }
    for (const fs::path& attempt : tries) {
        fs::path found;
        if (FindFile(attempt, found)) {
            located = Absolute(found);
            return true;
        }
    }
    return false;
}
