// A program or data version of the suite: "major.minor.build", compared part by part.
#pragma once

#include <compare>
#include <string>

namespace kwBase {

class Version {
public:
    Version() = default;
    // Parses "13.1.24" (one to three numeric parts; missing parts are 0). A text that is not
    // a version gives an invalid version (0.0.0, Valid() false).
    explicit Version(const std::string& text);
    Version(int major, int minor, int build);

    bool Valid() const { return _valid; }
    int Major() const { return _major; }
    int Minor() const { return _minor; }
    int Build() const { return _build; }
    // "13.1.24"; an invalid version gives "".
    std::string ToString() const;

    std::strong_ordering operator<=>(const Version& other) const;
    bool operator==(const Version& other) const;

private:
    int _major = 0;
    int _minor = 0;
    int _build = 0;
    bool _valid = false;
};

} // namespace kwBase
