// The conversion of one data file of the current company to the data version of the
// company's dictionary for it.
//
// The old file is read through the dictionary it was written with (the copy it keeps),
// held open for this user alone. Each record is moved into a record of the current
// dictionary field by field by name (fields the old dictionary lacks keep the new
// dictionary's defaults) and handed to the application's library (x_upgrade_dllcall,
// steps 1 to 3), then written to a new file made beside the old one under a temporary
// name, or left out when the library answers X_UPGRADE_DROP.
//
// Only when every record is done is the old file copied to a dated backup beside it
// (NAME.YYYY-MM-DD.bak) and the new file placed under the old name in one rename
// (kwStoredFile::PlaceFile). A failure or a kill at any moment before that leaves the old
// file as it was; after it the new file is complete.
//
// Links. A record type named LINK holds the links of the file's first record type (the
// suite's link records): its first field is the owner's key, the next two the
// cross-reference file's abbreviation and record type. The links of a dropped record are
// dropped with it, and after the new file is in place the cross-reference records that
// point at the dropped record are removed from their files (each backed up first), found
// as the application wrote them: key fields matched by kind code and qualifier, the
// record's key last.
//
// The cross-reference records to remove are written down beside the data file
// (NAME.upgrade-pending) before the new file takes its place, and that note is removed
// once they are gone; a run that finds the note of a placed file (its data version is
// the note's) removes them first, so a kill between the two leaves nothing behind for
// good. The note, JSON:
//   { "dataVersion": "13.1.0", "ownerKey": "ISSUE",
//     "references": [ { "file": "APZ", "recordType": 1, "owner": { "number": 11 },
//                       "keys": [ { "kind": 311, "qualifier": 0, "text": "DELTAELEC" } ] } ] }
// (a value is { "text": ... } or { "number": ... }).
//
// A dry run converts into the temporary file and throws it away: every line is reported,
// nothing is changed, and the file is not held against other users.
#pragma once

#include "ApplicationLibrary.h"
#include "UpgradeReport.h"

#include "kwcommon/values/kwVersion.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xio.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class DataFileUpgrade {
public:
    enum class Outcome {
        Upgraded, // converted (or, in a dry run, would be)
        Current,  // already at the current data version
        NoFile,   // the data file does not exist yet
        Refused,  // the user must act first (file in use, newer data, ...); nothing changed
        Failed,   // an error stopped the conversion; nothing changed
    };

    struct Counts {
        int64_t records = 0;         // written to the new file
        int64_t dropped = 0;         // records the library dropped
        int64_t linksDropped = 0;    // link records dropped with them
        int64_t leftOut = 0;         // records of types the new dictionary no longer has
        int64_t crossReferences = 0; // cross-reference records removed
    };

    DataFileUpgrade(std::string abbrev, const ApplicationLibrary& library, UpgradeReport& report, bool dryRun);
    ~DataFileUpgrade();
    DataFileUpgrade(const DataFileUpgrade&) = delete;
    DataFileUpgrade& operator=(const DataFileUpgrade&) = delete;

    Outcome Run();
    const Counts& Totals() const { return _counts; }
    const std::string& BackupPath() const { return _backupPath; }

private:
    // A cross-reference record to remove once the new file is in place.
    struct CrossReference {
        std::string file;  // its file's abbreviation ("CMZ")
        short recordType = 0;
        x_value_def ownerKey;
        std::vector<std::pair<std::pair<short, short>, x_value_def>> keyValues; // (kind, qualifier)
    };
    struct DroppedRecord {
        std::vector<std::pair<std::pair<short, short>, x_value_def>> keyValues;
    };

    Outcome Prepare();
    Outcome Convert();
    Outcome ConvertRecordType(const xio_rec_def& oldType);
    bool MoveHeader();
    Outcome PlaceNewFile();
    void RemoveCrossReferences();
    std::string PendingPath() const { return _path + ".upgrade-pending"; }
    bool WritePending();
    // Finishes the removals an earlier run wrote down for the file as it now is.
    void FinishPending(const std::string& storedVersion);
    short CallLibrary(short step, short recordType);
    void Discard();
    std::string FileName() const;

    std::string _abbrev;
    const ApplicationLibrary& _library;
    UpgradeReport& _report;
    bool _dryRun;

    std::shared_ptr<const kwDictionary> _newDict;
    std::shared_ptr<const kwDictionary> _oldDict;
    std::string _path;
    std::string _temporary;
    std::string _backupPath;
    kwBase::Version _oldVersion;
    kwBase::Version _newVersion;
    short _oldFile = 0;
    short _newFile = 0;
    x_upgrade_def _record{};
    Counts _counts;
    int64_t _total = 0;
    int64_t _done = 0;
    std::map<std::string, DroppedRecord> _dropped; // by the owner's key text
    std::vector<CrossReference> _crossReferences;
    std::string _ownerKeyName; // the name of the key of the records the references point at
};
