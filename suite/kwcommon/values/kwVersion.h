// A program or data version of the suite: "major.minor.build", compared part by part.
//
// A Version is a plain 8-byte value, so records shared between modules (the upgrade
// record of the data-upgrade host) carry it as it is. Layout, little-endian:
//   0  major  (signed 16-bit)
//   2  minor  (signed 16-bit)
//   4  build  (signed 16-bit)
//   6  valid  (signed 16-bit: 1 a version, 0 none)
// Each part lies between 0 and 32767; a text with a larger part is no version.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace kwBase {

class Version {
public:
    Version() = default;
    // Parses "13.1.24" (one to three numeric parts; missing parts are 0). A text that is not
    // a version gives an invalid version (0.0.0, Valid() false).
    explicit Version(const std::string& text);
    Version(int major, int minor, int build);

    bool Valid() const { return _valid != 0; }
    int Major() const { return _major; }
    int Minor() const { return _minor; }
    int Build() const { return _build; }
    // "13.1.24"; an invalid version gives "".
    std::string ToString() const;

    std::strong_ordering operator<=>(const Version& other) const;
    bool operator==(const Version& other) const;

private:
    int16_t _major = 0;
    int16_t _minor = 0;
    int16_t _build = 0;
    int16_t _valid = 0;

    friend struct VersionLayout;
};

// The byte layout above, pinned.
struct VersionLayout {
    static constexpr size_t kMajor = offsetof(Version, _major);
    static constexpr size_t kMinor = offsetof(Version, _minor);
    static constexpr size_t kBuild = offsetof(Version, _build);
    static constexpr size_t kValid = offsetof(Version, _valid);
};
static_assert(sizeof(Version) == 8);
static_assert(std::is_trivially_copyable_v<Version> && std::is_standard_layout_v<Version>);
static_assert(VersionLayout::kMajor == 0 && VersionLayout::kMinor == 2 && VersionLayout::kBuild == 4 &&
              VersionLayout::kValid == 6);

} // namespace kwBase
