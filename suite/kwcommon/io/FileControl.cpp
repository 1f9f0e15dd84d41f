// The file control, read from the company's filecontrol.json on every call (it is small
// and may be changed by another workstation).
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_log.h"
#include "kwcommon/xc_file_control.h"

#include <cctype>
#include <cstring>

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The entry of wanted (upper case) into *def; false when the file has none.
bool ParseEntry(const kwJsonNode& root, const std::string& wanted, xc_file_control_def* def) {
    bool found = false;
    root.ForEachMember([&](const std::string& key, const kwJsonNode& entry) {
        if (found || Upper(key) != wanted) return;
        entry.ExpectObject();
        std::string folder = entry.Text("folder", "");
        if (!folder.empty() && folder[0] != '/') folder = kwCompany::Path(folder);
        // A cut folder would put the data files somewhere else: refuse it.
        if (folder.size() >= sizeof(def->path))
            entry.Member("folder").Fail("names a folder longer than " + std::to_string(sizeof(def->path) - 1) +
                                        " characters");
        if (wanted.size() >= sizeof(def->abbrev)) return;
        std::memcpy(def->abbrev, wanted.c_str(), wanted.size() + 1);
        std::memcpy(def->path, folder.c_str(), folder.size() + 1);
        def->namedFiles = entry.Flag("namedFiles", false) ? 1 : 0;
        found = true;
    });
    return found;
}

} // namespace

short xc_get_file_control_def(const char* abbrev, xc_file_control_def* def) {
    std::memset(def, 0, sizeof(*def));
    if (!abbrev || !kwCompany::IsOpen()) return XIO_NO_RECORD;
    const std::string path = kwCompany::Path("filecontrol.json");
    nlohmann::json root;
    std::string error;
    bool found = false;
    switch (kwJsonLoadFile(path, &root, &error, [&](const kwJsonNode& node) {
        found = ParseEntry(node.ExpectObject(), Upper(abbrev), def);
    })) {
    case kwJsonRead::Missing:
        return XIO_NO_RECORD;
    case kwJsonRead::Ok:
        return found ? XIO_OK : XIO_NO_RECORD;
    case kwJsonRead::Malformed:
        break;
    }
    std::memset(def, 0, sizeof(*def));
    // Using the company folder instead would put data files where nobody looks for them.
    x_log(0, (error + " (the file control cannot be used)").c_str());
    return XIO_CORRUPT;
}
