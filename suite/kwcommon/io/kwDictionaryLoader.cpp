// Loads JSON data dictionaries into definition records. Every fault names the file and
// the place in it; nothing in a dictionary can crash the loader.
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/xio_dict.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace {

void CopyText(char* target, size_t size, const std::string& value, const kwJsonNode& node) {
    if (value.size() >= size)
        node.Fail("is longer than " + std::to_string(size - 1) + " characters: \"" + value + "\"");
    std::memset(target, 0, size);
    std::memcpy(target, value.data(), value.size());
}

// A text member copied into a fixed field: fallback when absent, a fault when too long.
void CopyMember(char* target, size_t size, const kwJsonNode& node, const char* key, const std::string& fallback) {
    const auto member = node.Find(key);
    CopyText(target, size, member ? member->Text() : fallback, member ? *member : node);
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A list member; an absent optional one is empty.
std::vector<kwJsonNode> Items(const kwJsonNode& node, const char* key, bool required) {
    std::vector<kwJsonNode> items;
    const auto list = required ? std::optional<kwJsonNode>(node.Member(key)) : node.Find(key);
    if (list) list->ForEachItem([&](size_t, const kwJsonNode& item) { items.push_back(item); });
    return items;
}

void ParseField(const kwJsonNode& node, short number, short recordType, kwDictionary& dict) {
    node.ExpectObject();
    xio_fld_def def{};
    const kwJsonNode nameNode = node.Member("name");
    const std::string name = nameNode.Text();
    if (name.empty()) nameNode.Fail("is empty");
    if (name.size() > XIO_FIELD_NAME_MAX) nameNode.Fail("is longer than 7 characters: \"" + name + "\"");
    CopyText(def.name, sizeof(def.name), name, nameNode);
    CopyMember(def.description, sizeof(def.description), node, "description", name);
    def.number = number;
    def.recordType = recordType;
    def.type = static_cast<int16_t>(node.Member("type").Whole(0, 9));
    def.longText = node.Flag("longText", false);
    def.caseFlag = node.Flag("caseFlag", false);
    def.monthYear = node.Flag("monthYear", false);
    def.decimals = static_cast<int16_t>(node.Whole("decimals", 0, 0, 9));
    def.width = static_cast<int16_t>(node.Whole("width", 0, 0, 32000));
    def.width2 = static_cast<int16_t>(node.Whole("width2", def.width, 0, 32000));
    def.hidden = node.Flag("hidden", false) ? 1 : 0;
    def.kind = static_cast<int16_t>(node.Whole("kind", 0, 0, 32767));
    def.qualifier = static_cast<int16_t>(node.Whole("qualifier", 0, -32768, 32767));
    def.listFlag = node.Flag("listFlag", false);
    def.listOnly = node.Flag("listOnly", false);
    def.formatFlag = node.Flag("formatFlag", false);
    std::vector<std::string> items;
    for (const kwJsonNode& item : Items(node, "items", false)) items.push_back(item.Text());
    if (items.size() > 32000) node.Member("items").Fail("has more than 32000 items");
    def.itemCount = static_cast<int16_t>(items.size());
    def.defaultItem = static_cast<int16_t>(node.Whole("defaultItem", 0, 0, 32000));
    if (def.type >= XIO_CHOICE && def.defaultItem > def.itemCount)
        node.Member("defaultItem").Fail("names an item the field does not have");
    if (def.longText && def.type != XIO_TEXT) node.Member("longText").Fail("is only for a text field");
    dict.fields.push_back(def);
    dict.items.push_back(std::move(items));
}

// The "number" of a record type or key: a whole number in range, each used once.
short UniqueNumber(const kwJsonNode& node, int64_t low, int64_t high, std::set<short>& used, const char* what) {
    const kwJsonNode numberNode = node.Member("number");
    const auto number = static_cast<short>(numberNode.Whole(low, high));
    if (!used.insert(number).second) numberNode.Fail("defines " + std::string(what) + " " + std::to_string(number) + " twice");
    return number;
}

void ParseKeys(const std::vector<kwJsonNode>& keyNodes, const kwJsonNode& recordNode, xio_rec_def& rec,
               kwDictionary& dict) {
    std::set<short> numbers;
    for (const kwJsonNode& node : keyNodes) {
        node.ExpectObject();
        xio_key_def key{};
        key.number = UniqueNumber(node, 0, 99, numbers, "key");
        key.recordType = rec.number;
        const kwJsonNode keyName = node.Member("name");
        CopyText(key.name, sizeof(key.name), keyName.Text(), keyName);
        const std::vector<kwJsonNode> fieldList = Items(node, "fields", true);
        if (fieldList.empty() || fieldList.size() > XIO_KEY_FIELDS_MAX)
            node.Member("fields").Fail("must name 1 to " + std::to_string(XIO_KEY_FIELDS_MAX) + " fields");
        for (size_t i = 0; i < fieldList.size(); ++i) {
            const std::string name = fieldList[i].Text();
            const short number = dict.FieldNumber(name);
            const xio_fld_def* field = dict.Field(number);
            if (!field || field->recordType != rec.number)
                fieldList[i].Fail("\"" + name + "\" is no field of this record type");
            if (field->longText) fieldList[i].Fail("is a long-text field, which cannot be part of a key");
            key.fields[i] = number;
        }
        key.fieldCount = static_cast<int16_t>(fieldList.size());
        key.unique = node.Flag("unique", key.number == 0) ? 1 : 0;
        key.internal = node.Flag("internal", false) ? 1 : 0;
        key.userOrder = node.Flag("userOrder", true) ? 1 : 0;
        dict.keys.push_back(key);
        dict.file.keyCount = std::max<int16_t>(dict.file.keyCount, key.number);
    }
    if (!numbers.count(0)) recordNode.Fail("has no key 0");
    rec.keyCount = static_cast<int16_t>(numbers.size());
}

std::shared_ptr<const kwDictionary> Build(const kwJsonNode& root, const std::string& origin) {
    auto dict = std::make_shared<kwDictionary>();
    dict->sourcePath = origin;
    root.ExpectObject();
    const kwJsonNode file = root.Member("file");
    file.ExpectObject();
    const kwJsonNode abbrevNode = file.Member("abbrev");
    const std::string abbrev = Upper(abbrevNode.Text());
    if (abbrev.empty() || abbrev.size() > 3) abbrevNode.Fail("must have 1 to 3 characters");
    CopyText(dict->file.abbrev, sizeof(dict->file.abbrev), abbrev, abbrevNode);
    CopyMember(dict->file.dataVersion, sizeof(dict->file.dataVersion), file, "dataVersion", "1.0.0");
    CopyMember(dict->file.description, sizeof(dict->file.description), file, "description", abbrev);
    const std::string fileName = file.Text("defaultFileName", abbrev + ".DAT");
    if (fileName.empty() || fileName.find('/') != std::string::npos || fileName == "." || fileName == "..")
        file.Member("defaultFileName").Fail("must be a plain file name");
    CopyMember(dict->file.defaultFileName, sizeof(dict->file.defaultFileName), file, "defaultFileName",
               fileName);
    for (const kwJsonNode& type : Items(file, "fileTypes", false)) dict->fileTypes.push_back(type.Text());
    dict->file.fileTypeCount = static_cast<int16_t>(dict->fileTypes.size());

    const std::vector<kwJsonNode> recordNodes = Items(root, "recordTypes", true);
    if (recordNodes.empty()) root.Member("recordTypes").Fail("must hold at least one record type");
    std::set<short> recordNumbers;
    std::set<std::string> fieldNames;
    std::vector<std::vector<kwJsonNode>> pendingKeys;
    for (const kwJsonNode& node : recordNodes) {
        node.ExpectObject();
        xio_rec_def rec{};
        rec.number = UniqueNumber(node, 1, 255, recordNumbers, "record type");
        const kwJsonNode nameNode = node.Member("name");
        const std::string name = nameNode.Text();
        CopyText(rec.name, sizeof(rec.name), name, nameNode);
        CopyMember(rec.description, sizeof(rec.description), node, "description", name);
        rec.linkGroup = static_cast<int16_t>(node.Whole("linkGroup", 0, 0, 32767));
        const std::vector<kwJsonNode> fieldNodes = Items(node, "fields", true);
        if (fieldNodes.empty()) node.Member("fields").Fail("must hold at least one field");
        rec.firstField = static_cast<int16_t>(dict->fields.size() + 1);
        for (const kwJsonNode& fieldNode : fieldNodes) {
            if (dict->fields.size() >= 30000) fieldNode.Fail("is one field too many");
            ParseField(fieldNode, static_cast<short>(dict->fields.size() + 1), rec.number, *dict);
            if (!fieldNames.insert(Upper(dict->fields.back().name)).second)
                fieldNode.Fail(std::string("uses the field name \"") + dict->fields.back().name + "\" again");
        }
        rec.fieldCount = static_cast<int16_t>(fieldNodes.size());
        dict->recordTypes.push_back(rec);
        pendingKeys.push_back(Items(node, "keys", false));
    }
    const std::vector<kwJsonNode> headerNodes = Items(root, "header", false);
    for (const kwJsonNode& headerNode : headerNodes) {
        ParseField(headerNode, static_cast<short>(dict->fields.size() + 1), 0, *dict);
        if (dict->fields.back().longText) headerNode.Fail("is a header field, which cannot be long text");
        if (!fieldNames.insert(Upper(dict->fields.back().name)).second)
            headerNode.Fail(std::string("uses the field name \"") + dict->fields.back().name + "\" again");
    }
    dict->file.headerFieldCount = static_cast<int16_t>(headerNodes.size());
    dict->file.fieldCount = static_cast<int16_t>(dict->fields.size());
    dict->file.recordTypeCount = static_cast<int16_t>(dict->recordTypes.size());

    // Keys come after all fields so their field names resolve; a key may only use fields
    // of its own record type.
    for (size_t r = 0; r < pendingKeys.size(); ++r)
        ParseKeys(pendingKeys[r], recordNodes[r], dict->recordTypes[r], *dict);
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
    if (!kwJsonParse(text, origin, &root, error)) return nullptr;
    std::shared_ptr<const kwDictionary> dict;
    if (!kwJsonLoad(origin, error, [&] { dict = Build(kwJsonNode(root, origin), origin); })) return nullptr;
    return dict;
}

std::shared_ptr<const kwDictionary> kwDictionaryLoader::LoadFile(const std::string& path, std::string* error) {
    std::string text;
    if (!kwStoredFile::Read(path, &text)) {
        if (error) *error = path + ": the dictionary cannot be read.";
        return nullptr;
    }
    return Parse(text, path, error);
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
