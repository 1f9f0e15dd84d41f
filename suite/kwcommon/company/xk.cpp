// Custom lists, custom descriptions and sectioned key formats, read from lists.json.
#include "kwcommon/xk.h"

#include "kwcommon/company/CompanyJsonFile.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_value_def.h"

#include <algorithm>
#include <cstring>
#include <map>
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

bool ParseKind(const nlohmann::json& node, const std::string& where, KindFormat* kind,
               std::string* error) {
    if (!node.is_object()) {
        *error = where + " must be an object";
        return false;
    }
    if (auto it = node.find("name"); it != node.end()) {
        if (!it->is_string()) {
            *error = where + ".name must be a text";
            return false;
        }
        kind->name = it->get<std::string>();
    }
    if (auto it = node.find("separator"); it != node.end()) {
        if (!it->is_string()) {
            *error = where + ".separator must be a text";
            return false;
        }
        kind->separator = it->get<std::string>();
    }
    if (auto it = node.find("sections"); it != node.end()) {
        if (!it->is_array() || it->empty()) {
            *error = where + ".sections must be a list of section widths";
            return false;
        }
        for (const auto& section : *it) {
            if (!section.is_number_integer() || section.get<long>() < 1 ||
                section.get<long>() > kMaxSectionWidth) {
                *error = where + ".sections must hold widths from 1 to " +
                         std::to_string(kMaxSectionWidth);
                return false;
            }
            kind->sections.push_back(section.get<int>());
        }
        if (kind->MultiSection() && kind->separator.empty()) {
            *error = where + ".separator must not be empty for a kind of several sections";
            return false;
        }
    }
    if (auto it = node.find("width"); it != node.end()) {
        if (!it->is_number_integer() || it->get<long>() < 0 || it->get<long>() > 32767) {
            *error = where + ".width must be a whole number from 0 to 32767";
            return false;
        }
        kind->width = it->get<int>();
    }
    if (!kind->sections.empty()) {
        long width = 0;
        for (int section : kind->sections)
            width += section;
        width += static_cast<long>(kind->sections.size() - 1) *
                 static_cast<long>(kind->separator.size());
        kind->width = static_cast<int>(std::min(width, 32767L));
    }
    return true;
}

bool ParseLists(const nlohmann::json& doc, ListsData* data, std::string* error) {
    if (!doc.is_object()) {
        *error = "it must be a JSON object";
        return false;
    }
    if (auto it = doc.find("lists"); it != doc.end()) {
        if (!it->is_object()) {
            *error = "\"lists\" must be an object";
            return false;
        }
        for (const auto& [name, entries] : it->items()) {
            CodeKey key;
            if (!ParseCode(name, &key) || key.second != 0) {
                *error = "lists: \"" + name + "\" is no list number";
                return false;
            }
            if (!entries.is_array()) {
                *error = "lists." + name + " must be a list of texts";
                return false;
            }
            std::vector<std::string> values;
            for (const auto& entry : entries) {
                if (!entry.is_string()) {
                    *error = "lists." + name + " must be a list of texts";
                    return false;
                }
                values.push_back(entry.get<std::string>());
            }
            data->lists[key.first] = std::move(values);
        }
    }
    if (auto it = doc.find("descriptions"); it != doc.end()) {
        if (!it->is_object()) {
            *error = "\"descriptions\" must be an object";
            return false;
        }
        for (const auto& [name, text] : it->items()) {
            CodeKey key;
            if (!ParseCode(name, &key)) {
                *error = "descriptions: \"" + name + "\" is no field code";
                return false;
            }
            if (!text.is_string()) {
                *error = "descriptions." + name + " must be a text";
                return false;
            }
            data->descriptions[key] = text.get<std::string>();
        }
    }
    if (auto it = doc.find("kinds"); it != doc.end()) {
        if (!it->is_object()) {
            *error = "\"kinds\" must be an object";
            return false;
        }
        for (const auto& [name, node] : it->items()) {
            CodeKey key;
            if (!ParseCode(name, &key)) {
                *error = "kinds: \"" + name + "\" is no kind code";
                return false;
            }
            KindFormat kind;
            if (!ParseKind(node, "kinds." + name, &kind, error)) return false;
            data->kinds[key] = std::move(kind);
        }
    }
    return true;
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

// Rewrites lists.json with one change applied, under the company-wide writer lock.
template <class Change> short RewriteLists(Change change) {
    if (!kwCompany::IsOpen()) return XIO_FAILED;
    const std::string path = kwCompany::Path(kListsFile);
    kwcompany::FileWriteLock lock(path);
    if (!lock.Held()) return XIO_LOCKED;
    nlohmann::json doc = nlohmann::json::object();
    std::string error;
    switch (kwcompany::ReadJsonFile(path, &doc, &error)) {
    case kwcompany::JsonReadResult::Missing:
        doc = nlohmann::json::object();
        break;
    case kwcompany::JsonReadResult::Malformed:
        if (error.empty()) error = "it cannot be read";
        break;
    case kwcompany::JsonReadResult::Ok: {
        ListsData current;
        ParseLists(doc, &current, &error);
        break;
    }
    }
    if (!error.empty()) {
        // Writing now would throw away whatever the broken file still holds.
        const std::string line =
            std::string(kListsFile) + " is malformed and was not changed: " + error;
        x_log(0, line.c_str());
        return XIO_CORRUPT;
    }
    change(doc);
    std::string text;
    if (!kwcompany::DumpJson(doc, &text)) return XIO_BAD_VALUE;
    if (!kwcompany::WriteFileAtomically(path, text, &error)) {
        x_log(0, error.c_str());
        return XIO_IO_ERROR;
    }
    ListsFile().Forget();
    return XIO_OK;
}

void EraseEmptyMember(nlohmann::json& doc, const char* member) {
    if (auto it = doc.find(member); it != doc.end() && it->is_object() && it->empty())
        doc.erase(it);
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
    return RewriteLists([&](nlohmann::json& doc) {
        const std::string key = std::to_string(list);
        if (!doc.contains("lists") || !doc["lists"].is_object())
            doc["lists"] = nlohmann::json::object();
        if (entries.empty())
            doc["lists"].erase(key);
        else
            doc["lists"][key] = entries;
        EraseEmptyMember(doc, "lists");
    });
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

short xk_put_description(short code, short sub, const std::string& text) {
    if (code < 0 || sub < 0) return XIO_BAD_VALUE;
    return RewriteLists([&](nlohmann::json& doc) {
        const std::string key = CodeText(code, sub);
        if (!doc.contains("descriptions") || !doc["descriptions"].is_object())
            doc["descriptions"] = nlohmann::json::object();
        if (text.empty())
            doc["descriptions"].erase(key);
        else
            doc["descriptions"][key] = text;
        EraseEmptyMember(doc, "descriptions");
    });
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
