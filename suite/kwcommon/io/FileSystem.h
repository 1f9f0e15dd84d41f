// What the record manager needs to know of the file system a data file lives on: whether
// it is a network file system shared by several workstations (SQLite's write-ahead log
// needs memory shared between the processes, which no network file system offers), and
// whether its byte-range locks reach the other workstations.
#pragma once

#include <string>

namespace kwio {

struct FileSystemInfo {
    long type = 0;          // statfs f_type
    std::string name;       // "nfs", "cifs", ... for messages
    bool network = false;   // shared between workstations
    bool sharedLocks = true; // byte-range locks are seen by the other workstations
    std::string options;    // the mount options, for messages
};

// Describes a file system type and its mount options (the seam's raw answer).
FileSystemInfo DescribeFileSystem(long type, const std::string& options);

// The file system of a folder: statfs and the mount table, or the probe set for tests.
FileSystemInfo FileSystemOf(const std::string& folder);

// Replaces how FileSystemOf learns a folder's file-system type and mount options (tests
// pretend a network share); null restores statfs and /proc/self/mountinfo.
using FileSystemProbe = bool (*)(const std::string& folder, long* type, std::string* options);
void SetFileSystemProbe(FileSystemProbe probe);

// Magic numbers of statfs f_type for the network file systems recognised.
constexpr long kNfsMagic = 0x6969;
constexpr long kSmbMagic = 0x517B;
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;

} // namespace kwio
