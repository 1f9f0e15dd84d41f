// Attachments of records: files copied into the company's attachment store and listed per
// record, the record being named by its file abbreviation, record type and key as text.
//
// Store, under <company>/attachments/<abbrev>/<record type>/<record folder>/:
//   list.json   the record's list, always replaced whole (through kwStoredFile)
//   list.lck    byte 0 is held (kwFileLock) while someone changes the list
//   <n>-<name>  the stored copies
// The record folder's name comes from the key text (a readable part and a hash); list.json
// repeats the full key, so two keys that share a folder name are told apart.
//
// Use: Fetch the list (for change by default), then Add and Remove, which stay in memory
// until Write; Free (or the destructor) drops what was not written and lets others change
// the list. Added files are copied at once into the store, so the source may go away
// afterwards; a copy that is never written is removed again.
#pragma once

#include "kwcommon/kwStatus.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class kwFileLock;

struct kwioAttachment {
    std::string name;       // the file's name as it was added, without folder
    std::string storedName; // the copy's name within the record's folder
    int64_t size = 0;       // bytes
    std::string addedBy;    // operator id
    std::chrono::system_clock::time_point added;
    bool pending = false; // added since the list was last written
};

class kwioAttachments {
public:
    // The attachments of the record of `recordType` whose key 0 values are in the record
    // buffer of an open file when Fetch is called.
    kwioAttachments(short fileNumber, short recordType);
    // The attachments of a record named directly.
    kwioAttachments(std::string fileAbbrev, short recordType, std::string recordKey);
    virtual ~kwioAttachments();
    kwioAttachments(const kwioAttachments&) = delete;
    kwioAttachments& operator=(const kwioAttachments&) = delete;

    // Reads the record's list. forChange also takes the list for this object alone:
    // XIO_IN_USE while another user or another object holds it. Fetching the same record
    // again keeps changes not yet written; fetching another record drops them first.
    // Answers 0, XIO_IN_USE, XIO_CORRUPT (a damaged list), XIO_NO_DRIVE or XIO_IO_ERROR.
    short Fetch(bool forChange = true);
    bool IsFetched() const { return _fetched; }
    bool HeldForChange() const { return _lock != nullptr; }

    // The list as it will be once written.
    const std::vector<kwioAttachment>& List() const { return _list; }
    size_t Count() const { return _list.size(); }
    const kwioAttachment& At(size_t index) const { return _list.at(index); }
    // The path of an attachment's stored copy, to open or show it ("" outside the list).
    std::string OpenPath(size_t index) const;

    // Copies a file into the store and lists it. A missing, unreadable or non-regular
    // source, or a failed copy, is told to the user (error notice) and stores nothing.
    // Answers 0; XIO_NOT_LOCKED when the list is not held for change; XIO_ABSENT,
    // XIO_NOT_AUTHORISED, XIO_BAD_VALUE, XIO_IO_ERROR or XIO_DISK_FULL for the source.
    short Add(const std::string& sourcePath);
    // Takes an attachment off the list; its copy goes when the list is written.
    // Answers 0, XIO_NOT_LOCKED or XIO_NO_RECORD (no such index).
    short Remove(size_t index);
    bool Changed() const { return _changed; }
    // Writes the list (atomically) and deletes the copies of removed attachments. A
    // failure is told to the user and keeps the changes for another try.
    short Write();
    // Drops changes not written and releases the list.
    void Free();

    const std::string& FileAbbrev() const { return _abbrev; }
    short RecordType() const { return _recordType; }
    // The key text of the record last fetched (or named).
    const std::string& RecordKey() const { return _key; }
    // The folder of the record's attachments ("" before Fetch).
    const std::string& Folder() const { return _folder; }

    // The key text of the record in a file's buffer: key 0's values, texts without
    // trailing blanks and numbers in shortest form, separated by tabs.
    static std::string KeyTextOf(short fileNumber, short recordType, std::string* abbrev = nullptr);

private:
    short ResolveRecord();
    short ReadList();
    void RemoveStrays();

    short _file = 0;
    bool _byBuffer = false; // the key is read from _file's record buffer
    std::string _abbrev;
    short _recordType = 0;
    std::string _key;
    std::string _folder;
    std::vector<kwioAttachment> _list;
    std::vector<std::string> _removed; // stored names to delete on Write
    int64_t _nextId = 1;
    bool _fetched = false;
    bool _changed = false;
    std::unique_ptr<kwFileLock> _lock;
};
