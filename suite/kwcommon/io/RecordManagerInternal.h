// Calls of the record manager that only the data library's own classes use.
#pragma once

#include <string>

namespace kwio {
struct OpenFile;
}

// Opens a data file with every option the file classes offer.
short kwio_open_data_file(const std::string& abbrev, const std::string& path, short programNumber, bool create,
                          bool readOnly, bool exclusive, short* fileNumber);
// The open file of a file number, nullptr when none (for the record manager's other files).
kwio::OpenFile* kwio_find_open_file(short file);
