// Finding the data file and record that a link names, by the kind codes and qualifiers of
// key fields: the issue dictionaries and the applications' data dictionaries share no
// field names, only what their key fields hold.
#include "qvcore/store/qvLinkTarget.h"

#include "qvcore/store/qvChoice.h"
#include "qvcore/store/qvGet_kwData.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/kwChoice.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xa.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Dictionary file names of the company's dictionaries folder, in capitals ("APV.DCT").
std::vector<std::string> DictionaryFiles() {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kwCompany::DictionaryFolder(), ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const std::string name = Upper(entry.path().filename().string());
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".DCT") == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The name of a data file as the framework gives it ("Vendors"), initial capitals.
std::string DataFileName(const std::string& dictName, const xio_def& def) {
    x_kw_apl_info info{};
    if (xa_get_kw_nam(1, &info, dictName.c_str()) && info.name[0]) return x_init_caps(info.name);
    return x_init_caps(def.description);
}

// The lines of one qualifying record type: one per file type where the dictionary tells
// file types apart.
void AddLines(const std::string& dictName, short recType, const kwDictionary* loaded, const xio_def& def,
              std::vector<qvDataRecordType>* lines) {
    const std::string base = dictName + " - " + DataFileName(dictName, def);
    if (def.fileTypeCount <= 1) {
        lines->push_back({dictName, recType, 0, base, ""});
        return;
    }
    if (qvIsSingleMaskDictionary(dictName)) {
        lines->push_back({dictName, recType, 1, base, ""});
        return;
    }
    for (short i = 0; i < def.fileTypeCount && i < 15; ++i) {
        const std::string typeName = loaded && static_cast<size_t>(i) < loaded->fileTypes.size()
                                         ? loaded->fileTypes[static_cast<size_t>(i)]
                                         : std::to_string(i + 1);
        lines->push_back({dictName, recType, static_cast<short>(1 << i),
                          base + " (" + x_init_caps(typeName) + ")", typeName});
    }
}

std::unique_ptr<kwData> ValueOf(short file, const xio_fld_def& def) {
    std::unique_ptr<kwData> value = qvGet_kwData(def);
    // A choice takes its items from the field's own dictionary.
    if (dynamic_cast<kwChoice*>(value.get())) value = std::make_unique<qvChoice>(file, def.number);
    return value;
}

bool Sectioned(const xio_fld_def& def) { return def.formatFlag && xk_multi_section(def.kind); }

} // namespace

std::vector<xio_fld_def> qvKeyFields(short file, short recordType) {
    std::vector<xio_fld_def> fields;
    xio_key_def key{};
    if (xio_get_key_def(file, 0, &key, recordType) != XIO_OK) return fields;
    for (int i = 0; i < key.fieldCount && i < XIO_KEY_FIELDS_MAX; ++i) {
        xio_fld_def def{};
        if (xio_get_fld_def(file, key.fields[i], &def, 1, 1) == XIO_OK) fields.push_back(def);
    }
    return fields;
}

std::vector<xio_fld_def> qvLinkedKeyFields(short issueDictionary, short recordType) {
    std::vector<xio_fld_def> fields;
    xio_rec_def rec{};
    if (xio_get_rec_def(issueDictionary, recordType, &rec, 1) != XIO_OK) return fields;
    for (short i = 0; i + 1 < rec.fieldCount; ++i) {
        xio_fld_def def{};
        if (xio_get_fld_def(issueDictionary, static_cast<short>(rec.firstField + i), &def, 1, 1) == XIO_OK)
            fields.push_back(def);
    }
    return fields;
}

bool qvSameKinds(const std::vector<xio_fld_def>& a, const std::vector<xio_fld_def>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].qualifier != b[i].qualifier) return false;
    return true;
}

bool qvIsSingleMaskDictionary(const std::string& dictName) {
    const std::string name = Upper(dictName);
    return name.size() == 3 && name.compare(0, 2, "QX") == 0 && name[2] >= 'A' && name[2] <= 'F';
}

std::vector<std::string> qvIssueApplications() {
    std::vector<std::string> codes;
    for (const std::string& name : DictionaryFiles()) {
        // "APZ.DCT": an issue dictionary is its application's code followed by "Z".
        if (name.size() > 50 || name.size() < 7 || name[name.size() - 5] != 'Z') continue;
        codes.push_back(name.substr(0, 2));
    }
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

std::vector<std::string> qvDataDictionaries(const std::string& app) {
    const std::string code = Upper(app);
    std::vector<std::string> names;
    for (const std::string& name : DictionaryFiles()) {
        if (name.size() < 7 || name.compare(0, code.size(), code) != 0) continue;
        const std::string dictName = name.substr(0, 3);
        if (dictName[2] == 'Z' || dictName == "VRB" || dictName[2] == '.') continue;
        if (std::find(names.begin(), names.end(), dictName) == names.end()) names.push_back(dictName);
    }
    return names;
}

std::vector<qvDataRecordType> qvFindDataRecordTypes(const std::string& app, const std::vector<xio_fld_def>& issueKey,
                                                    short* linkGroup) {
    std::vector<qvDataRecordType> lines;
    bool done = false;
    for (const std::string& dictName : qvDataDictionaries(app)) {
        if (done) break;
        kwioDictFile dict;
        if (dict.Open(dictName) != XIO_OK) continue;
        xio_def def{};
        xio_get_def(dict.FileNum(), &def, 0);
        // The file types' names are only in the loaded dictionary.
        const std::shared_ptr<const kwDictionary> loaded = kwDictionaryLoader::Load(dictName, nullptr);
        for (short type = 1; type <= def.recordTypeCount && !done; ++type) {
            xio_rec_def rec{};
            if (xio_get_rec_def(dict.FileNum(), type, &rec, 1) != XIO_OK) continue;
            if (*linkGroup) {
                if (rec.linkGroup == *linkGroup) AddLines(dictName, type, loaded.get(), def, &lines);
                continue;
            }
            if (!qvSameKinds(qvKeyFields(dict.FileNum(), type), issueKey)) continue;
            AddLines(dictName, type, loaded.get(), def, &lines);
            if (rec.linkGroup)
                *linkGroup = rec.linkGroup; // the rest of the scan follows the group
            else
                done = true;
        }
    }
    return lines;
}

bool qvFindKeyedRecordType(const std::string& app, const std::vector<xio_fld_def>& key, qvDataRecordType* found,
                           std::string* recDesc) {
    for (const std::string& dictName : qvDataDictionaries(app)) {
        kwioDictFile dict;
        if (dict.Open(dictName) != XIO_OK) continue;
        xio_def def{};
        xio_get_def(dict.FileNum(), &def, 0);
        for (short type = 1; type <= def.recordTypeCount; ++type) {
            if (!qvSameKinds(qvKeyFields(dict.FileNum(), type), key)) continue;
            xio_rec_def rec{};
            xio_get_rec_def(dict.FileNum(), type, &rec, 1);
            found->dictName = dictName;
            found->recType = type;
            found->fileMask = qvIsSingleMaskDictionary(dictName) ? 1 : 0;
            found->text = dictName + " - " + DataFileName(dictName, def);
            found->fileType.clear();
            if (recDesc) *recDesc = x_init_caps(rec.description);
            return true;
        }
    }
    return false;
}

short qvLinkedData::Open(const std::string& dictName, short programNumber) {
    return _file.PromptedOpen(dictName, programNumber, "", 1, false, true, false);
}

short qvLinkedData::Find(short recType, const std::vector<std::string>& keyTexts) {
    const short file = _file.FileNum();
    if (!file) return XIO_BAD_FILE_NUMBER;
    const std::vector<xio_fld_def> key = qvKeyFields(file, recType);
    if (key.empty()) return XIO_BAD_KEY;
    xio_clr_record(file, recType);
    for (size_t i = 0; i < key.size() && i < keyTexts.size(); ++i) {
        x_value_def carrier;
        if (Sectioned(key[i])) {
            carrier.SetText(xk_unformat_field(key[i].kind, key[i].qualifier, keyTexts[i]));
        } else {
            std::unique_ptr<kwData> value = ValueOf(file, key[i]);
            if (!value) return XIO_BAD_VALUE;
            if (!keyTexts[i].empty() && !value->Set(keyTexts[i])) return XIO_BAD_VALUE;
            if (keyTexts[i].empty()) value->Clear();
            value->ToXval(carrier);
        }
        xio_put_field(file, 0, key[i].number, &carrier);
    }
    return xio_rd_record(file, recType, 0, 0);
}

std::string qvLinkedData::Shown(const xio_fld_def& def) const {
    const short file = _file.FileNum();
    if (def.longText) {
        std::string text;
        xio_get_long_text(file, def.number, &text);
        return text;
    }
    x_value_def carrier;
    xio_get_field(file, 0, def.number, &carrier);
    if (Sectioned(def)) return xk_format_field(def.kind, def.qualifier, carrier.AsText());
    std::unique_ptr<kwData> value = ValueOf(file, def);
    if (value && value->FromXval(carrier)) return value->Format();
    return carrier.AsText();
}

std::string qvLinkedData::Description(short recType) const {
    const short file = _file.FileNum();
    const std::vector<xio_fld_def> key = qvKeyFields(file, recType);
    xio_rec_def rec{};
    if (key.empty() || xio_get_rec_def(file, recType, &rec, 1) != XIO_OK) return {};
    // The columns the record grid shows: the fields from the first key field on, one
    // more than the key has.
    const auto described = static_cast<short>(key.front().number + static_cast<short>(key.size()));
    xio_fld_def def{};
    if (described >= rec.firstField + rec.fieldCount || xio_get_fld_def(file, described, &def, 1, 1) != XIO_OK)
        return {};
    return Shown(def);
}
