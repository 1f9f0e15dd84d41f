// Finds and loads the mail service at run time by its logical name ("MAPI32.DLL" is the
// file libmapi.so), so programs run on machines without it: next to the executable first,
// then next to this library, then on the library path.
#pragma once

#include "kwcommon/kwSeam.h"

#include <string>
#include <string_view>

class kclMailLibrary {
public:
    static constexpr const char* kLogicalName = "MAPI32.DLL";

    // The file of a logical library name: "MAPI32.DLL" -> "libmapi.so"; other names are
    // taken as file names.
    static std::string FileName(std::string_view logicalName);

    // The loaded library, loading it on first use; null when it cannot be loaded. A loaded
    // library stays loaded for the life of the process.
    static void* Handle();
    // An entry point of the library; null when the library or the entry is missing.
    static void* Symbol(const char* name);
    // Why the last load failed.
    static const std::string& LastError();

    // Stands in for the mail service's file: the file (a path or a bare file name) to load
    // instead. Takes effect at the next Handle().
    static kwSeam<std::string()>& FileSeam();
};
