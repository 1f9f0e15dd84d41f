// Choosing files and report designs.
#include "qvkit/paths/kclFileSelection.h"

#include "qvkit/paths/kclCurrentDrive.h"
#include "qvkit/paths/kclFileChooser.h"
#include "qvkit/paths/kclPaths.h"
#include "qvkit/paths/kclWindowFields.h"
#include "qvkit/paths/kwUniversalName.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/paths/kwPath.h"

#include <memory>

namespace {

struct SplitPath {
    bool ok = false;
    std::string folder; // ends in a separator; empty for a bare name
    std::string name;
};

SplitPath Split(const std::string& path) {
    char folder[kclPathBufferSize] = {};
    char name[kclPathBufferSize] = {};
    SplitPath split;
    split.ok = kclParsePathname(folder, name, path) == 1;
    if (split.ok) {
        split.folder = folder;
        split.name = name;
    }
    return split;
}

bool IsNetworkOrDrivePath(const std::string& path) {
    return path.find(':') != std::string::npos || path.find("//") != std::string::npos;
}

// The folder as the chosen file's folder is spelt: universal, with a trailing separator.
std::string ComparableFolder(const std::string& folder) {
    return kclPathRules::AsFolder(kwUniversalName(kclPathRules::AsFolder(folder)));
}

// A design (".RPT" added when it has no such extension) in folder.
bool DesignIn(const std::string& folder, const std::string& design) {
    char name[kclPathBufferSize] = {};
    if (design.size() >= sizeof(name)) return false;
    design.copy(name, design.size());
    kclAddRptExtension(name);
    std::string located;
    return kwPath::LocateReport(kclPathRules::AsFolder(folder) + name, located, false);
}

// Runs a selection on the text of a window's field and writes a choice back.
template <typename Select> short SelectInField(short window, short field, Select select) {
    const kclWindowFieldAccess& fields = kclWindowFields();
    if (!fields.Installed()) return 0;
    std::string text;
    if (!fields.get(window, field, &text)) return 0;
    if (!select(text)) return 0;
    // A choice the field would not take is no choice: the caller must not act on it.
    if (!fields.put(window, field, text)) return 0;
    if (fields.redisplay) fields.redisplay(window, field);
    if (fields.markChanged) fields.markChanged(window, field);
    return 1;
}

} // namespace

short kclSelectFileFromList(std::string& path, const std::string& extension,
                            const std::string& filterName, const std::string& title,
                            std::string startFolder, short newFile, short keepFullPath) {
    const SplitPath current = Split(path);
    if (startFolder.empty()) {
        if (!current.folder.empty()) {
            startFolder = current.folder;
        } else {
            std::unique_ptr<char[]> defaultPath(kclGetDefaultPath(extension.c_str()));
            startFolder = defaultPath.get();
        }
    }

    kclFileChoice choice;
    choice.newFile = newFile != 0;
    choice.title = title;
    choice.extension = extension;
    choice.filterName = filterName;
    choice.path = path;
    choice.startFolder = startFolder;
    std::string chosen;
    if (kclChooseFile(choice, &chosen) != XIO_OK) return 0;
    chosen = kwUniversalName(chosen);
    const SplitPath picked = Split(chosen);
    if (chosen.empty() || !picked.ok) return 0;

    if (keepFullPath) {
        path = chosen;
        return 1;
    }
    std::string start = startFolder;
    if (!IsNetworkOrDrivePath(startFolder) && picked.folder.find(':') != std::string::npos) {
        start = kclCurrentDrivePrefix() + kwUniversalName(startFolder);
    }
    // The file systems here tell letter case apart, so folders that differ in case are
    // different folders and compare so.
    path = ComparableFolder(start) == picked.folder ? picked.name : chosen;
    return 1;
}

short kclSelectFileFromList(short window, short field, const std::string& extension,
                            const std::string& filterName, const std::string& title,
                            std::string startFolder, short newFile, short keepFullPath) {
    return SelectInField(window, field, [&](std::string& text) {
        return kclSelectFileFromList(text, extension, filterName, title, startFolder, newFile,
                                     keepFullPath) == 1;
    });
}

short kclSelectReportFromList(std::string& design, const std::string& title, short newFile,
                              short keepFullPath) {
    const SplitPath current = Split(design);
    const std::string controlFolder = kclPathRules::ReportControlFolder();
    const std::string reportsFolder = kwPath::Reports("");

    std::string start;
    if (design.empty()) {
        start = controlFolder.empty() ? reportsFolder : controlFolder;
    } else if (design.find('/') == std::string::npos) {
        bool inControlFolder = false;
        if (!controlFolder.empty()) {
            const std::string look = IsNetworkOrDrivePath(design)
                                         ? controlFolder
                                         : kclPathRules::WithDrive(controlFolder);
            inControlFolder = DesignIn(look, design);
        }
        if (inControlFolder) {
            start = controlFolder;
        } else if (controlFolder.empty() || DesignIn(reportsFolder, design)) {
            start = reportsFolder;
        } else {
            start = controlFolder;
        }
    } else {
        start = current.folder;
    }

    std::string chosen = design;
    const short answer =
        kclSelectFileFromList(chosen, "rpt", "Report Designs", title, start, newFile, keepFullPath);
    if (answer != 1) return answer;

    const SplitPath picked = Split(chosen);
    if (picked.ok && !picked.folder.empty()) {
        for (const std::string& folder : {reportsFolder, controlFolder}) {
            if (folder.empty()) continue;
            if (picked.folder == ComparableFolder(folder) ||
                picked.folder == ComparableFolder(kclPathRules::WithDrive(folder))) {
                chosen = picked.name;
                break;
            }
        }
    }
    char name[kclPathBufferSize] = {};
    if (chosen.size() >= sizeof(name)) return 0;
    chosen.copy(name, chosen.size());
    kclRemoveRptExtension(name);
    design = name;
    return answer;
}

short kclSelectReportFromList(short window, short field, const std::string& title, short newFile,
                              short keepFullPath) {
    return SelectInField(window, field, [&](std::string& text) {
        return kclSelectReportFromList(text, title, newFile, keepFullPath) == 1;
    });
}
