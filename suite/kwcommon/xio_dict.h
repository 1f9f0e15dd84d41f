// Definitions of a record-managed file as its data dictionary gives them, and the
// dictionary loader. Definition records are byte-packed: callers that read a member
// "at an offset" rely on the offsets pinned by the static_asserts below.
//
// Dictionary files are JSON (*.dct) in the company's dictionaries folder:
// {
//   "file": { "abbrev": "QVI", "description": "Issues", "defaultFileName": "ISSUES.QVI",
//             "dataVersion": "13.1.0", "fileTypes": ["Issues"] },
//   "recordTypes": [
//     { "number": 1, "name": "ISSUE", "description": "Issue", "linkGroup": 0,
//       "fields": [ { "name": "ISSUE", "type": 1, "description": "Issue number",
//                     "decimals": 0, "width": 10, "width2": 10, "kind": 0, "qualifier": 0,
//                     "longText": false, "caseFlag": false, "monthYear": false,
//                     "defaultItem": 0, "listFlag": false, "listOnly": false,
//                     "formatFlag": false, "hidden": false, "items": [] }, ... ],
//       "keys": [ { "number": 0, "name": "ISSUE NUMBER", "fields": ["ISSUE"],
//                   "unique": true, "internal": false, "userOrder": true }, ... ] } ],
//   "header": [ { "name": "LASTID", "type": 1 } ]
// }
// Field numbers are given by position: the fields of the record types in the order the
// dictionary lists them, numbered from 1, then the header fields. Only "name" and "type"
// are required of a field; only "number", "name" and "fields" of a record type and a key.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Field type codes.
enum xio_field_type : short {
    XIO_TEXT = 0,
    XIO_NUMBER = 1,
    XIO_YESNO = 2,
    XIO_DATE = 3,
    XIO_TIME = 4,
    XIO_PHONE = 5,
    XIO_SSN = 6,
    XIO_CHOICE = 7, // 7, 8 and 9 are all choices
    XIO_CHOICE_LAST = 9,
};

constexpr int XIO_FIELD_NAME_MAX = 7;
constexpr int XIO_KEY_FIELDS_MAX = 20;

#pragma pack(push, 1)

// The file as a whole.
struct xio_def {
    char abbrev[4];            // 0   file abbreviation, e.g. "QVI"
    char dataVersion[12];      // 4   data version of the dictionary, e.g. "13.1.0"
    int16_t recordTypeCount;   // 16
    int16_t fieldCount;        // 18  fields of all record types and the header
    int16_t headerFieldCount;  // 20  the last headerFieldCount field numbers
    int16_t fileTypeCount;     // 22
    char reserved24;           // 24
    int16_t keyCount;          // 25  highest alternate key number of any record type
    char description[41];      // 27
    char defaultFileName[64];  // 68  file name in the data folder when the file control names none
    char path[256];            // 132 full path of the open file ("" for a dictionary alone)
    char fileVersion[12];      // 388 data version stored in the open file ("" for a dictionary alone)
};
static_assert(offsetof(xio_def, keyCount) == 25);
static_assert(sizeof(xio_def) == 400);

// One record type.
struct xio_rec_def {
    char description[26];      // 0   text shown to users, e.g. "Issue"
    char name[50];             // 26  record type name, e.g. "ISSUE"
    int16_t firstField;        // 76  number of its first field
    int16_t fieldCount;        // 78
    int16_t number;            // 80  record type number
    int16_t linkGroup;         // 82
    int16_t keyCount;          // 84  number of keys defined (key 0 included)
};
static_assert(offsetof(xio_rec_def, name) == 26);
static_assert(offsetof(xio_rec_def, firstField) == 76);
static_assert(offsetof(xio_rec_def, fieldCount) == 78);

// One field of a record type or of the header.
struct xio_fld_def {
    char name[XIO_FIELD_NAME_MAX + 1]; // 0
    char description[41];      // 8
    int16_t number;            // 49
    int16_t recordType;        // 51  0 for a header field
    int16_t type;              // 53  xio_field_type
    char longText;             // 55  text longer than a value carrier holds (up to width)
    char caseFlag;             // 56  set: text compares without regard to letter case
    char monthYear;            // 57  date of month and year only
    int16_t decimals;          // 58
    int16_t defaultItem;       // 60  choice item (1-based) or list entry a new value starts at
    int16_t width;             // 62  first width (characters stored)
    int16_t width2;            // 64  second width (characters shown)
    int16_t hidden;            // 66  nonzero: a system field, never offered to users
    int16_t kind;              // 68  kind code (a list field's custom list number, a key kind)
    int16_t qualifier;         // 70
    char listFlag;             // 72  the value comes from the custom list named by the kind code
    char listOnly;             // 73  only entries of that list are accepted
    char formatFlag;           // 74  shown formatted by its kind (sectioned keys)
    int16_t itemCount;         // 75  choice items (xio_get_item_alpha)
};
static_assert(offsetof(xio_fld_def, description) == 8);
static_assert(offsetof(xio_fld_def, hidden) == 66);
static_assert(sizeof(xio_fld_def) == 77);

// One key (index) of a record type. Key 0 is the primary key.
struct xio_key_def {
    char name[40];             // 0
    int16_t number;            // 40
    int16_t recordType;        // 42
    int16_t fieldCount;        // 44
    int16_t fields[XIO_KEY_FIELDS_MAX]; // 46  field numbers, most significant first
    char reserved86[5];        // 86
    int16_t internal;          // 91  nonzero: kept by the system, never offered as an order
    int16_t unique;            // 93  nonzero: no two records share the key's values
    int16_t reserved95;        // 95
    int16_t userOrder;         // 97  1: users may choose it as a sort order
};
static_assert(offsetof(xio_key_def, internal) == 91);
static_assert(offsetof(xio_key_def, userOrder) == 97);

#pragma pack(pop)

// A loaded dictionary: the definitions and the choice items, immutable once loaded.
struct kwDictionary {
    std::string sourcePath;
    xio_def file{};
    std::vector<std::string> fileTypes;
    std::vector<xio_rec_def> recordTypes;            // in dictionary order
    std::vector<xio_fld_def> fields;                 // index = field number - 1
    std::vector<std::vector<std::string>> items;     // index = field number - 1
    std::vector<xio_key_def> keys;                   // all record types

    const xio_rec_def* RecordType(short number) const;
    const xio_fld_def* Field(short number) const;     // nullptr outside 1..fieldCount
    short FieldNumber(const std::string& name) const; // 0 when absent (exact name)
    const xio_key_def* Key(short recordType, short key) const;
    bool IsHeaderField(short number) const;
};

// Loads and caches dictionaries by file abbreviation. A malformed dictionary answers
// nullptr and an error naming the file and the place ("qvi.dct: recordTypes[0].fields[3]:
// field name longer than 7 characters").
class kwDictionaryLoader {
public:
    // The dictionary of the file abbreviation (case-insensitive) in the company's
    // dictionaries folder: <abbrev>.dct in lower case.
    static std::shared_ptr<const kwDictionary> Load(const std::string& abbrev, std::string* error);
    // A dictionary from an explicit path (not cached).
    static std::shared_ptr<const kwDictionary> LoadFile(const std::string& path, std::string* error);
    // A dictionary from JSON text; origin names it in errors.
    static std::shared_ptr<const kwDictionary> Parse(const std::string& text, const std::string& origin,
                                                     std::string* error);
    // Forgets every cached dictionary (the company changed).
    static void ClearCache();
    // The path of the dictionary of an abbreviation.
    static std::string PathOf(const std::string& abbrev);
};
