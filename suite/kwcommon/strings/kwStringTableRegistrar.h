// Registers a module's string table for as long as the module is loaded: each module holds
// one static registrar, so loading the library registers its texts and unloading it
// withdraws them.
#pragma once

#include "kwcommon/strings/kwStringTable.h"

#include <cstddef>
#include <string>

class kwStringTableRegistrar {
public:
    kwStringTableRegistrar(const char* module, const kwStringEntry* entries, size_t count);
    template <size_t N>
    kwStringTableRegistrar(const char* module, const kwStringEntry (&entries)[N])
        : kwStringTableRegistrar(module, entries, N) {}
    ~kwStringTableRegistrar();
    kwStringTableRegistrar(const kwStringTableRegistrar&) = delete;
    kwStringTableRegistrar& operator=(const kwStringTableRegistrar&) = delete;

    const std::string& Module() const { return _module; }

private:
    std::string _module;
    const kwStringEntry* _entries;
};
