// An application's library as the upgrade host uses it: loaded by name at run time, its
// three upgrade entry points found by their plain names, its name, version and lowest
// data version read once.
#pragma once

#include "upgrade/x_upgrade.h"

#include "kwcommon/xdll.h"

#include <string>

class ApplicationLibrary {
public:
    // Loads the library of a logical name ("QVCORE.DLL"); false with *error saying what
    // is missing.
    bool Load(const std::string& logicalName, std::string* error);

    const std::string& Name() const { return _name; }
    const std::string& Version() const { return _version; }
    const std::string& MinDataVersion() const { return _minDataVersion; }
    const std::string& File() const { return _library.File(); }

    // One record's conversion (x_upgrade_dllcall).
    short Convert(x_upgrade_def* record) const { return _convert(record); }

private:
    xdll_library _library;
    x_upgrade_dllcall_fn _convert = nullptr;
    std::string _name;
    std::string _version;
    std::string _minDataVersion;
};
