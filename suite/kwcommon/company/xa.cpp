// Applications of the suite known to the company, read from applications.json, and the
// names of data files by their abbreviation.
#include "kwcommon/xa.h"

#include "kwcommon/company/CompanyJsonFile.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xio_dict.h"

#include <cctype>
#include <cstring>

namespace {

struct ApplicationsData {
    std::vector<x_kw_apl_info> applications;
};

bool ValidCode(const std::string& code) {
    if (code.empty() || code.size() > 2) return false;
    for (char c : code)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

void ParseApplications(const kwJsonNode& root, ApplicationsData* data) {
    root.ExpectObject();
    const auto list = root.Find("applications");
    if (!list) return;
    list->ForEachItem([&](size_t, const kwJsonNode& node) {
        node.ExpectObject();
        const kwJsonNode codeNode = node.Member("code");
        const std::string code = codeNode.Text();
        if (!ValidCode(code)) codeNode.Fail("must be a code of one or two letters or digits, not \"" + code + "\"");
        x_kw_apl_info info{};
        kwcompany::CopyCut(info.code, kwcompany::Upper(code));
        kwcompany::CopyCut(info.name, node.Text("name", code));
        info.installed = node.Flag("installed", true) ? 1 : 0;
        info.hidden = node.Flag("hidden", false) ? 1 : 0;
        data->applications.push_back(info);
    });
}

kwcompany::CachedCompanyFile<ApplicationsData>& ApplicationsFile() {
    static kwcompany::CachedCompanyFile<ApplicationsData> file("applications.json",
                                                               ParseApplications);
    return file;
}

const x_kw_apl_info* FindByCode(const ApplicationsData& data, const std::string& code) {
    for (const auto& info : data.applications)
        if (kwcompany::EqualsNoCase(info.code, code)) return &info;
    return nullptr;
}

// A data file known by its dictionary: the abbreviation must be a plain name, never a path.
bool FindDataFile(const ApplicationsData& data, const std::string& abbrev, x_kw_apl_info* info) {
    if (abbrev.empty() || abbrev.size() > 3) return false;
    for (char c : abbrev)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    std::string error;
    const auto dict = kwDictionaryLoader::Load(abbrev, &error);
    if (!dict) return false;
    const std::string code = kwcompany::Upper(abbrev.substr(0, 2));
    const x_kw_apl_info* owner = FindByCode(data, code);
    if (info) {
        *info = x_kw_apl_info{};
        kwcompany::CopyCut(info->code, code);
        kwcompany::CopyCut(info->name, dict->file.description);
        info->installed = owner ? owner->installed : 1;
        info->hidden = owner ? owner->hidden : 0;
    }
    return true;
}

} // namespace

short xa_get_kw_nam(short what, x_kw_apl_info* info, const char* key) {
    if (!key) return 0;
    const std::string wanted = key;
    const auto data = ApplicationsFile().Get();
    if (what == 1) {
        if (const x_kw_apl_info* found = FindByCode(*data, wanted)) {
            if (info) *info = *found;
            return 1;
        }
        return FindDataFile(*data, wanted, info) ? 1 : 0;
    }
    if (what == 2) {
        for (const auto& candidate : data->applications) {
            if (kwcompany::EqualsNoCase(candidate.name, wanted)) {
                if (info) *info = candidate;
                return 1;
            }
        }
    }
    return 0;
}

short xa_get_appl_name(const char* code, char* name, int size) {
    if (name && size > 0) name[0] = '\0';
    if (!code) return XIO_NO_RECORD;
    const auto data = ApplicationsFile().Get();
    const x_kw_apl_info* found = FindByCode(*data, code);
    if (!found) return XIO_NO_RECORD;
    if (name && size > 0) {
        const std::string cut = x_utf8_cut(found->name, static_cast<size_t>(size - 1));
        std::memcpy(name, cut.data(), cut.size());
        name[cut.size()] = '\0';
    }
    return XIO_OK;
}

short xa_appl_installed(const char* code) {
    if (!code) return 0;
    const auto data = ApplicationsFile().Get();
    const x_kw_apl_info* found = FindByCode(*data, code);
    return found && found->installed ? 1 : 0;
}

std::vector<x_kw_apl_info> xa_get_kw_apl() {
    std::vector<x_kw_apl_info> installed;
    for (const auto& info : ApplicationsFile().Get()->applications)
        if (info.installed) installed.push_back(info);
    return installed;
}

std::vector<x_kw_apl_info> xa_all_applications() {
    return ApplicationsFile().Get()->applications;
}
