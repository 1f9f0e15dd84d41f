// The drive that is current for the process. This platform has no drive letters, so the
// answer is none (0); a seam lets the suite's drive-letter rules be run and tested.
#pragma once

#include <functional>
#include <string>

// The current drive's letter, or 0 when there is none.
char kclCurrentDrive();
// The current drive as a path prefix: "C:", or "" when there is none.
std::string kclCurrentDrivePrefix();

// Replaces the source of the current drive; an empty function restores the platform's.
using kclDriveSource = std::function<char()>;
void kclSetCurrentDriveSource(kclDriveSource source);
