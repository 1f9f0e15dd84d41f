// The contract between the suite's data-upgrade host (qvupgrade) and an application's
// library: the three plain entry points the host looks up by name after loading the
// library, and the upgrade record it hands over for each record it converts.
//
// Upgrade record (x_upgrade_def), byte-packed, little-endian:
//   0   1  not used by the libraries (zero)
//   1   2  conversion step (signed 16-bit), see below
//   3   2  record type being converted (signed 16-bit)
//   5   4  file abbreviation, zero-ended ("QVI")
//   9   8  data version of the old record (a kwBase::Version value)
//   17  8  data version of the new record (a kwBase::Version value)
//   25  2  file number holding the old record in its buffer
//   27  2  file number holding the new record in its buffer
//   29  6  reserved for the host (zero)
// Bytes 0 to 34 are fixed. From offset 35 the record carries the host's report callback
// in this platform's form: two pointer-sized context words (35 and 43 on a 64-bit
// build), then the report function (51). The function takes the address of the context
// words and a message text. A library reports a message only when one of the two words
// is nonzero, and never shows anything itself.
//
// Steps. For every record of the old file the host calls the library three times:
//   1  the old record is in the old file's buffer; the new buffer holds the new
//      dictionary's defaults;
//   2  the host has moved every field that both dictionaries share (by name) into the
//      new buffer: the library fixes what that generic move cannot;
//   3  the new record has been written.
// Results: 0 the record converted well; X_UPGRADE_DROP (20000) the record is to be left
// out, the message saying so reported; anything else the conversion failed, the reason
// reported. The host then stops and leaves the old file as it was.
#pragma once

#include "kwcommon/values/kwVersion.h"

#include <cstddef>
#include <cstdint>

constexpr short X_UPGRADE_STEP_BEFORE_MOVE = 1;
constexpr short X_UPGRADE_STEP_CONVERT = 2;
constexpr short X_UPGRADE_STEP_WRITTEN = 3;

constexpr short X_UPGRADE_OK = 0;
constexpr short X_UPGRADE_DROP = 20000;
constexpr short X_UPGRADE_FAILED = 1;

extern "C" {
// The host's report function: the address of the record's context words and the text.
typedef void (*x_upgrade_report_fn)(uintptr_t* context, const char* message);
}

#pragma pack(push, 1)

struct x_upgrade_def {
    char unused0;                  // 0
    int16_t step;                  // 1
    int16_t recordType;            // 3
    char abbrev[4];                // 5
    kwBase::Version oldVersion;    // 9
    kwBase::Version newVersion;    // 17
    int16_t oldFile;               // 25
    int16_t newFile;               // 27
    char reserved29[6];            // 29
    uintptr_t context[2];          // 35  this platform's form of the two context words
    x_upgrade_report_fn report;    // 35 + 2 words
};

#pragma pack(pop)

static_assert(offsetof(x_upgrade_def, step) == 1);
static_assert(offsetof(x_upgrade_def, recordType) == 3);
static_assert(offsetof(x_upgrade_def, abbrev) == 5);
static_assert(offsetof(x_upgrade_def, oldVersion) == 9);
static_assert(offsetof(x_upgrade_def, newVersion) == 17);
static_assert(offsetof(x_upgrade_def, oldFile) == 25);
static_assert(offsetof(x_upgrade_def, newFile) == 27);
static_assert(offsetof(x_upgrade_def, context) == 35);
static_assert(offsetof(x_upgrade_def, report) == 35 + 2 * sizeof(uintptr_t));
static_assert(sizeof(x_upgrade_def) == 35 + 3 * sizeof(void*));

// The entry points as the host finds them (dlsym), exported with these plain names.
extern "C" {
// The library's name and version, each cut to its buffer.
typedef void (*x_dll_version_fn)(char* name, int nameSize, char* version, int versionSize);
// The lowest data version the library works with.
typedef void (*x_min_data_version_fn)(char* buffer, int size);
// One record's conversion; answers a result above.
typedef short (*x_upgrade_dllcall_fn)(x_upgrade_def* record);
}

inline constexpr const char* X_DLL_VERSION_NAME = "x_dll_version";
inline constexpr const char* X_MIN_DATA_VERSION_NAME = "x_min_data_version";
inline constexpr const char* X_UPGRADE_DLLCALL_NAME = "x_upgrade_dllcall";
