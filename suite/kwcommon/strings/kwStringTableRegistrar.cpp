// A module's string table stays registered exactly as long as the module is loaded.
#include "kwcommon/strings/kwStringTableRegistrar.h"

kwStringTableRegistrar::kwStringTableRegistrar(const char* module, const kwStringEntry* entries,
                                               size_t count)
    : _module(module ? module : ""), _entries(entries) {
    kwRegisterStringTable(_module, entries, count);
}

kwStringTableRegistrar::~kwStringTableRegistrar() {
    kwUnregisterStringTable(_module, _entries);
}
