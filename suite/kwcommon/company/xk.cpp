// Custom lists, custom descriptions and sectioned key formats, read from lists.json.
#include "kwcommon/xk.h"

#include "kwcommon/company/CompanyJsonFile.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_value_def.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

namespace {

constexpr const char* kListsFile = "lists.json";
constexpr int kMaxSectionWidth = 255;

using CodeKey = std::pair<short, short>; // code (or kind) and second number (or qualifier)

struct KindFormat {
    std::string name;
    std::vector<int> sections;
    std::string separator = "-";
    int width = 0;
    bool MultiSection() const { return sections.size() > 1; }
};

struct ListsData {
    std::map<short, std::vector<std::string>> lists;
    std::map<CodeKey, std::string> descriptions;
    std::map<CodeKey, KindFormat> kinds;
};

// "262" or "8.1": digits, optionally a full stop and more digits, each part 0..32767.
bool ParseCode(const std::string& text, CodeKey* key) {
    long parts[2] = {0, 0};
    int part = 0;
    bool digits = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            parts[part] = parts[part] * 10 + (c - '0');
            if (parts[part] > 32767) return false;
            digits = true;
        } else if (c == '.' && part == 0 && digits) {
            part = 1;
            digits = false;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    *key = {static_cast<short>(parts[0]), static_cast<short>(parts[1])};
    return true;
}

std::string CodeText(short code, short sub) {
    return sub == 0 ? std::to_string(code) : std::to_string(code) + "." + std::to_string(sub);
}

KindFormat ParseKind(const kwJsonNode& node) {
    node.ExpectObject();
    KindFormat kind;
    kind.name = node.Text("name", "");
    kind.separator = node.Text("separator", kind.separator);
    if (const auto sections = node.Find("sections")) {
        if (sections->IsArray() && sections->Size() == 0) sections->Fail("must list at least one section width");
        sections->ForEachItem([&](size_t, const kwJsonNode& section) {
            kind.sections.push_back(static_cast<int>(section.Whole(1, kMaxSectionWidth)));
        });
        if (kind.MultiSection() && kind.separator.empty())
            node.Member("separator").Fail("must not be empty for a kind of several sections");
    }
    kind.width = static_cast<int>(node.Whole("width", 0, 0, 32767));
    if (!kind.sections.empty()) {
        long width = 0;
        for (int section : kind.sections)
            width += section;
        width += static_cast<long>(kind.sections.size() - 1) * static_cast<long>(kind.separator.size());
        kind.width = static_cast<int>(std::min(width, 32767L));
    }
    return kind;
}

// A member name that must be a code: "262", or "8.1" where second numbers are allowed.
CodeKey ParseCodeName(const kwJsonNode& node, const std::string& name, bool withSecond, const char* what) {
    CodeKey key;
    if (!ParseCode(name, &key) || (!withSecond && key.second != 0))
        node.Fail("holds \"" + name + "\", which is no " + what);
    return key;
}

void ParseLists(const kwJsonNode& root, ListsData* data) {
    root.ExpectObject();
    if (const auto lists = root.Find("lists")) {
        lists->ForEachMember([&](const std::string& name, const kwJsonNode& entries) {
            const CodeKey key = ParseCodeName(*lists, name, false, "list number");
            std::vector<std::string> values;
            entries.ForEachItem([&](size_t, const kwJsonNode& entry) { values.push_back(entry.Text()); });
            data->lists[key.first] = std::move(values);
        });
    }
    if (const auto descriptions = root.Find("descriptions")) {
        descriptions->ForEachMember([&](const std::string& name, const kwJsonNode& text) {
            data->descriptions[ParseCodeName(*descriptions, name, true, "field code")] = text.Text();
        });
    }
    if (const auto kinds = root.Find("kinds")) {
        kinds->ForEachMember([&](const std::string& name, const kwJsonNode& node) {
            data->kinds[ParseCodeName(*kinds, name, true, "kind code")] = ParseKind(node);
        });
    }
}

kwcompany::CachedCompanyFile<ListsData>& ListsFile() {
    static kwcompany::CachedCompanyFile<ListsData> file(kListsFile, ParseLists);
    return file;
}

const KindFormat* FindKind(const ListsData& data, short kind, short qualifier) {
    if (qualifier != 0) {
        if (auto it = data.kinds.find({kind, qualifier}); it != data.kinds.end())
            return &it->second;
    }
    if (auto it = data.kinds.find({kind, 0}); it != data.kinds.end()) return &it->second;
    return nullptr;
}

// Byte length of the UTF-8 character that starts with lead.
size_t CharLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1; // a stray continuation byte counts as one character of its own
}

size_t CharCount(const std::string& text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i += CharLength(static_cast<unsigned char>(text[i])))
        ++count;
    return count;
}

// The byte offset after `chars` characters from `from` (clamped to the end).
size_t AdvanceChars(const std::string& text, size_t from, size_t chars) {
    size_t pos = from;
    while (chars > 0 && pos < text.size()) {
        pos += CharLength(static_cast<unsigned char>(text[pos]));
        --chars;
    }
    return std::min(pos, text.size());
}

std::string TrimRightBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// Rewrites lists.json with one change applied, under the file's writer lock.
template <class Change> short RewriteLists(Change change) {
    if (!kwCompany::IsOpen()) return XIO_FAILED;
    const std::string path = kwCompany::Path(kListsFile);
    kwFileWriteLock lock(path);
    if (!lock.Held()) return XIO_LOCKED;
    kwStoredFile::RemoveAbandonedTemporaries(kwCompany::Folder());
    nlohmann::json doc;
    ListsData current;
    std::string error;
    if (!kwcompany::ReadCompanyFile(path, ParseLists, &doc, &current, &error)) {
        // Writing now would throw away whatever the broken file still holds.
        x_log(0, (error + " (the file was not changed)").c_str());
        return XIO_CORRUPT;
    }
    change(doc);
    std::string text;
    if (!kwJsonDump(doc, &text)) return XIO_BAD_VALUE;
    if (!kwStoredFile::Write(path, text, &error)) {
        x_log(0, error.c_str());
        return XIO_IO_ERROR;
    }
    ListsFile().Forget();
    return XIO_OK;
}

// Sets one member of a section of lists.json ("lists", "descriptions"), or removes it when
// there is no value; a section left empty goes too.
short PutMember(const char* section, const std::string& key, std::optional<nlohmann::json> value) {
    return RewriteLists([&](nlohmann::json& doc) {
        nlohmann::json& members = doc[section];
        if (!members.is_object()) members = nlohmann::json::object();
        if (value)
            members[key] = std::move(*value);
        else
            members.erase(key);
        if (members.empty()) doc.erase(section);
    });
}

} // namespace

short xk_get_custom_list(short list, std::vector<std::string>* entries) {
    if (entries) entries->clear();
    const auto data = ListsFile().Get();
    auto it = data->lists.find(list);
    if (it == data->lists.end() || it->second.empty()) return XIO_NO_RECORD;
    if (entries) *entries = it->second;
    return XIO_OK;
}

short xk_put_custom_list(short list, const std::vector<std::string>& entries) {
    if (list <= 0) return XIO_BAD_VALUE;
    return PutMember("lists", std::to_string(list),
                     entries.empty() ? std::nullopt : std::optional<nlohmann::json>(entries));
}

short xk_get_custom_list_default(short list, char* text, int size) {
    const std::string value = xk_get_custom_list_default(list);
    if (text && size > 0) {
        const std::string cut = x_utf8_cut(value, static_cast<size_t>(size - 1));
        std::memcpy(text, cut.data(), cut.size());
        text[cut.size()] = '\0';
    }
    std::vector<std::string> entries;
    return xk_get_custom_list(list, &entries);
}

std::string xk_get_custom_list_default(short list) {
    std::vector<std::string> entries;
    if (xk_get_custom_list(list, &entries) != XIO_OK) return {};
    return entries.front();
}

std::string xk_description(short code, short sub) {
    const auto data = ListsFile().Get();
    if (sub != 0) {
        if (auto it = data->descriptions.find({code, sub}); it != data->descriptions.end())
            return it->second;
    }
    if (auto it = data->descriptions.find({code, 0}); it != data->descriptions.end())
        return it->second;
    return {};
}

std::vector<xk_description_entry> xk_descriptions() {
    const auto data = ListsFile().Get();
    std::vector<xk_description_entry> entries;
    for (const auto& [key, text] : data->descriptions) entries.push_back({key.first, key.second, text});
    return entries;
}

short xk_put_description(short code, short sub, const std::string& text) {
    if (code < 0 || sub < 0) return XIO_BAD_VALUE;
    return PutMember("descriptions", CodeText(code, sub),
                     text.empty() ? std::nullopt : std::optional<nlohmann::json>(text));
}

short xk_width(short kind, short qualifier) {
    const auto data = ListsFile().Get();
    if (const KindFormat* format = FindKind(*data, kind, qualifier))
        return static_cast<short>(format->width);
    auto it = data->lists.find(kind);
    if (it == data->lists.end() || it->second.empty()) return 0;
    size_t longest = 1;
    for (const auto& entry : it->second)
        longest = std::max(longest, CharCount(entry));
    return static_cast<short>(std::min<size_t>(longest, 32767));
}

short xk_multi_section(short kind) {
    const auto data = ListsFile().Get();
    for (auto it = data->kinds.lower_bound({kind, -32768});
         it != data->kinds.end() && it->first.first == kind; ++it)
        if (it->second.MultiSection()) return 1;
    return 0;
}

std::string xk_format_field(short kind, short qualifier, const std::string& text) {
    const auto data = ListsFile().Get();
    const KindFormat* format = FindKind(*data, kind, qualifier);
    if (!format || !format->MultiSection()) return text;
    if (text.find(format->separator) != std::string::npos) return text;
    std::vector<std::string> sections;
    size_t pos = 0;
    for (size_t i = 0; i < format->sections.size() && pos < text.size(); ++i) {
        // Whatever lies beyond the last section stays with it rather than being lost.
        const bool last = i + 1 == format->sections.size();
        const size_t end =
            last ? text.size() : AdvanceChars(text, pos, static_cast<size_t>(format->sections[i]));
        sections.push_back(TrimRightBlanks(text.substr(pos, end - pos)));
        pos = end;
    }
    while (!sections.empty() && sections.back().empty())
        sections.pop_back();
    std::string shown;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (i > 0) shown += format->separator;
        shown += sections[i];
    }
    return shown;
}

std::string xk_unformat_field(short kind, short qualifier, const std::string& text) {
    const auto data = ListsFile().Get();
    const KindFormat* format = FindKind(*data, kind, qualifier);
    if (!format || !format->MultiSection()) return text;
    if (text.find(format->separator) == std::string::npos) return text;
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true) {
        const size_t found = text.find(format->separator, start);
        if (found == std::string::npos || pieces.size() + 1 == format->sections.size()) {
            // More separators than the kind has sections: the rest belongs to the last one.
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, found - start));
        start = found + format->separator.size();
    }
    std::string stored;
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::string section = TrimRightBlanks(pieces[i]);
        const size_t length = CharCount(section);
        const size_t width = static_cast<size_t>(format->sections[i]);
        if (length < width) section.append(width - length, ' ');
        stored += section;
    }
    return stored;
}

void xk_reload() {
    ListsFile().Forget();
}
