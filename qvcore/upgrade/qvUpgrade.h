// The library's part in the suite's data upgrade: three entry points exported with plain
// (undecorated) names, which the upgrade host finds by name after loading the library.
// The upgrade record and the results are the host's contract (upgrade/x_upgrade.h).
//
// Two conversions of the issue record (file "QVI", record type 1, step 2), each applied
// when the old record's data version is below its threshold and the new one's is not:
//   4.3.0  ARSTYPE counted from 0 before: a 0 becomes 1 (the first item);
//   7.0.0  the bank-register link: CMBANK and the check number CMCHECK become the
//          register transaction's run and sequence (CMTRUN, CMTSEQ), read from
//          REGISTER.CMT; an issue whose check is not in the register is dropped.
#pragma once

#include "qvcore/qvcore_export.h"
#include "upgrade/x_upgrade.h"

extern "C" {
// Copies the library's name and version, each cut to its buffer (sizes count the ending
// zero): the version resource's description and its file version as kwBase::Version
// writes it; "qvcore Library" and "XX.XX.XX" when the resource cannot be read.
QVCORE_EXPORT void x_dll_version(char* name, int nameSize, char* version, int versionSize);
// Copies the lowest data version the library works with (literal 51, "9.8.26").
QVCORE_EXPORT void x_min_data_version(char* buffer, int size);
// Converts one record: X_UPGRADE_OK, X_UPGRADE_DROP, 1 or the status of a failed open of
// the bank register, with the reason reported through the record's callback.
QVCORE_EXPORT short x_upgrade_dllcall(x_upgrade_def* record);
}
