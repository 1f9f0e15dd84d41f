// The suite's file names: the drive and folder of a data file, splitting a path into folder
// and name, completing a path with the current drive, and finding report designs (files
// with the extension ".RPT"). Paths are compared in their universal form (kwUniversalName).
// Buffers hold kclPathBufferSize bytes unless a size is passed; results that do not fit
// leave the buffer as it was rather than hand back a cut path.
#pragma once

#include <string>

inline constexpr int kclPathBufferSize = 256;

// The drive letter of an open data file, or else the current drive (0: none).
char kclGetFileDrive(short file);
// The data file's path in universal form; empty when the file is not open or the path
// does not fit in size bytes.
void kclGetFilePathname(short file, char* buffer, short size);
// Splits a path's universal form after its last separator. 1 on success, with the name
// and the folder (ending in a separator; empty for a bare name) written; 0 when the name
// is empty or too long, or the folder too long, with nothing written.
short kclParsePathname(char* folder, char* name, const std::string& path);
// Puts the current drive in front of a path that starts at the root (one separator, not
// the two of a network path). Unchanged when there is no current drive.
void kclAddDrive(char* path);
// The default place of a file kind: the file control's folder for the abbreviation (with
// the current drive when it starts at the root), else "*." followed by the abbreviation;
// in universal form. A new buffer of kclPathBufferSize bytes, freed with delete[].
char* kclGetDefaultPath(const char* abbreviation);
// Appends ".RPT" unless ".RPT" or ".rpt" already occurs in the name.
void kclAddRptExtension(char* name);
// Cuts the name at its first ".RPT", or else at its first ".rpt".
void kclRemoveRptExtension(char* name);
// Finds the report design name (kwPath::LocateReport); 1 when found, and the name becomes
// the design's full path. In every case the name is then put in universal form.
short kclValidateDesignNameAndAddPath(char* name, bool tryExtension);
// As kclValidateDesignNameAndAddPath with the extension tried, but the name changes only
// when the design is found.
short kclValidateDesignName(char* name);
// Drops the folder of a name that lies in the reports folder or the file control's
// "RPT" folder; any other name becomes its full universal form. size: the buffer's bytes.
void kclStripReportPathFromFilename(char* name, short size);

// Helpers shared by the path and file-selection functions.
namespace kclPathRules {
// kclAddDrive on a string.
std::string WithDrive(const std::string& path);
// The folder with a trailing separator (empty stays empty), for comparing folders.
std::string AsFolder(const std::string& folder);
// The file control's folder for "RPT" ("" when none).
std::string ReportControlFolder();
} // namespace kclPathRules
