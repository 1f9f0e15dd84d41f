// The file control, read from the company's filecontrol.json on every call (it is small
// and may be changed by another workstation).
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_log.h"
#include "kwcommon/xc_file_control.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>

short xc_get_file_control_def(const char* abbrev, xc_file_control_def* def) {
    std::memset(def, 0, sizeof(*def));
    if (!abbrev || !kwCompany::IsOpen()) return XIO_NO_RECORD;
    std::string wanted = abbrev;
    for (char& c : wanted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::ifstream in(kwCompany::Path("filecontrol.json"));
    if (!in) return XIO_NO_RECORD;
    nlohmann::json root = nlohmann::json::parse(in, nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        x_log(0, "filecontrol.json is not valid JSON; no file control is used.");
        return XIO_NO_RECORD;
    }
    for (const auto& [key, value] : root.items()) {
        std::string upper = key;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper != wanted || !value.is_object()) continue;
        std::snprintf(def->abbrev, sizeof(def->abbrev), "%s", upper.c_str());
        std::string folder = value.value("folder", std::string());
        if (!folder.empty() && folder[0] != '/') folder = kwCompany::Path(folder);
        std::snprintf(def->path, sizeof(def->path), "%s", folder.c_str());
        def->namedFiles = value.value("namedFiles", false) ? 1 : 0;
        return XIO_OK;
    }
    return XIO_NO_RECORD;
}
