// The record manager: record-managed files described by a data dictionary, kept in
// SQLite, opened by file number. Every call answers a kwStatus (0 success) unless noted.
//
// Each open file keeps one record buffer per record type and one header buffer.
// xio_put_field writes into a buffer, reads fill it, writes take it. Field numbers are
// unique within a file, so a field number names its record type (or the header).
//
// A data file is one SQLite database (default name: the dictionary's defaultFileName in
// the folder the file control gives, else the company folder) holding:
//   kw_meta(name TEXT PRIMARY KEY, value TEXT)
//       'abbrev'      the dictionary abbreviation ("QVI"); another value is a foreign file
//       'dataVersion' the data version of the file's data ("13.1.0"): the dictionary's
//                     data version when the file was made, moved on only by the upgrade
//       'dictionary'  the text of the dictionary (*.dct) the data is described by, so an
//                     old file always carries its own dictionary
//   r<T>(rowid INTEGER PRIMARY KEY, "<FIELD>" ..., one column per field of record type
//       T in dictionary order): text and phone fields TEXT NOT NULL DEFAULT '' (COLLATE
//       NOCASE with the case flag), every other type REAL NOT NULL DEFAULT 0 (dates as
//       yyyymmdd, times as hhmmss, -1 for no time, choices as item numbers). The rowid is
//       the record's position (xio_save_record) and names its lock.
//   k<T>_<K>  the index of key K of record type T over the key's fields; UNIQUE for a
//       unique key. A switched-off alternate key has no index (walks by it sort).
//   kw_header(id INTEGER PRIMARY KEY CHECK (id = 1), "<FIELD>" ...): the header fields,
//       one row with id 1.
//   kw_count(type INTEGER PRIMARY KEY, records INTEGER): the number of records of each
//       type, kept by the triggers kw_count_add_<T> and kw_count_del_<T> in the
//       transaction of every insert and delete, so counting never reads the records.
// The journal mode belongs to the file: a write-ahead log (WAL) for files made on a
// local disk; the rollback journal for files on a network share (NFS, SMB/CIFS ...),
// where workstations share no memory. A WAL file opened from a network share is
// changed over to the rollback journal, which needs everyone else to have closed it; a
// share that keeps no locks between workstations (mounted nolock / nobrl) is refused
// with XIO_NO_LOCKS. Opening compares the file's schema with the dictionary and writes
// only when the file lacks something (fields or keys the dictionary gained): a file that
// is current is opened without taking SQLite's write lock.
//
// Data versions: a file whose data version is newer than its dictionary's answers
// XIO_VERSION; one older than the minimum the caller names (xio_open_def.minDataVersion,
// kwioDataFile::SetMinimumDataVersion) answers XIO_NEEDS_UPGRADE, unless opened for the
// upgrade (forUpgrade). Both leave the reason in words for the open's message.
//
// Durability: every write (record, header, delete) is one SQLite transaction, flushed to
// the disk before it answers 0 (synchronous=FULL): a write the user was told about
// survives a process killed at any instant and a power cut. A bulk loader may ask for
// XIO_FAST (synchronous=NORMAL), where a power cut may roll back the last writes, never
// damage the file.
//
// Reading without the right to write: a file in a folder (or a file) the user may not
// write opens for reading only, whatever was asked; writes and locks answer
// XIO_READ_ONLY. Such a file is read through SQLite's read-only mode, and, when nobody
// has it open (no write-ahead log beside it) and no shared-memory file can be made, as
// an unchanging file (immutable=1).
//
// Threads and processes: one thread. Every call is made on the thread that opened the
// file (the user-interface thread); nothing here is safe to call from two threads at
// once. Meanwhile any number of other processes, on this or other workstations, may open
// the same file and read and write it: SQLite serialises their transactions, readers
// never wait for writers in WAL mode (in the rollback journal they wait at most the
// moment of a commit), a write waits at most 5 s for another's commit before answering
// XIO_LOCKED, and record and header locks are the only way to hold a record between calls.
//
// Locks: a record read with lock stays locked for this open file until it is unlocked,
// rewritten, deleted or the file is closed; the header likewise until it is written or
// freed. Locks are byte-range locks on a companion file (<data file>.lck) held by the
// open file description (kwFileLock), so they are shared by nothing else, are seen by
// every process on every workstation using the folder, and vanish with the process that
// holds them: byte 0 the header, byte 1 the open itself (shared; exclusive for an
// exclusive open), (type << 40) + rowid a record. A lock held elsewhere answers
// XIO_LOCKED at once; no call ever waits for another user.
//
// Damage: any SQLite error in a read answers its status (XIO_CORRUPT for a damaged
// file); a walk hands out the records before the damage and then the error, never a
// short end of file. An open file that met damage takes no more writes.
// xio_check_file and xio_repair_file look at a damaged file and rebuild it.
#pragma once

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xio_dict.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Open definition: names a file to open directly, not through the file control.
struct xio_open_def {
    char abbrev[4] = {};    // dictionary abbreviation ("QVI", "CMT")
    char path[256] = {};    // full path of the data file; empty: file control + default name
    short programNumber = 0;
    short create = 0;       // nonzero: create the file when it is absent
    short readOnly = 0;
    char minDataVersion[12] = {}; // "": any; else older data answers XIO_NEEDS_UPGRADE
    short forUpgrade = 0;   // nonzero (the upgrade host only): open data older than minDataVersion
};

// Opens a data file; fileNumber receives its number.
short xio_open_file(const xio_open_def* def, short* fileNumber);
// Opens only the dictionary of an abbreviation: definitions can be read, records cannot.
short xio_open_dictionary(const char* abbrev, short* fileNumber);
short xio_cls_file(short file);

// Durability of the writes of an open file.
enum xio_durability : short {
    XIO_DURABLE = 0, // every write is on the disk when it answers (the default)
    XIO_FAST = 1,    // for bulk loads: a power cut may roll back the last writes
};
short xio_set_durability(short file, short durability);

// The text of the dictionary stored in the file (its own, from when its data was made);
// XIO_NO_RECORD for a file made before files carried one.
short xio_get_file_dictionary(short file, std::string* text);

// Definitions.
short xio_get_def(short file, xio_def* def, short reserved);
short xio_get_rec_def(short file, short type, xio_rec_def* def, short reserved);
short xio_get_fld_def(short file, short field, xio_fld_def* def, short reserved1, short reserved2);
// Key `key` of record type `type`.
short xio_get_key_def(short file, short key, xio_key_def* def, short type);
// Choice item `item` (1-based) of a field into buffer (size bytes, NUL-terminated).
short xio_get_item_alpha(short file, short field, short item, char* buffer, int size);
// A field's number by name (case-insensitive), 0 when there is none.
short xio_num(short file, short reserved1, short reserved2, const char* name);

// Field values in the buffers.
short xio_get_field(short file, short reserved, short field, x_value_def* value);
short xio_put_field(short file, short reserved, short field, const x_value_def* value);
// Long-text fields hold more than a value carrier: these move the whole text.
short xio_get_long_text(short file, short field, std::string* text);
short xio_put_long_text(short file, short field, const std::string& text);

// Records.
short xio_clr_record(short file, short type);  // empty values, no current record
short xio_init_record(short file, short type); // dictionary defaults, no current record
short xio_rd_record(short file, short type, short key, short lock); // exact match on the key's fields
short xio_rd_ge(short file, short type, short key, short lock);     // first at or after the key's fields
short xio_rd_next(short file, short type, short key, short lock);   // next after the current record
short xio_rd_prev(short file, short type, short key, short lock);   // previous before the current record
short xio_rd_first(short file, short type, short key, short lock);
short xio_rd_last(short file, short type, short key, short lock);   // 10 when there is no record
short xio_status(short file);                                       // status of the last call on file
short xio_wr_record(short file, short type, short reserved);        // add
short xio_rep_record(short file, short type);                       // rewrite the current record (read with lock)
short xio_del_record(short file, short type);                       // delete the current record
short xio_lock_record(short file, short type);                      // lock the current record
short xio_unlock_record(short file, short type, short reserved);
// A position of the current record that xio_restore_record reads back (0: none).
int64_t xio_save_record(short file, short type);
short xio_restore_record(short file, int64_t position, short type, short lock);
// Number of records of a type: read from the file's kept counts, never by counting.
short xio_count_records(short file, short type, int64_t* count);

// Positions by ordinal in a key's order, for grids that place a scroll-bar jump without
// reading the records in between (io/KeyPositions.cpp). A selection is the records of one
// type in the order of one key (ties in record order), optionally only those whose field
// equals one of a few values (letter case counts, trailing blanks do not). Counting and positioning step
// over an index only, never over the records. Where no index serves the selection (an
// alternate key switched off; a filter field without a key that leads with it and then
// follows the order key) they answer XIO_BAD_KEY, and the caller walks instead.
struct xio_selection {
    short type = 1;
    short key = 0;
    short field = 0;                 // 0: every record of the type
    std::vector<x_value_def> values; // the values the field may hold
};
// 0 when indexes serve the selection, XIO_BAD_KEY when they do not.
short xio_selection_indexed(short file, const xio_selection& selection);
short xio_count_selection(short file, const xio_selection& selection, int64_t* count);
// Reads the selected record at ordinal (0-based) into the buffer, counted from the first
// record, or from the last one backwards when fromEnd is set. 10 past the end.
short xio_rd_ordinal(short file, const xio_selection& selection, int64_t ordinal, short fromEnd, short lock);
// The number of selected records before the current record of the selection's type (the
// record last read or written), whether or not that record is itself selected; with
// fromEnd, the number after it (cheaper for a record near the end).
short xio_ordinal_of(short file, const xio_selection& selection, int64_t* ordinal, short fromEnd = 0);

// A number that changes whenever anyone (this open, another open in this process, another
// process) commits a change to the file; it may also move without one. Reading it costs
// no read of the file. For noticing changes: equal numbers mean nothing was written.
short xio_file_version(short file, int64_t* version);

// Header.
short xio_rd_header(short file, short reserved, short lock);
short xio_wr_header(short file, short reserved);
short xio_free_header(short file, short reserved);


// Reports a nonzero status of a file in words through the message box and the log.
void xio_io_error(short file, short status);
// The last status's words plus the file's name, as xio_io_error shows it.
std::string xio_error_text(short file, short status);
// The last error detail (SQLite's or the operating system's) of a file, for reports.
std::string xio_last_detail(short file);

// ---- the company's data files, their check and their repair --------------------------

// One data file of the company: a dictionary in the dictionaries folder and where its
// data file is (whether it exists or not).
struct xio_company_file {
    std::string abbrev;
    std::string description;
    std::string path;
    bool exists = false;
};
std::vector<xio_company_file> xio_company_files();

// What a check or a repair found and did.
struct xio_file_report {
    std::string abbrev;
    std::string path;
    std::vector<std::string> problems;     // every problem found, in words
    std::vector<std::pair<short, int64_t>> records; // record type, records read (check) or saved (repair)
    bool repaired = false;                  // a new file took the damaged one's place
    std::string backupPath;                 // where the damaged file was kept
    int64_t saved = 0;                      // repair: records written to the new file
    std::vector<std::string> unsaved;       // repair: what could not be saved, in words
    bool everythingReadableSaved = false;   // repair: nothing that could be read was left out
    // The report in lines for people.
    std::string Text() const;
};

// Called now and then with the work done in percent (-1: not known) and what is being
// done; answering false cancels (the call then answers XIO_CANCELLED and changes nothing).
using xio_progress = std::function<bool(int percent, const std::string& stage)>;

// Key changes: alternate keys switched on or off for a file abbreviation. Built up with
// xio_key_chg_def and applied by xio_update_keys, which builds or drops the indexes of
// every data file of those abbreviations that the file control names. Building the index
// of a large file takes a while: progress, when given, hears of it now and then (its
// answer is not asked: an index half built is rolled back, never kept, and the other
// changes would still be applied).
struct xio_key_changes;
xio_key_changes* xio_key_chg_def(const char* abbrev, xio_key_changes* changes, short key, short active);
short xio_update_keys(xio_key_changes* changes, const xio_progress& progress = {}); // frees changes

// Checks the data file of an abbreviation: SQLite's integrity check, then the record
// manager's own (meta table, header row, tables and columns of the record types, unique
// keys, record counts, kinds of values). Answers 0 for a sound file, XIO_CORRUPT with
// every problem in report->problems, or the status of a file that cannot be looked at.
short xio_check_file(const char* abbrev, xio_file_report* report, const xio_progress& progress = {});

// Repairs the data file of an abbreviation when the check finds damage: every record that
// can still be read goes into a new file made beside (kwStoredFile), the damaged file is
// kept beside as "<file>.damaged-<yyyymmdd-hhmmss>" and the new one takes its name. Needs
// the file to be open nowhere else (XIO_LOCKED otherwise). Answers 0 when every record
// that could be read was saved (report->unsaved names what could not be read), 0 with
// nothing changed for a sound file, or the status of what failed.
short xio_repair_file(const char* abbrev, xio_file_report* report, const xio_progress& progress = {});
