// Calls of the record manager that only the data library's own classes use.
#pragma once

#include <string>

// Opens a data file with every option the file classes offer.
short kwio_open_data_file(const std::string& abbrev, const std::string& path, short programNumber, bool create,
                          bool readOnly, bool exclusive, short* fileNumber);
