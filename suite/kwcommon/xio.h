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
#include <string>
#include <vector>

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

// A number that changes whenever another open of the file (in this process or another)
// commits a change to it; reading it costs no read of the file. For noticing changes.
short xio_file_version(short file, int64_t* version);

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
