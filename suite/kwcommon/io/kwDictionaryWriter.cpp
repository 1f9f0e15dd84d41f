// A loaded dictionary written back as dictionary JSON: the copy of its dictionary that
// every data file keeps inside it. The text loads into the same definitions it came from.
#include "kwcommon/xio_dict.h"

#include <nlohmann/json.hpp>

namespace {

nlohmann::json FieldJson(const kwDictionary& dict, const xio_fld_def& field) {
    return {
        {"name", field.name},
        {"type", field.type},
        {"description", field.description},
        {"decimals", field.decimals},
        {"width", field.width},
        {"width2", field.width2},
        {"kind", field.kind},
        {"qualifier", field.qualifier},
        {"longText", field.longText != 0},
        {"caseFlag", field.caseFlag != 0},
        {"monthYear", field.monthYear != 0},
        {"defaultItem", field.defaultItem},
        {"listFlag", field.listFlag != 0},
        {"listOnly", field.listOnly != 0},
        {"formatFlag", field.formatFlag != 0},
        {"hidden", field.hidden != 0},
        {"items", dict.items[static_cast<size_t>(field.number - 1)]},
    };
}

nlohmann::json KeyJson(const kwDictionary& dict, const xio_key_def& key) {
    nlohmann::json fields = nlohmann::json::array();
    for (int i = 0; i < key.fieldCount; ++i) fields.push_back(dict.Field(key.fields[i])->name);
    return {
        {"number", key.number},
        {"name", key.name},
        {"fields", fields},
        {"unique", key.unique != 0},
        {"internal", key.internal != 0},
        {"userOrder", key.userOrder != 0},
    };
}

} // namespace

std::string xio_dictionary_json(const kwDictionary& dict) {
    nlohmann::json root;
    root["file"] = {
        {"abbrev", dict.file.abbrev},
        {"description", dict.file.description},
        {"defaultFileName", dict.file.defaultFileName},
        {"dataVersion", dict.file.dataVersion},
        {"fileTypes", dict.fileTypes},
    };
    nlohmann::json types = nlohmann::json::array();
    for (const xio_rec_def& rec : dict.recordTypes) {
        nlohmann::json fields = nlohmann::json::array();
        for (short n = rec.firstField; n < rec.firstField + rec.fieldCount; ++n)
            fields.push_back(FieldJson(dict, *dict.Field(n)));
        nlohmann::json keys = nlohmann::json::array();
        for (const xio_key_def& key : dict.keys)
            if (key.recordType == rec.number) keys.push_back(KeyJson(dict, key));
        types.push_back({
            {"number", rec.number},
            {"name", rec.name},
            {"description", rec.description},
            {"linkGroup", rec.linkGroup},
            {"fields", fields},
            {"keys", keys},
        });
    }
    root["recordTypes"] = types;
    nlohmann::json header = nlohmann::json::array();
    for (const xio_fld_def& field : dict.fields)
        if (field.recordType == 0) header.push_back(FieldJson(dict, field));
    root["header"] = header;
    // Invalid UTF-8 in a name cannot come from a loaded dictionary; replace rather than throw.
    return root.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
