// The current drive and its replaceable source.
#include "qvkit/paths/kclCurrentDrive.h"

#include <utility>

namespace {
kclDriveSource& Source() {
    static kclDriveSource source;
    return source;
}
} // namespace

char kclCurrentDrive() {
    const kclDriveSource& source = Source();
    return source ? source() : '\0';
}

std::string kclCurrentDrivePrefix() {
    const char drive = kclCurrentDrive();
    return drive ? std::string{drive, ':'} : std::string();
}

void kclSetCurrentDriveSource(kclDriveSource source) {
    Source() = std::move(source);
}
