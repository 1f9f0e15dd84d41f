// The universal form of a path: one spelling per file, so that two routes to the same
// file (a symbolic link, "..", doubled separators) compare equal as text.
#pragma once

#include <string>

// An absolute path becomes its canonical form: links resolved as far as the path exists,
// "." and ".." removed, separators single; a trailing separator is kept, so a folder
// stays recognisable as one. A relative name and a path with a drive prefix ("C:") do
// not name one place on this platform and come back unchanged, as do empty paths.
std::string kwUniversalName(const std::string& path);
