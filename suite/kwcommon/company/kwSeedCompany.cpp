// Demo records of a new company: seed files checked against the dictionaries, then
// written through the record manager.
#include "kwcommon/company/kwSeedCompany.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One field value ready for the record buffer; long texts go in whole.
struct SeedValue {
    short field = 0;
    bool longText = false;
    std::string text; // long text
    x_value_def value;
};

struct SeedRow {
    std::vector<SeedValue> values;
};

struct SeedTable {
    short recordType = 0;
    std::vector<SeedRow> rows;
};

struct SeedFile {
    std::string name; // "seed/apv.json", for messages
    std::string abbrev;
    std::shared_ptr<const kwDictionary> ownDictionary; // set: the file is made with it
    std::vector<SeedTable> tables;
    SeedRow header; // header field values
};

struct SeedError {
    std::string text;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw SeedError{where + ": " + what};
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Makes the company in a folder current for the life of the object, then puts back the
// company that was current before (or none).
class CurrentCompanySwitch {
public:
    bool Enter(const std::string& folder, std::string* error) {
        std::error_code ec;
        const std::string wanted = fs::weakly_canonical(fs::absolute(folder, ec), ec).string();
        if (kwCompany::IsOpen() && kwCompany::Folder() == wanted) return true;
        _hadCompany = kwCompany::IsOpen();
        _previous = kwCompany::Folder();
        if (!kwCompany::Open(folder, error)) {
            _hadCompany = false;
            return false;
        }
        _switched = true;
        return true;
    }
    ~CurrentCompanySwitch() {
        if (!_switched) return;
        if (_hadCompany) {
            std::string ignored;
            if (kwCompany::Open(_previous, &ignored)) return;
        }
        kwCompany::Close();
    }

private:
    bool _switched = false;
    bool _hadCompany = false;
    std::string _previous;
};

std::string Quoted(const nlohmann::json& value) {
    std::string text = value.dump();
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    return text;
}

double ParseDate(const nlohmann::json& cell, const std::string& where) {
    if (!cell.is_string()) Fail(where, "a date must be a text \"YYYY-MM-DD\"");
    const std::string text = cell.get<std::string>();
    if (text.empty()) return 0;
    int y = 0, m = 0, d = 0;
    char extra = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3 ||
        text[4] != '-' || text[7] != '-')
        Fail(where, Quoted(cell) + " is not a date \"YYYY-MM-DD\"");
    const std::chrono::year_month_day date{std::chrono::year(y),
                                           std::chrono::month(static_cast<unsigned>(m)),
                                           std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok() || y < 1) Fail(where, Quoted(cell) + " is no date of the calendar");
    return y * 10000.0 + m * 100.0 + d;
}

double ParseTime(const nlohmann::json& cell, const std::string& where) {
    if (!cell.is_string()) Fail(where, "a time must be a text \"HH:MM\" or \"HH:MM:SS\"");
    const std::string text = cell.get<std::string>();
    if (text.empty()) return -1;
    int h = 0, m = 0, s = 0;
    char extra = 0;
    const int parts = std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &extra);
    const bool shape = (parts == 2 && text.size() == 5) || (parts == 3 && text.size() == 8);
    if (!shape || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        Fail(where, Quoted(cell) + " is not a time \"HH:MM\" or \"HH:MM:SS\"");
    return h * 10000.0 + m * 100.0 + s;
}

// A JSON cell as the value of a field, checked against its definition.
SeedValue ConvertCell(const kwDictionary& dict, const xio_fld_def& def, const nlohmann::json& cell,
                      const std::string& where) {
    SeedValue out;
    out.field = def.number;
    switch (def.type) {
    case XIO_TEXT:
    case XIO_PHONE: {
        if (!cell.is_string())
            Fail(where, std::string(def.name) + " takes a text, not " + Quoted(cell));
        std::string text = cell.get<std::string>();
        if (def.formatFlag && xk_multi_section(def.kind))
            text = xk_unformat_field(def.kind, def.qualifier, text);
        if (def.width > 0 && text.size() > static_cast<size_t>(def.width))
            Fail(where, Quoted(cell) + " is longer than the " + std::to_string(def.width) +
                            " characters of " + def.name);
        if (def.longText) {
            out.longText = true;
            out.text = text;
        } else {
            if (text.size() > static_cast<size_t>(X_VALUE_TEXT_MAX))
                Fail(where, Quoted(cell) + " is too long for a field value");
            out.value.SetText(text);
        }
        return out;
    }
    case XIO_NUMBER:
    case XIO_SSN:
        if (!cell.is_number() || !std::isfinite(cell.get<double>()))
            Fail(where, std::string(def.name) + " takes a number, not " + Quoted(cell));
        out.value.SetNumber(cell.get<double>());
        return out;
    case XIO_YESNO:
        if (!cell.is_boolean())
            Fail(where, std::string(def.name) + " takes true or false, not " + Quoted(cell));
        out.value.SetNumber(cell.get<bool>() ? 1 : 0);
        return out;
    case XIO_DATE:
        out.value.SetNumber(ParseDate(cell, where));
        return out;
    case XIO_TIME:
        out.value.SetNumber(ParseTime(cell, where));
        return out;
    default:
        break;
    }
    // Choices: the item's text or its number.
    const auto& items = dict.items[static_cast<size_t>(def.number - 1)];
    if (cell.is_string()) {
        const auto it = std::find(items.begin(), items.end(), cell.get<std::string>());
        if (it == items.end()) Fail(where, Quoted(cell) + " is no item of " + def.name);
        out.value.SetNumber(static_cast<double>(it - items.begin() + 1));
        return out;
    }
    if (cell.is_number_integer() && cell.get<long>() >= 0 &&
        cell.get<long>() <= static_cast<long>(items.size())) {
        out.value.SetNumber(static_cast<double>(cell.get<long>()));
        return out;
    }
    Fail(where, Quoted(cell) + " is no item of " + def.name);
}

SeedFile ParseSeedFile(const fs::path& path) {
    SeedFile seed;
    seed.name = "seed/" + path.filename().string();
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(seed.name, "cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    nlohmann::json root;
    try {
        root = nlohmann::json::parse(text.str());
    } catch (const nlohmann::json::parse_error& e) {
        Fail(seed.name, std::string("not valid JSON: ") + e.what());
    }
    if (!root.is_object()) Fail(seed.name, "a seed file must be a JSON object");
    const auto fileIt = root.find("file");
    if (fileIt == root.end() || !fileIt->is_string() || fileIt->get<std::string>().empty())
        Fail(seed.name, "\"file\" must name the data file's abbreviation");
    seed.abbrev = Upper(fileIt->get<std::string>());
    std::string dictError;
    std::shared_ptr<const kwDictionary> dict;
    if (const auto own = root.find("dictionary"); own != root.end()) {
        if (!own->is_string() || own->get<std::string>().empty())
            Fail(seed.name + ": dictionary", "must name a dictionary file");
        dict = kwDictionaryLoader::LoadFile(kwCompany::Path(own->get<std::string>()), &dictError);
        if (dict && Upper(dict->file.abbrev) != seed.abbrev)
            Fail(seed.name + ": dictionary", "is a dictionary of \"" + std::string(dict->file.abbrev) + "\", not \"" +
                                                 seed.abbrev + "\"");
        seed.ownDictionary = dict;
    } else {
        dict = kwDictionaryLoader::Load(seed.abbrev, &dictError);
    }
    if (!dict) Fail(seed.name, "no usable dictionary for \"" + seed.abbrev + "\": " + dictError);
    const auto recordsIt = root.find("records");
    if (recordsIt == root.end() || !recordsIt->is_array())
        Fail(seed.name, "\"records\" must be a list");

    for (size_t r = 0; r < recordsIt->size(); ++r) {
        const std::string where = seed.name + ": records[" + std::to_string(r) + "]";
        const auto& node = (*recordsIt)[r];
        if (!node.is_object()) Fail(where, "must be an object");
        const auto typeIt = node.find("recordType");
        if (typeIt == node.end() || !typeIt->is_number_integer())
            Fail(where, "\"recordType\" must be a number");
        SeedTable table;
        const long type = typeIt->get<long>();
        const xio_rec_def* rec =
            type > 0 && type < 32768 ? dict->RecordType(static_cast<short>(type)) : nullptr;
        if (!rec) Fail(where, seed.abbrev + " has no record type " + std::to_string(type));
        table.recordType = rec->number;

        const auto fieldsIt = node.find("fields");
        if (fieldsIt == node.end() || !fieldsIt->is_array())
            Fail(where, "\"fields\" must be a list of field names");
        std::vector<const xio_fld_def*> fields;
        std::set<short> seen;
        for (size_t f = 0; f < fieldsIt->size(); ++f) {
            const auto& name = (*fieldsIt)[f];
            const std::string fw = where + ".fields[" + std::to_string(f) + "]";
            if (!name.is_string()) Fail(fw, "must be a field name");
            const xio_fld_def* def = dict->Field(dict->FieldNumber(name.get<std::string>()));
            if (!def || def->recordType != rec->number)
                Fail(fw,
                     "\"" + name.get<std::string>() + "\" is no field of record type " + rec->name);
            if (!seen.insert(def->number).second)
                Fail(fw, "\"" + name.get<std::string>() + "\" is named twice");
            fields.push_back(def);
        }
        const xio_key_def* primary = dict->Key(rec->number, 0);
        for (int i = 0; primary && i < primary->fieldCount; ++i)
            if (!seen.count(primary->fields[i]))
                Fail(where + ".fields", std::string("the key field ") +
                                            dict->Field(primary->fields[i])->name +
                                            " must be given");

        const auto rowsIt = node.find("rows");
        if (rowsIt == node.end() || !rowsIt->is_array()) Fail(where, "\"rows\" must be a list");
        std::set<std::string> keys;
        for (size_t i = 0; i < rowsIt->size(); ++i) {
            const std::string rw = where + ".rows[" + std::to_string(i) + "]";
            const auto& row = (*rowsIt)[i];
            if (!row.is_array() || row.size() != fields.size())
                Fail(rw, "must list " + std::to_string(fields.size()) + " values, one per field");
            SeedRow seedRow;
            std::map<short, std::string> keyText;
            for (size_t f = 0; f < fields.size(); ++f) {
                if (row[f].is_null()) continue;
                seedRow.values.push_back(
                    ConvertCell(*dict, *fields[f], row[f], rw + "[" + std::to_string(f) + "]"));
                const SeedValue& v = seedRow.values.back();
                keyText[v.field] = v.longText ? v.text : v.value.AsText();
            }
            // Two rows with one key would make the second look already loaded.
            std::string key;
            for (int k = 0; primary && k < primary->fieldCount; ++k)
                key += keyText[primary->fields[k]] + '\x1f';
            if (primary && primary->unique && !keys.insert(key).second)
                Fail(rw, "repeats the key of an earlier row");
            table.rows.push_back(std::move(seedRow));
        }
        seed.tables.push_back(std::move(table));
    }
    if (const auto header = root.find("header"); header != root.end()) {
        if (!header->is_object()) Fail(seed.name + ": header", "must map header field names to values");
        for (const auto& [name, cell] : header->items()) {
            const std::string where = seed.name + ": header." + name;
            const short number = dict->FieldNumber(name);
            if (!dict->IsHeaderField(number)) Fail(where, "\"" + name + "\" is no header field of " + seed.abbrev);
            if (!cell.is_null()) seed.header.values.push_back(ConvertCell(*dict, *dict->Field(number), cell, where));
        }
    }
    return seed;
}

void PutRow(short file, const SeedRow& row) {
    for (const SeedValue& v : row.values) {
        if (v.longText)
            xio_put_long_text(file, v.field, v.text);
        else
            xio_put_field(file, 0, v.field, &v.value);
    }
}

std::string StatusWords(short status) {
    return std::string(xio_status_text(status)) + " [status " + std::to_string(status) + "]";
}

// A data file opened for loading, closed (and an unfinished batch rolled back) with it.
struct SeedDataFile {
    short number = 0;
    ~SeedDataFile() {
        if (number) xio_cls_file(number);
    }
};

void LoadSeedFile(const SeedFile& seed) {
    SeedDataFile data;
    xio_open_def def{};
    std::snprintf(def.abbrev, sizeof def.abbrev, "%s", seed.abbrev.c_str());
    def.create = 1;
    const short opened = seed.ownDictionary ? xio_open_file_with(&def, seed.ownDictionary, 0, &data.number)
                                            : xio_open_file(&def, &data.number);
    if (opened)
        Fail(seed.name, "the " + seed.abbrev +
                            " data file cannot be opened or created: " + StatusWords(opened));
    const short file = data.number;
    // One transaction per file: a thousand rows take one commit, not a thousand.
    if (const short begun = xio_begin_batch(file))
        Fail(seed.name, "cannot write to the " + seed.abbrev + " data file: " + StatusWords(begun));
    for (const SeedTable& table : seed.tables) {
        for (size_t i = 0; i < table.rows.size(); ++i) {
            xio_init_record(file, table.recordType);
            PutRow(file, table.rows[i]);
            const short found = xio_rd_record(file, table.recordType, 0, 0);
            if (found == XIO_OK) continue; // loaded by an earlier run
            if (found != XIO_NO_RECORD)
                Fail(seed.name, "record type " + std::to_string(table.recordType) + ", row " +
                                    std::to_string(i) +
                                    " cannot be checked: " + StatusWords(found));
            xio_init_record(file, table.recordType);
            PutRow(file, table.rows[i]);
            const short written = xio_wr_record(file, table.recordType, 0);
            if (written)
                Fail(seed.name, "record type " + std::to_string(table.recordType) + ", row " +
                                    std::to_string(i) + " cannot be written: " +
                                    StatusWords(written) + " " + xio_last_detail(file));
        }
    }
    if (!seed.header.values.empty()) {
        short status = xio_rd_header(file, 0, 1);
        if (status == XIO_OK) {
            PutRow(file, seed.header);
            status = xio_wr_header(file, 0);
        }
        if (status) Fail(seed.name, "the header cannot be written: " + StatusWords(status));
    }
    if (const short committed = xio_end_batch(file, true))
        Fail(seed.name, "the records cannot be stored: " + StatusWords(committed) + " " + xio_last_detail(file));
}

} // namespace

bool kwSeedCompany(const std::string& folder, std::string* error) {
    std::error_code ec;
    const fs::path seedFolder = fs::path(folder) / "seed";
    if (!fs::exists(seedFolder, ec)) return true;
    if (!fs::is_directory(seedFolder, ec)) {
        if (error) *error = seedFolder.string() + " is not a folder.";
        return false;
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(seedFolder, ec))
        if (entry.path().extension() == ".json") files.push_back(entry.path());
    if (ec) {
        if (error) *error = "Cannot list " + seedFolder.string() + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());

    CurrentCompanySwitch company;
    if (!company.Enter(folder, error)) return false;
    try {
        // Everything is checked before the first record is written.
        std::vector<SeedFile> seeds;
        for (const auto& path : files)
            seeds.push_back(ParseSeedFile(path));
        for (const auto& seed : seeds)
            LoadSeedFile(seed);
    } catch (const SeedError& e) {
        if (error) *error = "The demo records of " + folder + " cannot be loaded: " + e.text;
        return false;
    } catch (const nlohmann::json::exception& e) {
        if (error) *error = "The demo records of " + folder + " cannot be loaded: " + e.what();
        return false;
    }
    fs::remove_all(seedFolder, ec);
    if (ec) {
        if (error)
            *error = "The demo records are loaded, but " + seedFolder.string() +
                     " cannot be removed: " + ec.message();
        return false;
    }
    return true;
}
