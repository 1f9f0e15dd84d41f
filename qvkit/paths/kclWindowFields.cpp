// The installed access to the suite windows' fields.
#include "qvkit/paths/kclWindowFields.h"

#include <utility>

namespace {
kclWindowFieldAccess& Access() {
    static kclWindowFieldAccess access;
    return access;
}
} // namespace

void kclSetWindowFieldAccess(kclWindowFieldAccess access) {
    Access() = std::move(access);
}

const kclWindowFieldAccess& kclWindowFields() {
    return Access();
}
