// The running application's abbreviation, set once by the program at start-up.
#include "kwcommon/strings/kwAppAbbreviation.h"

#include <mutex>

namespace {
struct Abbreviation {
    std::mutex mutex;
    std::string value = "QV";
};

Abbreviation& TheAbbreviation() {
    static Abbreviation abbreviation;
    return abbreviation;
}
} // namespace

std::string kwAppAbbreviation() {
    Abbreviation& a = TheAbbreviation();
    std::lock_guard lock(a.mutex);
    return a.value;
}

void kwSetAppAbbreviation(const std::string& abbreviation) {
    Abbreviation& a = TheAbbreviation();
    std::lock_guard lock(a.mutex);
    a.value = abbreviation;
}
