// Reading inquiries.json: every fault names the file and the JSON place, and a damaged
// file never leaves half of its definitions behind.
#include "kwinq/kwInqDefinitions.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/x_log.h"

#include <filesystem>
#include <mutex>

namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool Letters(const std::string& text) {
    for (char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

std::string Code(const kwJsonNode& item) {
    const kwJsonNode node = item.Member("application");
    const std::string code = node.Text();
    if (code.size() != 2 || !Letters(code)) node.Fail("must be an application's two-letter code");
    return Upper(code);
}

std::string Name(const kwJsonNode& item) {
    const kwJsonNode node = item.Member("name");
    const std::string name = node.Text();
    if (name.empty() || name.size() > kwInqDefinitions::NAME_LIMIT) node.Fail("must be 1 to 30 characters");
    if (name.find_first_not_of(' ') == std::string::npos) node.Fail("must not be blank");
    return name;
}

std::vector<std::string> FieldNames(const kwJsonNode& list, bool required) {
    list.ExpectArray();
    if (required && list.Size() == 0) list.Fail("must name at least one field");
    std::vector<std::string> names;
    list.ForEachItem([&](size_t, const kwJsonNode& item) {
        const std::string name = item.Text();
        if (name.empty() || name.size() > 7) item.Fail("must be a field name of 1 to 7 characters");
        for (const std::string& earlier : names)
            if (SameNoCase(earlier, name)) item.Fail("names the field " + name + " twice");
        names.push_back(Upper(name));
    });
    return names;
}

void Parse(const kwJsonNode& root, std::vector<kwInqDefinition>* inquiries, std::vector<kwRptDefinition>* reports) {
    root.ExpectObject();
    if (const auto list = root.Find("inquiries")) {
        list->ExpectArray().ForEachItem([&](size_t, const kwJsonNode& item) {
            item.ExpectObject();
            kwInqDefinition definition;
            definition.application = Code(item);
            definition.name = Name(item);
            for (const kwInqDefinition& earlier : *inquiries)
                if (SameNoCase(earlier.application, definition.application) && SameNoCase(earlier.name, definition.name))
                    item.Member("name").Fail("repeats the inquiry \"" + definition.name + "\" of " + definition.application);
            const kwJsonNode file = item.Member("file");
            definition.file = Upper(file.Text());
            if (definition.file.size() != 3) file.Fail("must be a file abbreviation of 3 characters");
            definition.recordType = static_cast<short>(item.Member("recordType").Whole(1, 255));
            definition.order = static_cast<short>(item.Whole("order", 0, 0, 99));
            definition.columns = FieldNames(item.Member("columns"), true);
            if (const auto keys = item.Find("keys")) definition.keys = FieldNames(*keys, false);
            inquiries->push_back(std::move(definition));
        });
    }
    if (const auto list = root.Find("reports")) {
        list->ExpectArray().ForEachItem([&](size_t, const kwJsonNode& item) {
            item.ExpectObject();
            kwRptDefinition definition;
            definition.application = Code(item);
            definition.name = Name(item);
            for (const kwRptDefinition& earlier : *reports)
                if (SameNoCase(earlier.application, definition.application) && SameNoCase(earlier.name, definition.name))
                    item.Member("name").Fail("repeats the report \"" + definition.name + "\" of " + definition.application);
            const kwJsonNode design = item.Member("design");
            definition.design = design.Text();
            if (definition.design.empty() || definition.design.find('/') != std::string::npos)
                design.Fail("must name a report design of the reports folder");
            reports->push_back(std::move(definition));
        });
    }
}

struct Stamp {
    bool exists = false;
    std::filesystem::file_time_type time{};
    uintmax_t size = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const std::string& path) {
    std::error_code ec;
    Stamp stamp;
    stamp.time = std::filesystem::last_write_time(path, ec);
    if (ec) return {};
    stamp.size = std::filesystem::file_size(path, ec);
    if (ec) return {};
    stamp.exists = true;
    return stamp;
}

} // namespace

bool kwInqDefinitions::Load(const std::string& path, kwInqDefinitions* definitions, std::string* error) {
    nlohmann::json doc;
    std::vector<kwInqDefinition> inquiries;
    std::vector<kwRptDefinition> reports;
    switch (kwJsonLoadFile(path, &doc, error, [&](const kwJsonNode& root) { Parse(root, &inquiries, &reports); })) {
    case kwJsonRead::Missing:
        *definitions = kwInqDefinitions();
        return true;
    case kwJsonRead::Malformed:
        return false;
    case kwJsonRead::Ok:
        break;
    }
    definitions->_inquiries = std::move(inquiries);
    definitions->_reports = std::move(reports);
    return true;
}

std::shared_ptr<const kwInqDefinitions> kwInqDefinitions::Company(std::string* error) {
    static std::mutex mutex;
    static std::string cachedPath;
    static Stamp cachedStamp;
    static std::shared_ptr<const kwInqDefinitions> cached;
    static std::string cachedError;

    std::lock_guard<std::mutex> guard(mutex);
    if (!kwCompany::IsOpen()) {
        if (error) error->clear();
        return std::make_shared<const kwInqDefinitions>();
    }
    const std::string path = kwCompany::Path(FILE_NAME);
    const Stamp stamp = StampOf(path);
    if (!cached || path != cachedPath || !(stamp == cachedStamp)) {
        auto loaded = std::make_shared<kwInqDefinitions>();
        cachedError.clear();
        if (!Load(path, loaded.get(), &cachedError)) {
            x_log(0, (cachedError + " (no inquiries or reports are offered)").c_str());
            loaded = std::make_shared<kwInqDefinitions>();
        }
        cached = std::move(loaded);
        cachedPath = path;
        cachedStamp = stamp;
    }
    if (error) *error = cachedError;
    return cached;
}

std::vector<const kwInqDefinition*> kwInqDefinitions::InquiriesOf(const std::string& application) const {
    std::vector<const kwInqDefinition*> found;
    for (const kwInqDefinition& definition : _inquiries)
        if (SameNoCase(definition.application, application)) found.push_back(&definition);
    return found;
}

std::vector<const kwRptDefinition*> kwInqDefinitions::ReportsOf(const std::string& application) const {
    std::vector<const kwRptDefinition*> found;
    for (const kwRptDefinition& definition : _reports)
        if (SameNoCase(definition.application, application)) found.push_back(&definition);
    return found;
}

const kwInqDefinition* kwInqDefinitions::FindInquiry(const std::string& application, const std::string& name) const {
    for (const kwInqDefinition& definition : _inquiries)
        if (SameNoCase(definition.application, application) && SameNoCase(definition.name, name)) return &definition;
    return nullptr;
}

const kwRptDefinition* kwInqDefinitions::FindReport(const std::string& application, const std::string& name) const {
    for (const kwRptDefinition& definition : _reports)
        if (SameNoCase(definition.application, application) && SameNoCase(definition.name, name)) return &definition;
    return nullptr;
}
