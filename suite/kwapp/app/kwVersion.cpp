// Versions as the suite writes them: dotted decimal, at most three parts.
#include "kwapp/app/kwVersion.h"

#include <charconv>

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
        if (ec != std::errc() || next == p || value < 0) return;
        parts[count++] = value;
        p = next;
        if (p == end) break;
        if (*p != '.' || p + 1 == end) return;
        ++p;
    }
    if (count == 0) return;
    _major = parts[0];
    _minor = parts[1];
    _build = parts[2];
    _valid = true;
}

Version::Version(int major, int minor, int build)
    : _major(major), _minor(minor), _build(build), _valid(major >= 0 && minor >= 0 && build >= 0) {}

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
