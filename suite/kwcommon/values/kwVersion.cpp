// Versions as the suite writes them: dotted decimal, at most three parts.
#include "kwcommon/values/kwVersion.h"

#include <charconv>
#include <cstdint>

namespace kwBase {

Version::Version(const std::string& text) {
    int parts[3] = {0, 0, 0};
    int count = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (count == 3) return;
        int value = 0;
        auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc() || next == p || value < 0 || value > INT16_MAX) return;
        parts[count++] = value;
        p = next;
        if (p == end) break;
        if (*p != '.' || p + 1 == end) return;
        ++p;
    }
    if (count == 0) return;
    _major = static_cast<int16_t>(parts[0]);
    _minor = static_cast<int16_t>(parts[1]);
    _build = static_cast<int16_t>(parts[2]);
    _valid = 1;
}

Version::Version(int major, int minor, int build) {
    auto inRange = [](int part) { return part >= 0 && part <= INT16_MAX; };
    if (!inRange(major) || !inRange(minor) || !inRange(build)) return;
    _major = static_cast<int16_t>(major);
    _minor = static_cast<int16_t>(minor);
    _build = static_cast<int16_t>(build);
    _valid = 1;
}

std::string Version::ToString() const {
    if (!_valid) return {};
    return std::to_string(_major) + "." + std::to_string(_minor) + "." + std::to_string(_build);
}

std::strong_ordering Version::operator<=>(const Version& other) const {
    if (auto c = _major <=> other._major; c != 0) return c;
    if (auto c = _minor <=> other._minor; c != 0) return c;
    return _build <=> other._build;
}

bool Version::operator==(const Version& other) const {
    return _major == other._major && _minor == other._minor && _build == other._build;
}

} // namespace kwBase
