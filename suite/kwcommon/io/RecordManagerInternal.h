// Calls of the record manager that only the data library's own classes use.
#pragma once

#include "kwcommon/xio_dict.h"

#include <memory>
#include <string>

namespace kwio {
struct OpenFile;
}

// Opens a data file with every option the file classes offer.
short kwio_open_data_file(const std::string& abbrev, const std::string& path, short programNumber, bool create,
                          bool readOnly, bool exclusive, short* fileNumber);

// Opens a data file (or, with dictionaryOnly, only record buffers) through a dictionary
// the caller holds instead of the company's dictionary of its abbreviation.
short kwio_open_with_dictionary(std::shared_ptr<const kwDictionary> dict, const std::string& path,
                                short programNumber, bool create, bool readOnly, bool exclusive, bool dictionaryOnly,
                                short* fileNumber);

// The state of an open file (nullptr for a number that is not open).
kwio::OpenFile* kwio_find_file(short file);
// Records a failed SQLite call on a file: its status and detail. Answers the status.
short kwio_fail_sqlite(kwio::OpenFile* file, int rc);
