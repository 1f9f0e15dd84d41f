// Paths of data files and report designs.
#include "qvkit/paths/kclPaths.h"

#include "qvkit/paths/kclCurrentDrive.h"
#include "qvkit/paths/kwUniversalName.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/paths/kwPath.h"
#include "kwcommon/xc_file_control.h"
#include "kwcommon/xio.h"

#include <cstring>

namespace {

// Copies text into a buffer of size bytes when it fits whole.
bool CopyIfFits(char* buffer, int size, const std::string& text) {
    if (!buffer || size <= 0 || text.size() >= static_cast<size_t>(size)) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// A buffer's text, bounded by the buffer so an unterminated one cannot run away.
std::string BufferText(const char* buffer, int size = kclPathBufferSize) {
    if (!buffer) return {};
    return std::string(buffer, strnlen(buffer, static_cast<size_t>(size)));
}

} // namespace

std::string kclPathRules::WithDrive(const std::string& path) {
    if (path.empty() || path[0] != '/' || (path.size() > 1 && path[1] == '/')) return path;
    return kclCurrentDrivePrefix() + path;
}

std::string kclPathRules::AsFolder(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + '/';
}

std::string kclPathRules::ReportControlFolder() {
    xc_file_control_def control;
    if (xc_get_file_control_def("RPT", &control) != XIO_OK) return {};
    return BufferText(control.path, sizeof(control.path));
}

char kclGetFileDrive(short file) {
    xio_def def{};
    if (xio_get_def(file, &def, 0) == XIO_OK && def.path[0] != '\0' && def.path[1] == ':') {
        return def.path[0];
    }
    return kclCurrentDrive();
}

void kclGetFilePathname(short file, char* buffer, short size) {
    if (!buffer || size <= 0) return;
    buffer[0] = '\0';
    xio_def def{};
    if (xio_get_def(file, &def, 0) != XIO_OK) return;
    CopyIfFits(buffer, size, kwUniversalName(BufferText(def.path, sizeof(def.path))));
}

short kclParsePathname(char* folder, char* name, const std::string& path) {
    const std::string universal = kwUniversalName(path);
    const size_t separator = universal.rfind('/');
    const std::string folderPart =
        separator == std::string::npos ? std::string() : universal.substr(0, separator + 1);
    const std::string namePart =
        separator == std::string::npos ? universal : universal.substr(separator + 1);
    if (namePart.empty() || namePart.size() >= kclPathBufferSize ||
        folderPart.size() >= kclPathBufferSize) {
        return 0;
    }
    if (name) CopyIfFits(name, kclPathBufferSize, namePart);
    // A bare name has no folder: say so rather than leave the caller's old text there.
    if (folder) CopyIfFits(folder, kclPathBufferSize, folderPart);
    return 1;
}

void kclAddDrive(char* path) {
    if (!path) return;
    CopyIfFits(path, kclPathBufferSize, kclPathRules::WithDrive(BufferText(path)));
}

char* kclGetDefaultPath(const char* abbreviation) {
    const std::string abbrev = abbreviation ? abbreviation : "";
    xc_file_control_def control;
    std::string path;
    if (xc_get_file_control_def(abbrev.c_str(), &control) == XIO_OK) {
        path = kclPathRules::WithDrive(BufferText(control.path, sizeof(control.path)));
    }
    if (path.empty()) path = "*." + abbrev;
    char* result = new char[kclPathBufferSize]();
    CopyIfFits(result, kclPathBufferSize, kwUniversalName(path));
    return result;
}

void kclAddRptExtension(char* name) {
    if (!name) return;
    const std::string text = BufferText(name);
    if (text.find(".RPT") != std::string::npos || text.find(".rpt") != std::string::npos) return;
    CopyIfFits(name, kclPathBufferSize, text + ".RPT");
}

void kclRemoveRptExtension(char* name) {
    if (!name) return;
    const std::string text = BufferText(name);
    size_t at = text.find(".RPT");
    if (at == std::string::npos) at = text.find(".rpt");
    if (at != std::string::npos) name[at] = '\0';
}

short kclValidateDesignNameAndAddPath(char* name, bool tryExtension) {
    if (!name || name[0] == '\0') return 0;
    short found = 0;
    std::string located;
    // A located path too long for the buffer would come back cut: that is not a design.
    if (kwPath::LocateReport(BufferText(name), located, tryExtension) &&
        CopyIfFits(name, kclPathBufferSize, located)) {
        found = 1;
    }
    CopyIfFits(name, kclPathBufferSize, kwUniversalName(BufferText(name)));
    return found;
}

short kclValidateDesignName(char* name) {
    if (!name) return 0;
    char copy[kclPathBufferSize];
    if (!CopyIfFits(copy, sizeof(copy), BufferText(name))) return 0;
    const short found = kclValidateDesignNameAndAddPath(copy, true);
    if (found) std::memcpy(name, copy, std::strlen(copy) + 1);
    return found;
}

void kclStripReportPathFromFilename(char* name, short size) {
    if (!name || size <= 0) return;
    const std::string full = kclPathRules::WithDrive(BufferText(name, size));
    const std::string controlFolder = kwUniversalName(
        kclPathRules::AsFolder(kclPathRules::WithDrive(kclPathRules::ReportControlFolder())));
    const std::string reportsFolder =
        kwUniversalName(kclPathRules::AsFolder(kclPathRules::WithDrive(kwPath::Reports(""))));

    char folder[kclPathBufferSize] = {};
    char file[kclPathBufferSize] = {};
    std::string result = kwUniversalName(full);
    if (kclParsePathname(folder, file, full)) {
        const std::string fileFolder = folder;
        if (fileFolder == reportsFolder || fileFolder == controlFolder) result = file;
    }
    CopyIfFits(name, size, result);
}
