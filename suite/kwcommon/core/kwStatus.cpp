// Status codes in words.
#include "kwcommon/kwStatus.h"

const char* xio_status_text(short status) {
    switch (status) {
    case XIO_OK: return "No error.";
    case XIO_FAILED: return "The operation failed.";
    case XIO_NO_DRIVE: return "The drive or folder does not exist.";
    case XIO_ABSENT: return "The file was not found.";
    case XIO_BAD_FILE_NUMBER: return "The file is not open.";
    case XIO_BAD_FIELD: return "The field does not exist in the dictionary.";
    case XIO_BAD_RECORD_TYPE: return "The record type does not exist in the dictionary.";
    case XIO_LOCKED: return "The record is in use by another user.";
    case XIO_NOT_LOCKED: return "The record was not read for change.";
    case XIO_IN_USE: return "The record is in use.";
    case XIO_NO_RECORD: return "Record not found.";
    case XIO_NO_CURRENT: return "There is no current record.";
    case XIO_DUPLICATE_KEY: return "A record with the same key already exists.";
    case XIO_BAD_KEY: return "The key does not exist in the dictionary.";
    case XIO_CORRUPT: return "The file is corrupt.";
    case XIO_CANCELLED: return "Cancelled by the user.";
    case XIO_NOT_AUTHORISED: return "The current operator is not authorized to open the file.";
    case XIO_IO_ERROR: return "The system could not read or write the file.";
    case XIO_DICTIONARY: return "The data dictionary is missing or damaged.";
    case XIO_VERSION: return "The file was made by a newer version of the program.";
    case XIO_TOO_MANY_FILES: return "Too many files are open.";
    case XIO_DISK_FULL: return "The disk is full.";
    case XIO_BAD_VALUE: return "The value does not fit the field.";
    case XIO_NEEDS_UPGRADE: return "The file must be upgraded before this program can use it.";
    case XIO_READ_ONLY: return "The file is open for reading only.";
    case XIO_NO_LOCKS: return "The folder's file system keeps no file locks between workstations.";
    default: return "Unexpected I/O error.";
    }
}
