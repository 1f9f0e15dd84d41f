// Where an issue's link points in its application's own data. An application's issue
// dictionary (its code followed by "Z", the dictionary of its cross-reference file) names
// the kinds of records an issue links to: each record type lists the linked record's key
// fields and, last, the issue number. The application's data dictionaries (its code
// followed by one more letter) hold the records themselves: a record type whose key 0 has
// the same kind codes and qualifiers, field by field, holds such records, and so does
// every record type of the same link group. The Link Wizard, the Links page and qvadmin
// find records the same way through these helpers.
#pragma once

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio_dict.h"

#include <string>
#include <vector>

// One record type (and, where its dictionary has several, one file type) of an
// application's data dictionary that holds the records of an issue dictionary record type.
struct qvDataRecordType {
    std::string dictName; // three letters in capitals, "APV"
    short recType = 0;
    short fileMask = 0;   // 0 with one file type, else 1 shifted left by the file type's index
    std::string text;     // as the Link Wizard lists it: "APV - Vendors", "ART - Transactions (History)"
    std::string fileType; // the file type's name; empty when the line stands for the whole file
};

// Key 0's field definitions of a record type of an open file or dictionary (empty when
// the record type has none).
std::vector<xio_fld_def> qvKeyFields(short file, short recordType);
// The linked record's key fields of an issue dictionary record type: its fields but the
// last, which holds the issue number.
std::vector<xio_fld_def> qvLinkedKeyFields(short issueDictionary, short recordType);
// Same kind codes and qualifiers, field by field, and as many fields.
bool qvSameKinds(const std::vector<xio_fld_def>& a, const std::vector<xio_fld_def>& b);

// The six dictionaries QXA to QXF of one application keep their records of every file
// type together: a link to them names no file type of its own (file mask 1).
bool qvIsSingleMaskDictionary(const std::string& dictName);
// The issue dictionaries in the dictionaries folder ("*z.dct"): the application codes
// that store issues, in capitals, sorted.
std::vector<std::string> qvIssueApplications();
// The application's data dictionaries: its code followed by any letters and ".dct" in the
// dictionaries folder, as three-letter names in capitals, sorted; never its issue
// dictionary (third letter "Z") nor "VRB".
std::vector<std::string> qvDataDictionaries(const std::string& app);

// The Link Wizard's file-type scan: the data record types (one line per file type) of the
// application that hold records of an issue record type with these key fields. With a link
// group (linkGroup not 0) every record type of that group qualifies. Without, the first
// record type whose key matches qualifies; when it carries a link group, *linkGroup takes
// that group over and the scan goes on in the following dictionaries by the group, else
// the scan ends there. Dictionaries that do not open are passed over.
std::vector<qvDataRecordType> qvFindDataRecordTypes(const std::string& app, const std::vector<xio_fld_def>& issueKey,
                                                    short* linkGroup);
// The first data record type of the application whose key matches these key fields (the
// parent-record lookup), with its record type's description in *recDesc (initial
// capitals). fileMask is 0, or 1 in the single-mask dictionaries. false when none.
bool qvFindKeyedRecordType(const std::string& app, const std::vector<xio_fld_def>& key, qvDataRecordType* found,
                           std::string* recDesc);

// A data file opened quietly, for reading only, to find the record of a link.
class qvLinkedData {
public:
    // 0 open; else the record manager's status (3 absent, 7 in use by another user
    // exclusively, 14 damaged ...). Nothing is asked or shown.
    short Open(const std::string& dictName, short programNumber);
    short FileNum() const { return _file.FileNum(); }
    void Close() { _file.Close(); }
    // Reads the record of recType whose key 0 fields hold these texts, given as shown
    // (sectioned keys with their separators, dates in the company's format, choices as their
    // item's text). 0 found, 10 none; 22 when a text is no value of its field.
    short Find(short recType, const std::vector<std::string>& keyTexts);
    // A field of the record last read, as the record grid shows it.
    std::string Shown(const xio_fld_def& def) const;
    // The field after the key of the record last read, as shown; "" when the record type
    // has no such field.
    std::string Description(short recType) const;

private:
    kwioDataFile _file;
};
