// Status codes of the data library. Every record-manager call answers one of these;
// 0 is success. The numbers are shared with files and callers: never renumber.
#pragma once

enum kwStatus : short {
    XIO_OK = 0,
    XIO_FAILED = 1,          // general failure, reason reported where it happened
    XIO_NO_DRIVE = 2,        // the folder (drive) of the file does not exist
    XIO_ABSENT = 3,          // the file does not exist
    XIO_BAD_FILE_NUMBER = 4, // no open file has this number
    XIO_BAD_FIELD = 5,       // no field of this number or name
    XIO_BAD_RECORD_TYPE = 6, // the dictionary has no such record type
    XIO_LOCKED = 7,          // record or header locked / file in use by another user
    XIO_NOT_LOCKED = 8,      // rewrite or delete of a record that was not read with lock
    XIO_IN_USE = 9,          // in use (attachments held for change elsewhere)
    XIO_NO_RECORD = 10,      // no record found / end of file
    XIO_NO_CURRENT = 11,     // no current record in the buffer (nothing read yet)
    XIO_DUPLICATE_KEY = 12,  // a unique key already holds these values
    XIO_BAD_KEY = 13,        // the record type has no key of this number
    XIO_CORRUPT = 14,        // the file is not a valid data file
    XIO_CANCELLED = 15,      // cancelled by the user (no message)
    XIO_NOT_AUTHORISED = 16, // the operator may not open the file
    XIO_IO_ERROR = 17,       // the operating system refused a read or write
    XIO_DICTIONARY = 18,     // the dictionary is missing or malformed
    XIO_VERSION = 19,        // the file's data version is newer than the program knows
    XIO_TOO_MANY_FILES = 20, // no free file number
    XIO_DISK_FULL = 21,      // no room left on the device
    XIO_BAD_VALUE = 22,      // a value does not fit its field
    XIO_NEEDS_UPGRADE = 23,  // the file's data version is older than the program works with
    XIO_READ_ONLY = 24,      // the file is open for reading only (asked for, or no write access)
    XIO_NO_LOCKS = 25,       // the folder's file system keeps no locks between workstations
};

// The status in words, for messages and the log ("Record not found." ...).
const char* xio_status_text(short status);
