// Converting one data file to the current data version, as DataFileUpgrade.h describes.
#include "DataFileUpgrade.h"

#include "KillPoints.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xc_file_control.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
// The program number the host opens files with (and logs under).
constexpr short kProgramNumber = UpgradeReport::kLogId;

// The library's report function: the first context word holds the report.
void ReportToHost(uintptr_t* context, const char* message) {
    if (!context || !context[0] || !message) return;
    reinterpret_cast<UpgradeReport*>(context[0])->Line(std::string("  ") + message);
}

std::string StatusWords(short status) {
    return std::string(xio_status_text(status)) + " [status " + std::to_string(status) + "]";
}

bool IsText(const xio_fld_def& field) { return field.type == XIO_TEXT || field.type == XIO_PHONE; }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "NAME.YYYY-MM-DD.bak" beside the file, or the first free "NAME.YYYY-MM-DD-n.bak".
std::string FreeBackupName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    std::error_code ec;
    for (int n = 1; n < 1000; ++n) {
        const std::string candidate =
            path + "." + date + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".bak";
        if (!fs::exists(candidate, ec)) return candidate;
    }
    return path + "." + date + "-" + std::to_string(now) + ".bak";
}

// The key 0 values of the record in a file's buffer: "ISSUE 17".
std::string KeyText(short file, const kwDictionary& dict, short recordType) {
    const xio_key_def* key = dict.Key(recordType, 0);
    std::string text;
    for (int i = 0; key && i < key->fieldCount; ++i) {
        x_value_def value;
        xio_get_field(file, 0, key->fields[i], &value);
        if (!text.empty()) text += ", ";
        text += std::string(dict.Field(key->fields[i])->name) + " " + value.AsText();
    }
    return text;
}

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}
} // namespace

DataFileUpgrade::DataFileUpgrade(std::string abbrev, const ApplicationLibrary& library, UpgradeReport& report,
                                 bool dryRun)
    : _abbrev(std::move(abbrev)), _library(library), _report(report), _dryRun(dryRun) {}

DataFileUpgrade::~DataFileUpgrade() {
    Discard();
    if (_oldFile) xio_cls_file(_oldFile);
}

std::string DataFileUpgrade::FileName() const { return fs::path(_path).filename().string(); }

DataFileUpgrade::Outcome DataFileUpgrade::Run() {
    Outcome outcome = Prepare();
    if (outcome != Outcome::Upgraded) return outcome;
    outcome = Convert();
    if (outcome == Outcome::Upgraded && !_dryRun) outcome = PlaceNewFile();
    Discard();
    if (outcome != Outcome::Upgraded) return outcome;
    if (!_dryRun && !_crossReferences.empty()) {
        const int warnings = _report.Warnings();
        RemoveCrossReferences();
        // What could not be removed stays written down: the next run tries again.
        if (_report.Warnings() == warnings) {
            RemoveQuietly(PendingPath());
            kwStoredFile::SyncFolder(kwStoredFile::FolderOf(_path));
        }
    }
    xio_cls_file(_oldFile);
    _oldFile = 0;
    UpgradeKillPoint();

    std::string summary = std::to_string(_counts.records) + " records converted";
    if (_counts.dropped)
        summary += ", " + std::to_string(_counts.dropped) + " dropped with " + std::to_string(_counts.linksDropped) +
                   " of their links";
    if (_counts.leftOut) summary += ", " + std::to_string(_counts.leftOut) + " of removed record types left out";
    if (_counts.crossReferences)
        summary += ", " + std::to_string(_counts.crossReferences) + " cross-reference records removed";
    if (_dryRun && !_crossReferences.empty())
        summary += "; up to " + std::to_string(_crossReferences.size()) +
                   " cross-reference records pointing at them would be removed";
    if (_dryRun)
        _report.Line("Dry run: " + FileName() + " would be upgraded to data version " + _newVersion.ToString() + " (" +
                     summary + "). Nothing was changed.");
    else
        _report.Line(FileName() + " is upgraded to data version " + _newVersion.ToString() + " (" + summary + ").");
    return Outcome::Upgraded;
}

DataFileUpgrade::Outcome DataFileUpgrade::Prepare() {
    std::string error;
    _newDict = kwDictionaryLoader::Load(_abbrev, &error);
    if (!_newDict) {
        _report.Error("The dictionary of " + _abbrev + " cannot be read: " + error);
        return Outcome::Failed;
    }
    std::string folder = kwCompany::Folder();
    xc_file_control_def control{};
    if (xc_get_file_control_def(_newDict->file.abbrev, &control) == XIO_OK && control.path[0]) folder = control.path;
    _path = folder + "/" + _newDict->file.defaultFileName;
    // Temporary files of runs that were killed are of no use to anyone.
    kwStoredFile::RemoveAbandonedTemporaries(folder);

    std::error_code ec;
    if (!fs::exists(_path, ec)) {
        _report.Line(FileName() + " (" + _newDict->file.description + ") does not exist yet: there is nothing to upgrade.");
        return Outcome::NoFile;
    }
    // Opened for reading, for the upgrade (so the minimum data version does not keep it
    // shut), through the company's dictionary: what the file says about itself.
    std::string dataVersion, ownDictionary, detail;
    {
        xio_open_def def{};
        std::snprintf(def.abbrev, sizeof def.abbrev, "%s", _newDict->file.abbrev);
        std::snprintf(def.path, sizeof def.path, "%s", _path.c_str());
        def.programNumber = kProgramNumber;
        def.readOnly = 1;
        def.forUpgrade = 1;
        short file = 0;
        const short status = xio_open_file_with(&def, _newDict, 0, &file, &detail);
        if (status == XIO_VERSION) {
            _report.Error(FileName() + " cannot be upgraded: " + detail + " Nothing was changed.");
            return Outcome::Refused;
        }
        if (status == XIO_LOCKED) {
            _report.Error(FileName() + " is in use by another user. Everyone must close the programs that use it " +
                          "before it can be upgraded. Nothing was changed.");
            return Outcome::Refused;
        }
        if (status) {
            _report.Error(_path + " cannot be read as a data file: " + StatusWords(status) +
                          (detail.empty() ? std::string() : " " + detail) + ". Nothing was changed.");
            return Outcome::Failed;
        }
        xio_def info{};
        xio_get_def(file, &info, 0);
        dataVersion = info.fileVersion;
        const short stored = xio_get_file_dictionary(file, &ownDictionary);
        if (stored && stored != XIO_NO_RECORD) {
            _report.Error("The dictionary kept in " + FileName() + " cannot be read: " + StatusWords(stored) + " " +
                          xio_last_detail(file) + ". Nothing was changed.");
            xio_cls_file(file);
            return Outcome::Failed;
        }
        xio_cls_file(file);
    }
    if (fs::exists(PendingPath(), ec)) FinishPending(dataVersion);
    _oldVersion = kwBase::Version(dataVersion);
    _newVersion = kwBase::Version(_newDict->file.dataVersion);
    if (!_oldVersion.Valid()) {
        _report.Error(FileName() + " gives no data version it was written in (\"" + dataVersion +
                      "\"). Nothing was changed.");
        return Outcome::Failed;
    }
    if (!_newVersion.Valid()) {
        _report.Error("The dictionary " + _newDict->sourcePath + " gives no valid data version.");
        return Outcome::Failed;
    }
    if (_oldVersion > _newVersion) {
        _report.Error(FileName() + " holds data version " + _oldVersion.ToString() +
                      ", newer than this installation's " + _newVersion.ToString() +
                      ": it was written by a newer program. Install that program here. Nothing was changed.");
        return Outcome::Refused;
    }
    const kwBase::Version lowest(_library.MinDataVersion());
    if (lowest.Valid() && _newVersion < lowest) {
        _report.Error("The installed dictionary of " + std::string(_newDict->file.abbrev) + " is at data version " +
                      _newVersion.ToString() + ", below the lowest data version " + _library.Name() + " " +
                      _library.Version() + " works with (" + lowest.ToString() +
                      "). Install the program's dictionaries. Nothing was changed.");
        return Outcome::Refused;
    }
    if (_oldVersion == _newVersion) {
        _report.Line(FileName() + " is at data version " + _newVersion.ToString() +
                     ", the current one: there is nothing to upgrade.");
        return Outcome::Current;
    }
    if (ownDictionary.empty()) {
        _report.Error(FileName() + " (data version " + _oldVersion.ToString() +
                      ") does not keep the dictionary it was written with, so it cannot be read as it was "
                      "written. Nothing was changed.");
        return Outcome::Refused;
    }
    _oldDict = kwDictionaryLoader::Parse(ownDictionary, FileName() + " (its own dictionary)", &error);
    if (!_oldDict) {
        _report.Error("The dictionary kept in " + FileName() + " is damaged: " + error + ". Nothing was changed.");
        return Outcome::Failed;
    }
    _ownerKeyName = _oldDict->Field(_oldDict->recordTypes.front().firstField)->name;
    return Outcome::Upgraded;
}

DataFileUpgrade::Outcome DataFileUpgrade::Convert() {
    xio_open_def def{};
    std::snprintf(def.path, sizeof def.path, "%s", _path.c_str());
    def.programNumber = kProgramNumber;
    // Read only, so that nothing is written to the old file, not even what the record
    // manager adds to a file that lacks it; held for this user alone from the first
    // record read until the new file is in place.
    def.readOnly = 1;
    def.forUpgrade = 1;
    short status = xio_open_file_with(&def, _oldDict, _dryRun ? 0 : XIO_OPEN_EXCLUSIVE, &_oldFile);
    if (status == XIO_LOCKED) {
        _report.Error(FileName() + " is in use by another user. Everyone must close the programs that use it " +
                      "before it can be upgraded. Nothing was changed.");
        return Outcome::Refused;
    }
    if (status) {
        _report.Error(FileName() + " cannot be opened: " + StatusWords(status) + ". Nothing was changed.");
        return Outcome::Failed;
    }
    for (const xio_rec_def& type : _oldDict->recordTypes) {
        int64_t count = 0;
        if (xio_count_records(_oldFile, type.number, &count) == XIO_OK) _total += count;
    }
    _report.Line(std::string(_dryRun ? "Dry run (nothing will be changed): converting " : "Upgrading ") + FileName() +
                 " (" + _newDict->file.description + ") from data version " + _oldVersion.ToString() + " to " +
                 _newVersion.ToString() + ": " + std::to_string(_total) + " records.");

    _temporary = kwStoredFile::TemporaryPath(_path);
    xio_open_def made{};
    std::snprintf(made.path, sizeof made.path, "%s", _temporary.c_str());
    made.programNumber = kProgramNumber;
    made.create = 1;
    status = xio_open_file_with(&made, _newDict, XIO_OPEN_EXCLUSIVE, &_newFile);
    if (!status) status = xio_begin_batch(_newFile);
    if (status) {
        _report.Error("The new " + FileName() + " cannot be made beside the old one: " + StatusWords(status) + " " +
                      (_newFile ? xio_last_detail(_newFile) : std::string()) + ". Nothing was changed.");
        return Outcome::Failed;
    }

    _record = x_upgrade_def{};
    std::snprintf(_record.abbrev, sizeof _record.abbrev, "%s", _newDict->file.abbrev);
    _record.oldVersion = _oldVersion;
    _record.newVersion = _newVersion;
    _record.oldFile = _oldFile;
    _record.newFile = _newFile;
    _record.context[0] = reinterpret_cast<uintptr_t>(&_report);
    _record.report = &ReportToHost;

    // The old file is read as one snapshot (nobody else writes it meanwhile anyway).
    if (const short begun = xio_begin_batch(_oldFile)) {
        _report.Error(FileName() + " cannot be read: " + StatusWords(begun) + ". Nothing was changed.");
        return Outcome::Failed;
    }
    _report.StartProgress("Converting " + FileName(), _total);
    for (const xio_rec_def& type : _oldDict->recordTypes) {
        const Outcome outcome = ConvertRecordType(type);
        if (outcome != Outcome::Upgraded) return outcome;
    }
    if (!MoveHeader()) return Outcome::Failed;
    xio_end_batch(_oldFile, false);
    status = xio_end_batch(_newFile, true);
    if (status) {
        _report.Error("The new " + FileName() + " cannot be stored: " + StatusWords(status) + " " +
                      xio_last_detail(_newFile) + ". Nothing was changed.");
        return Outcome::Failed;
    }
    UpgradeKillPoint();
    xio_cls_file(_newFile);
    _newFile = 0;
    RemoveQuietly(_temporary + ".lck");
    // Closing the last connection moves the write-ahead log into the file; a log left
    // beside it would not travel with the file when it is placed.
    std::error_code ec;
    if (fs::exists(_temporary + "-wal", ec)) {
        _report.Error("The new " + FileName() + " was not closed cleanly. Nothing was changed.");
        return Outcome::Failed;
    }
    UpgradeKillPoint();
    return Outcome::Upgraded;
}

DataFileUpgrade::Outcome DataFileUpgrade::ConvertRecordType(const xio_rec_def& oldType) {
    const short number = oldType.number;
    int64_t count = 0;
    xio_count_records(_oldFile, number, &count);
    const xio_rec_def* newType = _newDict->RecordType(number);
    if (!newType) {
        if (count > 0)
            _report.Warning("Record type " + std::to_string(number) + " (" + oldType.name +
                            ") is not in the new dictionary: its " + std::to_string(count) +
                            " records are left out (the backup keeps them).");
        _counts.leftOut += count;
        _done += count;
        return Outcome::Upgraded;
    }

    // The fields both dictionaries give this record type, by name.
    struct Move {
        short from;
        short to;
        bool text;
        int64_t cut = 0;
    };
    std::vector<Move> moves;
    for (short to = newType->firstField; to < newType->firstField + newType->fieldCount; ++to) {
        const xio_fld_def& target = *_newDict->Field(to);
        const short from = _oldDict->FieldNumber(target.name);
        const xio_fld_def* source = _oldDict->Field(from);
        if (!source || source->recordType != number) continue;
        moves.push_back({from, to, IsText(target) && IsText(*source)});
    }

    const xio_rec_def& ownerType = _oldDict->recordTypes.front();
    const bool isLinkType = number != ownerType.number && Upper(oldType.name) == "LINK" && oldType.fieldCount >= 3;
    std::string longText;
    short status = xio_rd_first(_oldFile, number, 0, 0);
    while (status == XIO_OK) {
        if (isLinkType && !_dropped.empty()) {
            x_value_def owner;
            xio_get_field(_oldFile, 0, oldType.firstField, &owner);
            const auto dropped = _dropped.find(owner.AsText());
            if (dropped != _dropped.end()) {
                x_value_def file, recordType;
                xio_get_field(_oldFile, 0, static_cast<short>(oldType.firstField + 1), &file);
                xio_get_field(_oldFile, 0, static_cast<short>(oldType.firstField + 2), &recordType);
                _crossReferences.push_back({file.AsText(), static_cast<short>(recordType.AsNumber()), owner,
                                            dropped->second.keyValues});
                ++_counts.linksDropped;
                _report.Progress(++_done);
                status = xio_rd_next(_oldFile, number, 0, 0);
                continue;
            }
        }
        xio_init_record(_newFile, number);
        short answer = CallLibrary(X_UPGRADE_STEP_BEFORE_MOVE, number);
        if (answer == X_UPGRADE_OK) {
            for (Move& move : moves) {
                if (move.text) {
                    xio_get_long_text(_oldFile, move.from, &longText);
                    const int width = _newDict->Field(move.to)->width;
                    if (width > 0 && longText.size() > static_cast<size_t>(width)) ++move.cut;
                    xio_put_long_text(_newFile, move.to, longText);
                } else {
                    x_value_def value;
                    xio_get_field(_oldFile, 0, move.from, &value);
                    xio_put_field(_newFile, 0, move.to, &value);
                }
            }
            answer = CallLibrary(X_UPGRADE_STEP_CONVERT, number);
        }
        if (answer == X_UPGRADE_DROP) {
            if (number == ownerType.number) {
                DroppedRecord dropped;
                for (short f = oldType.firstField; f < oldType.firstField + oldType.fieldCount; ++f) {
                    const xio_fld_def& field = *_oldDict->Field(f);
                    if (field.kind == 0) continue;
                    x_value_def value;
                    xio_get_field(_oldFile, 0, f, &value);
                    dropped.keyValues.push_back({{field.kind, field.qualifier}, value});
                }
                x_value_def key;
                xio_get_field(_oldFile, 0, oldType.firstField, &key);
                _dropped[key.AsText()] = std::move(dropped);
            }
            ++_counts.dropped;
            _report.Progress(++_done);
            status = xio_rd_next(_oldFile, number, 0, 0);
            continue;
        }
        if (answer != X_UPGRADE_OK) {
            _report.Error("The conversion stopped at " + KeyText(_oldFile, *_oldDict, number) + " of " + FileName() +
                          " (" + _library.Name() + " answered " + std::to_string(answer) +
                          "). Nothing was changed.");
            return Outcome::Failed;
        }
        status = xio_wr_record(_newFile, number, 0);
        if (status) {
            _report.Error(KeyText(_oldFile, *_oldDict, number) + " of " + FileName() +
                          " cannot be written to the new file: " + StatusWords(status) + " " +
                          xio_last_detail(_newFile) + ". Nothing was changed.");
            return Outcome::Failed;
        }
        answer = CallLibrary(X_UPGRADE_STEP_WRITTEN, number);
        if (answer != X_UPGRADE_OK) {
            _report.Error("The conversion stopped after " + KeyText(_oldFile, *_oldDict, number) + " of " +
                          FileName() + " (" + _library.Name() + " answered " + std::to_string(answer) +
                          "). Nothing was changed.");
            return Outcome::Failed;
        }
        ++_counts.records;
        _report.Progress(++_done);
        UpgradeKillPoint();
        status = xio_rd_next(_oldFile, number, 0, 0);
    }
    if (status != XIO_NO_RECORD) {
        _report.Error(FileName() + " cannot be read to its end (record type " + std::to_string(number) +
                      "): " + StatusWords(status) + " " + xio_last_detail(_oldFile) + ". Nothing was changed.");
        return Outcome::Failed;
    }
    for (const Move& move : moves)
        if (move.cut)
            _report.Warning(std::string(_newDict->Field(move.to)->name) + ": " + std::to_string(move.cut) +
                            " values were longer than the new " + std::to_string(_newDict->Field(move.to)->width) +
                            " characters and were cut (the backup keeps them whole).");
    return Outcome::Upgraded;
}

bool DataFileUpgrade::MoveHeader() {
    if (_newDict->file.headerFieldCount == 0) return true;
    short status = _oldDict->file.headerFieldCount ? xio_rd_header(_oldFile, 0, 0) : short{XIO_OK};
    if (!status) status = xio_rd_header(_newFile, 0, 1);
    if (status) {
        _report.Error("The header of " + FileName() + " cannot be read: " + StatusWords(status) +
                      ". Nothing was changed.");
        return false;
    }
    const short first = static_cast<short>(_newDict->file.fieldCount - _newDict->file.headerFieldCount + 1);
    for (short to = first; to <= _newDict->file.fieldCount; ++to) {
        const short from = _oldDict->FieldNumber(_newDict->Field(to)->name);
        if (!_oldDict->IsHeaderField(from)) continue;
        x_value_def value;
        xio_get_field(_oldFile, 0, from, &value);
        xio_put_field(_newFile, 0, to, &value);
    }
    status = xio_wr_header(_newFile, 0);
    if (status) {
        _report.Error("The header of the new " + FileName() + " cannot be written: " + StatusWords(status) +
                      ". Nothing was changed.");
        return false;
    }
    return true;
}

DataFileUpgrade::Outcome DataFileUpgrade::PlaceNewFile() {
    _backupPath = FreeBackupName(_path);
    short status = xio_backup_file(_oldFile, _backupPath);
    if (status) {
        _report.Error("The backup " + _backupPath + " cannot be made: " + StatusWords(status) + " " +
                      xio_last_detail(_oldFile) + ". Nothing was changed.");
        _backupPath.clear();
        return Outcome::Failed;
    }
    _report.Line("Backup of the old " + FileName() + ": " + _backupPath);
    UpgradeKillPoint();
    if (!_crossReferences.empty() && !WritePending()) return Outcome::Failed;
    status = xio_end_write_ahead_log(_oldFile);
    if (status) {
        _report.Error(FileName() + " cannot be replaced: " + StatusWords(status) + " " + xio_last_detail(_oldFile) +
                      ". Nothing was changed.");
        return status == XIO_LOCKED ? Outcome::Refused : Outcome::Failed;
    }
    UpgradeKillPoint();
    std::string error;
    if (!kwStoredFile::PlaceFile(_temporary, _path, kwStoredFile::Place::Replace, &error)) {
        _report.Error("The new " + FileName() + " cannot be put in place: " + error +
                      ". The old file is unchanged.");
        return Outcome::Failed;
    }
    _temporary.clear();
    UpgradeKillPoint();
    return Outcome::Upgraded;
}

namespace {
nlohmann::json ValueJson(const x_value_def& value) {
    return value.IsText() ? nlohmann::json{{"text", value.AsText()}} : nlohmann::json{{"number", value.number}};
}

x_value_def ValueOf(const nlohmann::json& node) {
    if (node.contains("text")) return x_value_def::OfText(node.at("text").get<std::string>());
    return x_value_def::OfNumber(node.at("number").get<double>());
}
} // namespace

bool DataFileUpgrade::WritePending() {
    nlohmann::json references = nlohmann::json::array();
    for (const CrossReference& reference : _crossReferences) {
        nlohmann::json keys = nlohmann::json::array();
        for (const auto& [kind, value] : reference.keyValues) {
            nlohmann::json key = ValueJson(value);
            key["kind"] = kind.first;
            key["qualifier"] = kind.second;
            keys.push_back(key);
        }
        references.push_back({{"file", reference.file},
                              {"recordType", reference.recordType},
                              {"owner", ValueJson(reference.ownerKey)},
                              {"keys", keys}});
    }
    const nlohmann::json note = {{"dataVersion", _newVersion.ToString()},
                                 {"ownerKey", _ownerKeyName},
                                 {"references", references}};
    std::string error;
    if (!kwStoredFile::Write(PendingPath(), note.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n",
                             &error)) {
        _report.Error("The list of cross-reference records to remove cannot be written: " + error +
                      ". Nothing was changed.");
        return false;
    }
    UpgradeKillPoint();
    return true;
}

void DataFileUpgrade::FinishPending(const std::string& storedVersion) {
    std::string text, error, version, ownerKey;
    std::vector<CrossReference> references;
    bool readable = kwStoredFile::Read(PendingPath(), &text, &error);
    try {
        const nlohmann::json note = readable ? nlohmann::json::parse(text) : nlohmann::json::object();
        version = note.at("dataVersion").get<std::string>();
        ownerKey = note.at("ownerKey").get<std::string>();
        for (const auto& node : note.at("references")) {
            CrossReference reference{node.at("file").get<std::string>(), node.at("recordType").get<short>(),
                                     ValueOf(node.at("owner")), {}};
            for (const auto& key : node.at("keys"))
                reference.keyValues.push_back(
                    {{key.at("kind").get<short>(), key.at("qualifier").get<short>()}, ValueOf(key)});
            references.push_back(std::move(reference));
        }
    } catch (const nlohmann::json::exception&) {
        readable = false;
    }
    if (!readable) {
        _report.Warning(PendingPath() + " cannot be read, so the cross-reference records it lists are not removed.");
        return;
    }
    // Written down but never placed: the conversion runs again and writes it again.
    if (version != storedVersion) {
        if (!_dryRun) RemoveQuietly(PendingPath());
        return;
    }
    if (_dryRun) {
        _report.Line("An earlier upgrade of " + FileName() + " stopped before it removed " +
                     std::to_string(references.size()) + " cross-reference records; the upgrade will remove them.");
        return;
    }
    _report.Line("An earlier upgrade of " + FileName() + " stopped before it removed the cross-reference records "
                 "of the records it dropped; they are removed now.");
    _ownerKeyName = ownerKey;
    _crossReferences = std::move(references);
    const int warnings = _report.Warnings();
    RemoveCrossReferences();
    if (_report.Warnings() == warnings) {
        RemoveQuietly(PendingPath());
        kwStoredFile::SyncFolder(kwStoredFile::FolderOf(_path));
    }
    _crossReferences.clear();
    _counts = Counts{};
}

void DataFileUpgrade::RemoveCrossReferences() {
    const std::string& ownerKeyName = _ownerKeyName;
    std::map<std::string, std::vector<const CrossReference*>> byFile;
    for (const CrossReference& reference : _crossReferences) byFile[Upper(reference.file)].push_back(&reference);
    for (const auto& [abbrev, references] : byFile) {
        const std::string pointing = " cross-reference record(s) there still point at dropped records.";
        xio_open_def def{};
        std::snprintf(def.abbrev, sizeof def.abbrev, "%s", abbrev.c_str());
        def.programNumber = kProgramNumber;
        short file = 0;
        short status = abbrev.size() <= 3 ? xio_open_file(&def, &file) : static_cast<short>(XIO_ABSENT);
        if (status) {
            // An application that was never used has no cross-reference file: nothing points.
            if (status != XIO_ABSENT)
                _report.Warning("The cross-reference file " + abbrev + " cannot be opened (" + StatusWords(status) +
                                "): up to " + std::to_string(references.size()) + pointing);
            if (file) xio_cls_file(file);
            continue;
        }
        bool backedUp = false;
        for (size_t i = 0; i < references.size(); ++i) {
            const CrossReference& reference = *references[i];
            xio_rec_def type{};
            if (xio_get_rec_def(file, reference.recordType, &type, 0)) continue;
            xio_clr_record(file, type.number);
            for (short f = type.firstField; f < type.firstField + type.fieldCount - 1; ++f) {
                xio_fld_def field{};
                xio_get_fld_def(file, f, &field, 0, 0);
                for (const auto& [kind, value] : reference.keyValues) {
                    if (field.kind == 0 || kind != std::make_pair(field.kind, field.qualifier)) continue;
                    xio_put_field(file, 0, f, &value);
                    break;
                }
            }
            xio_put_field(file, 0, static_cast<short>(type.firstField + type.fieldCount - 1), &reference.ownerKey);
            status = xio_rd_record(file, type.number, 0, 1);
            if (status == XIO_NO_RECORD) continue;
            // The file is backed up before its first change, and only when it changes.
            if (status == XIO_OK && !backedUp) {
                xio_def info{};
                xio_get_def(file, &info, 0);
                const std::string backup = FreeBackupName(info.path);
                status = xio_backup_file(file, backup);
                if (status) {
                    _report.Warning("The cross-reference file " + abbrev + " cannot be backed up (" +
                                    StatusWords(status) + "), so it is left as it was: up to " +
                                    std::to_string(references.size() - i) + pointing);
                    break;
                }
                backedUp = true;
                _report.Line("Backup of " + fs::path(info.path).filename().string() + ": " + backup);
            }
            if (status == XIO_OK) status = xio_del_record(file, type.number);
            if (status == XIO_OK) {
                ++_counts.crossReferences;
                _report.Line("  The cross-reference record of " + ownerKeyName + " " + reference.ownerKey.AsText() +
                             " in " + abbrev + " (" + type.description + ") is removed.");
            } else {
                _report.Warning("The cross-reference record of " + ownerKeyName + " " + reference.ownerKey.AsText() +
                                " in " + abbrev + " cannot be removed: " + StatusWords(status) + ".");
            }
            UpgradeKillPoint();
        }
        xio_cls_file(file); // also lets go of a record still locked
    }
}

short DataFileUpgrade::CallLibrary(short step, short recordType) {
    _record.step = step;
    _record.recordType = recordType;
    return _library.Convert(&_record);
}

void DataFileUpgrade::Discard() {
    if (_newFile) {
        xio_cls_file(_newFile); // an unfinished batch is rolled back
        _newFile = 0;
    }
    if (_temporary.empty()) return;
    for (const char* suffix : {"", "-wal", "-shm", "-journal", ".lck"}) RemoveQuietly(_temporary + suffix);
    _temporary.clear();
}
