// The record manager: record-managed files described by a data dictionary, kept in
// SQLite, opened by file number. Every call answers a kwStatus (0 success) unless noted.
//
// Each open file keeps one record buffer per record type and one header buffer.
// xio_put_field writes into a buffer, reads fill it, writes take it. Field numbers are
// unique within a file, so a field number names its record type (or the header).
//
// Locks: a record read with lock stays locked for this open file until it is unlocked,
// rewritten, deleted or the file is closed; the header likewise until it is written or
// freed. Locks are byte-range locks on a companion file (<data file>.lck) held by the
// open file description, so they are shared by nothing else, are seen by every process
// on every workstation using the folder, and vanish with the process that holds them.
// A lock held elsewhere answers XIO_LOCKED at once; no call ever waits for another user.
#pragma once

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xio_dict.h"

#include <cstdint>
#include <memory>
#include <string>

// Open definition: names a file to open directly, not through the file control.
struct xio_open_def {
    char abbrev[4] = {};    // dictionary abbreviation ("QVI", "CMT")
    char path[256] = {};    // full path of the data file; empty: file control + default name
    short programNumber = 0;
    short create = 0;       // nonzero: create the file when it is absent
    short readOnly = 0;
};

// Opens a data file; fileNumber receives its number.
short xio_open_file(const xio_open_def* def, short* fileNumber);
// Opens only the dictionary of an abbreviation: definitions can be read, records cannot.
short xio_open_dictionary(const char* abbrev, short* fileNumber);
short xio_cls_file(short file);

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
// Number of records of a type.
short xio_count_records(short file, short type, int64_t* count);

// Header.
short xio_rd_header(short file, short reserved, short lock);
short xio_wr_header(short file, short reserved);
short xio_free_header(short file, short reserved);

// Key changes: alternate keys switched on or off for a file abbreviation. Built up with
// xio_key_chg_def and applied by xio_update_keys, which builds or drops the indexes of
// every data file of those abbreviations that the file control names.
struct xio_key_changes;
xio_key_changes* xio_key_chg_def(const char* abbrev, xio_key_changes* changes, short key, short active);
short xio_update_keys(xio_key_changes* changes); // frees changes

// Reports a nonzero status of a file in words through the message box and the log.
void xio_io_error(short file, short status);
// The last status's words plus the file's name, as xio_io_error shows it.
std::string xio_error_text(short file, short status);
// The last error detail (SQLite's or the operating system's) of a file, for reports.
std::string xio_last_detail(short file);

// ---- Converting a data file ------------------------------------------------------------
// The data-upgrade host reads an old data file through the dictionary it was made with
// and writes its records into a new file of the current dictionary, which then takes the
// old file's place. Every data file keeps a copy of the dictionary it was made with, so
// an old file can always be read as it was written.

// What a data file says about itself.
struct xio_file_info {
    std::string abbrev;      // the abbreviation the file was made for ("QVI")
    std::string dataVersion; // the data version stored in the file
    std::string dictionary;  // dictionary JSON of the file's own dictionary; "" when the
                             // file was made before data files kept one
};
// Reads it without opening the file as a data file: 0, 3 absent, 14 not a data file,
// 16 not readable.
short xio_read_file_info(const std::string& path, xio_file_info* info);

// Options of xio_open_file_with.
enum xio_open_option : short {
    XIO_OPEN_EXCLUSIVE = 1,       // for this user alone: 7 while anyone else has the file
                                  // open, and nobody else opens it meanwhile
    XIO_OPEN_DICTIONARY_ONLY = 2, // record buffers and definitions only, no data file
};
// Opens a data file through a dictionary the caller holds instead of the company's;
// def->path, create and readOnly as for xio_open_file (an empty path: the file control's
// folder and the dictionary's file name); def->abbrev is not used (the dictionary names
// the file).
short xio_open_file_with(const xio_open_def* def, std::shared_ptr<const kwDictionary> dict, short options,
                         short* fileNumber);

// The calls between these two form one transaction: the writes all reach the file or
// none does, and the reads see one state of the file, unchanged by other users. For
// filling a new file quickly and reading a whole file as one; a batch still open when
// the file is closed is rolled back. No backup or end of the log inside a batch.
short xio_begin_batch(short file);
short xio_end_batch(short file, bool commit);

// Makes a consistent copy of an open data file at target, which must not exist yet (the
// copy is made beside it and placed through kwStoredFile; 12 when target exists).
short xio_backup_file(short file, const std::string& target);

// Moves everything in the file's write-ahead log into the data file and ends the log, so
// the data file alone holds the file and may be replaced under its name
// (kwStoredFile::PlaceFile). 7 when another connection has the file open. The next open
// starts a new log.
short xio_end_write_ahead_log(short file);
