// Loads JSON data dictionaries into definition records. Every fault names the file and
// the place in it; nothing in a dictionary can crash the loader.
#include "kwcommon/kwCompany.h"
#include "kwcommon/xio_dict.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

namespace {

struct DictError {
    std::string text;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) { throw DictError{where + ": " + what}; }

void CopyText(char* target, size_t size, const std::string& value, const std::string& where,
              const char* what) {
    if (value.size() >= size) Fail(where, std::string(what) + " longer than " + std::to_string(size - 1) + " characters");
    std::memset(target, 0, size);
    std::memcpy(target, value.data(), value.size());
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string GetString(const nlohmann::json& node, const char* key, const std::string& where, bool required,
                      const std::string& fallback = "") {
    auto it = node.find(key);
    if (it == node.end()) {
        if (required) Fail(where, std::string("\"") + key + "\" is missing");
        return fallback;
    }
    if (!it->is_string()) Fail(where + "." + key, "must be a text");
    return it->get<std::string>();
}

long GetInt(const nlohmann::json& node, const char* key, const std::string& where, bool required, long fallback,
            long low, long high) {
    auto it = node.find(key);
    if (it == node.end()) {
        if (required) Fail(where, std::string("\"") + key + "\" is missing");
        return fallback;
    }
    if (!it->is_number_integer()) Fail(where + "." + key, "must be a whole number");
    const long value = it->get<long>();
    if (value < low || value > high)
        Fail(where + "." + key, "must lie between " + std::to_string(low) + " and " + std::to_string(high));
    return value;
}

bool GetBool(const nlohmann::json& node, const char* key, const std::string& where) {
    auto it = node.find(key);
    if (it == node.end()) return false;
    if (!it->is_boolean()) Fail(where + "." + key, "must be true or false");
    return it->get<bool>();
}

const nlohmann::json& GetArray(const nlohmann::json& node, const char* key, const std::string& where, bool required) {
    static const nlohmann::json empty = nlohmann::json::array();
    auto it = node.find(key);
    if (it == node.end()) {
        if (required) Fail(where, std::string("\"") + key + "\" is missing");
        return empty;
    }
    if (!it->is_array()) Fail(where + "." + key, "must be a list");
    return *it;
}

void ParseField(const nlohmann::json& node, const std::string& where, short number, short recordType,
                kwDictionary& dict) {
    if (!node.is_object()) Fail(where, "a field must be an object");
    xio_fld_def def{};
    const std::string name = GetString(node, "name", where, true);
    if (name.empty()) Fail(where, "field name is empty");
    if (name.size() > XIO_FIELD_NAME_MAX) Fail(where, "field name \"" + name + "\" longer than 7 characters");
    CopyText(def.name, sizeof(def.name), name, where, "field name");
    CopyText(def.description, sizeof(def.description), GetString(node, "description", where, false, name), where,
             "description");
    def.number = number;
    def.recordType = recordType;
    def.type = static_cast<int16_t>(GetInt(node, "type", where, true, 0, 0, 9));
    def.longText = GetBool(node, "longText", where);
    def.caseFlag = GetBool(node, "caseFlag", where);
    def.monthYear = GetBool(node, "monthYear", where);
    def.decimals = static_cast<int16_t>(GetInt(node, "decimals", where, false, 0, 0, 9));
    def.width = static_cast<int16_t>(GetInt(node, "width", where, false, 0, 0, 32000));
    def.width2 = static_cast<int16_t>(GetInt(node, "width2", where, false, def.width, 0, 32000));
    def.hidden = GetBool(node, "hidden", where) ? 1 : 0;
    def.kind = static_cast<int16_t>(GetInt(node, "kind", where, false, 0, 0, 32767));
    def.qualifier = static_cast<int16_t>(GetInt(node, "qualifier", where, false, 0, -32768, 32767));
    def.listFlag = GetBool(node, "listFlag", where);
    def.listOnly = GetBool(node, "listOnly", where);
    def.formatFlag = GetBool(node, "formatFlag", where);
    std::vector<std::string> items;
    const auto& itemNodes = GetArray(node, "items", where, false);
    for (size_t i = 0; i < itemNodes.size(); ++i) {
        if (!itemNodes[i].is_string()) Fail(where + ".items[" + std::to_string(i) + "]", "must be a text");
        items.push_back(itemNodes[i].get<std::string>());
    }
    if (items.size() > 32000) Fail(where + ".items", "too many items");
    def.itemCount = static_cast<int16_t>(items.size());
    def.defaultItem = static_cast<int16_t>(GetInt(node, "defaultItem", where, false, 0, 0, 32000));
    if (def.type >= XIO_CHOICE && def.defaultItem > def.itemCount)
        Fail(where + ".defaultItem", "names an item the field does not have");
    if (def.longText && def.type != XIO_TEXT) Fail(where + ".longText", "only a text field can be long text");
    dict.fields.push_back(def);
    dict.items.push_back(std::move(items));
}

std::shared_ptr<const kwDictionary> Build(const nlohmann::json& root, const std::string& origin) {
    auto dict = std::make_shared<kwDictionary>();
    dict->sourcePath = origin;
    if (!root.is_object()) Fail(origin, "a dictionary must be a JSON object");
    auto fileIt = root.find("file");
    if (fileIt == root.end() || !fileIt->is_object()) Fail(origin, "\"file\" is missing or not an object");
    const std::string fileWhere = origin + ": file";
    const std::string abbrev = Upper(GetString(*fileIt, "abbrev", fileWhere, true));
    if (abbrev.empty() || abbrev.size() > 3) Fail(fileWhere + ".abbrev", "must have 1 to 3 characters");
    CopyText(dict->file.abbrev, sizeof(dict->file.abbrev), abbrev, fileWhere, "abbrev");
    CopyText(dict->file.dataVersion, sizeof(dict->file.dataVersion),
             GetString(*fileIt, "dataVersion", fileWhere, false, "1.0.0"), fileWhere, "dataVersion");
    CopyText(dict->file.description, sizeof(dict->file.description),
             GetString(*fileIt, "description", fileWhere, false, abbrev), fileWhere, "description");
    const std::string fileName = GetString(*fileIt, "defaultFileName", fileWhere, false, abbrev + ".DAT");
    if (fileName.empty() || fileName.find('/') != std::string::npos || fileName == "." || fileName == "..")
        Fail(fileWhere + ".defaultFileName", "must be a plain file name");
    CopyText(dict->file.defaultFileName, sizeof(dict->file.defaultFileName), fileName, fileWhere, "defaultFileName");
    const auto& types = GetArray(*fileIt, "fileTypes", fileWhere, false);
    for (size_t i = 0; i < types.size(); ++i) {
        if (!types[i].is_string()) Fail(fileWhere + ".fileTypes[" + std::to_string(i) + "]", "must be a text");
        dict->fileTypes.push_back(types[i].get<std::string>());
    }
    dict->file.fileTypeCount = static_cast<int16_t>(dict->fileTypes.size());

    const auto& recordNodes = GetArray(root, "recordTypes", origin, true);
    if (recordNodes.empty()) Fail(origin + ": recordTypes", "a dictionary needs at least one record type");
    std::set<short> recordNumbers;
    std::set<std::string> fieldNames;
    std::vector<std::pair<const nlohmann::json*, std::string>> pendingKeys;
    for (size_t r = 0; r < recordNodes.size(); ++r) {
        const std::string where = origin + ": recordTypes[" + std::to_string(r) + "]";
        const auto& node = recordNodes[r];
        if (!node.is_object()) Fail(where, "a record type must be an object");
        xio_rec_def rec{};
        rec.number = static_cast<int16_t>(GetInt(node, "number", where, true, 0, 1, 255));
        if (!recordNumbers.insert(rec.number).second)
            Fail(where + ".number", "record type " + std::to_string(rec.number) + " is defined twice");
        const std::string name = GetString(node, "name", where, true);
        CopyText(rec.name, sizeof(rec.name), name, where, "name");
        CopyText(rec.description, sizeof(rec.description), GetString(node, "description", where, false, name), where,
                 "description");
        rec.linkGroup = static_cast<int16_t>(GetInt(node, "linkGroup", where, false, 0, 0, 32767));
        const auto& fieldNodes = GetArray(node, "fields", where, true);
        if (fieldNodes.empty()) Fail(where + ".fields", "a record type needs at least one field");
        rec.firstField = static_cast<int16_t>(dict->fields.size() + 1);
        for (size_t f = 0; f < fieldNodes.size(); ++f) {
            const std::string fieldWhere = where + ".fields[" + std::to_string(f) + "]";
            if (dict->fields.size() >= 30000) Fail(fieldWhere, "too many fields");
            ParseField(fieldNodes[f], fieldWhere, static_cast<short>(dict->fields.size() + 1), rec.number, *dict);
            if (!fieldNames.insert(Upper(dict->fields.back().name)).second)
                Fail(fieldWhere, std::string("field name \"") + dict->fields.back().name + "\" is used twice");
        }
        rec.fieldCount = static_cast<int16_t>(fieldNodes.size());
        dict->recordTypes.push_back(rec);
        pendingKeys.emplace_back(&GetArray(node, "keys", where, false), where);
    }
    const auto& headerNodes = GetArray(root, "header", origin, false);
    for (size_t h = 0; h < headerNodes.size(); ++h) {
        const std::string where = origin + ": header[" + std::to_string(h) + "]";
        ParseField(headerNodes[h], where, static_cast<short>(dict->fields.size() + 1), 0, *dict);
        if (dict->fields.back().longText) Fail(where, "a header field cannot be long text");
        if (!fieldNames.insert(Upper(dict->fields.back().name)).second)
            Fail(where, std::string("field name \"") + dict->fields.back().name + "\" is used twice");
    }
    dict->file.headerFieldCount = static_cast<int16_t>(headerNodes.size());
    dict->file.fieldCount = static_cast<int16_t>(dict->fields.size());
    dict->file.recordTypeCount = static_cast<int16_t>(dict->recordTypes.size());

    // Keys come after all fields so their field names resolve; a key may only use fields
    // of its own record type.
    for (size_t r = 0; r < pendingKeys.size(); ++r) {
        const auto& [keyNodes, where] = pendingKeys[r];
        xio_rec_def& rec = dict->recordTypes[r];
        std::set<short> numbers;
        for (size_t k = 0; k < keyNodes->size(); ++k) {
            const std::string keyWhere = where + ".keys[" + std::to_string(k) + "]";
            const auto& node = (*keyNodes)[k];
            if (!node.is_object()) Fail(keyWhere, "a key must be an object");
            xio_key_def key{};
            key.number = static_cast<int16_t>(GetInt(node, "number", keyWhere, true, 0, 0, 99));
            if (!numbers.insert(key.number).second)
                Fail(keyWhere + ".number", "key " + std::to_string(key.number) + " is defined twice");
            key.recordType = rec.number;
            CopyText(key.name, sizeof(key.name), GetString(node, "name", keyWhere, true), keyWhere, "name");
            const auto& fieldList = GetArray(node, "fields", keyWhere, true);
            if (fieldList.empty() || fieldList.size() > XIO_KEY_FIELDS_MAX)
                Fail(keyWhere + ".fields", "a key needs 1 to " + std::to_string(XIO_KEY_FIELDS_MAX) + " fields");
            for (size_t i = 0; i < fieldList.size(); ++i) {
                const std::string fw = keyWhere + ".fields[" + std::to_string(i) + "]";
                if (!fieldList[i].is_string()) Fail(fw, "must be a field name");
                const short number = dict->FieldNumber(fieldList[i].get<std::string>());
                const xio_fld_def* field = dict->Field(number);
                if (!field || field->recordType != rec.number)
                    Fail(fw, "\"" + fieldList[i].get<std::string>() + "\" is no field of this record type");
                if (field->longText) Fail(fw, "a long-text field cannot be part of a key");
                key.fields[i] = number;
            }
            key.fieldCount = static_cast<int16_t>(fieldList.size());
            key.unique = node.contains("unique") ? (GetBool(node, "unique", keyWhere) ? 1 : 0) : (key.number == 0);
            key.internal = GetBool(node, "internal", keyWhere) ? 1 : 0;
            key.userOrder = node.contains("userOrder") ? (GetBool(node, "userOrder", keyWhere) ? 1 : 0) : 1;
            dict->keys.push_back(key);
            dict->file.keyCount = std::max<int16_t>(dict->file.keyCount, key.number);
        }
        if (!numbers.count(0)) Fail(where + ".keys", "record type " + std::to_string(rec.number) + " has no key 0");
        rec.keyCount = static_cast<int16_t>(numbers.size());
    }
    return dict;
}

std::mutex g_cacheMutex;
std::map<std::string, std::shared_ptr<const kwDictionary>>& Cache() {
    static std::map<std::string, std::shared_ptr<const kwDictionary>> cache;
    return cache;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

const xio_rec_def* kwDictionary::RecordType(short number) const {
    for (const auto& rec : recordTypes)
        if (rec.number == number) return &rec;
    return nullptr;
}

const xio_fld_def* kwDictionary::Field(short number) const {
    if (number < 1 || number > static_cast<short>(fields.size())) return nullptr;
    return &fields[number - 1];
}

short kwDictionary::FieldNumber(const std::string& name) const {
    const std::string wanted = Upper(name);
    for (const auto& field : fields)
        if (Upper(field.name) == wanted) return field.number;
    return 0;
}

const xio_key_def* kwDictionary::Key(short recordType, short key) const {
    for (const auto& def : keys)
        if (def.recordType == recordType && def.number == key) return &def;
    return nullptr;
}

bool kwDictionary::IsHeaderField(short number) const {
    const xio_fld_def* field = Field(number);
    return field && field->recordType == 0;
}

std::shared_ptr<const kwDictionary> kwDictionaryLoader::Parse(const std::string& text, const std::string& origin,
                                                              std::string* error) {
    nlohmann::json root;
    try {
        root = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        if (error) *error = origin + ": not valid JSON at byte " + std::to_string(e.byte) + ": " + e.what();
        return nullptr;
    }
    try {
        return Build(root, origin);
    } catch (const DictError& e) {
        if (error) *error = e.text;
    } catch (const nlohmann::json::exception& e) {
        if (error) *error = origin + ": " + e.what();
    }
    return nullptr;
}

std::shared_ptr<const kwDictionary> kwDictionaryLoader::LoadFile(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = path + ": the dictionary cannot be read.";
        return nullptr;
    }
    std::stringstream text;
    text << in.rdbuf();
    return Parse(text.str(), path, error);
}

std::string kwDictionaryLoader::PathOf(const std::string& abbrev) {
    return kwCompany::DictionaryFolder() + "/" + Lower(abbrev) + ".dct";
}

std::shared_ptr<const kwDictionary> kwDictionaryLoader::Load(const std::string& abbrev, std::string* error) {
    const std::string path = PathOf(abbrev);
    {
        std::lock_guard<std::mutex> lock(g_cacheMutex);
        auto it = Cache().find(path);
        if (it != Cache().end()) return it->second;
    }
    auto dict = LoadFile(path, error);
    if (!dict) return nullptr;
    if (Upper(dict->file.abbrev) != Upper(abbrev)) {
        if (error) *error = path + ": file.abbrev is \"" + dict->file.abbrev + "\", expected \"" + Upper(abbrev) + "\"";
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    Cache()[path] = dict;
    return dict;
}

void kwDictionaryLoader::ClearCache() {
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    Cache().clear();
}
