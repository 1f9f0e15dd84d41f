// One record of a grid's node as read from its file: every field of the record type, its
// rowid (the record manager's position of it) and, looked up on first need, how many
// attachments it has. The grid keeps a bounded window of these, never the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct kwdmFieldValue {
    double number = 0.0; // numbers, dates (YYYYMMDD), times (HHMMSS, -1 none), yes/no, choices
    std::string text;    // text and phone fields
    bool operator==(const kwdmFieldValue&) const = default;
};

struct kwdmRecord {
    int64_t rowid = 0;
    std::vector<kwdmFieldValue> values; // index = field number - the record type's first field
    int attachments = -1;               // -1: not looked up yet
};

// The fields of one record type of an open file, for moving records in and out of its
// buffer without asking the dictionary for every field.
class kwdmRecordLayout {
public:
    kwdmRecordLayout() = default;
    // false when the file has no such record type.
    bool Load(short file, short type);

    short File() const { return _file; }
    short Type() const { return _type; }
    short FirstField() const { return _first; }
    short FieldCount() const { return static_cast<short>(_isText.size()); }
    bool Contains(short field) const { return field >= _first && field < _first + FieldCount(); }
    bool IsText(short field) const { return _isText[static_cast<size_t>(field - _first)]; }
    // Text fields compare without regard to letter case (the dictionary's case flag).
    bool IgnoresCase(short field) const { return _ignoreCase[static_cast<size_t>(field - _first)]; }

    // Every field of the record in the buffer (the record last read).
    void Read(kwdmRecord& record) const;
    // Every field of the record into the buffer.
    void Put(const kwdmRecord& record) const;
    // One field of the record in the buffer.
    kwdmFieldValue Get(short field) const;

    // -1, 0, 1 as the record manager orders the values of a key's fields: texts of a field
    // that ignores case by their folded letters, others by bytes; numbers by value.
    int Compare(short field, const kwdmFieldValue& a, const kwdmFieldValue& b) const;

private:
    short _file = 0;
    short _type = 0;
    short _first = 0;
    std::vector<bool> _isText;
    std::vector<bool> _ignoreCase;
};
