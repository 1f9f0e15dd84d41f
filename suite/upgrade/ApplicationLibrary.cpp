// Loading an application's library for the upgrade.
#include "ApplicationLibrary.h"

bool ApplicationLibrary::Load(const std::string& logicalName, std::string* error) {
    if (!_library.Load(logicalName, error)) return false;
    const auto version = _library.Entry<x_dll_version_fn>(X_DLL_VERSION_NAME);
    const auto minimum = _library.Entry<x_min_data_version_fn>(X_MIN_DATA_VERSION_NAME);
    _convert = _library.Entry<x_upgrade_dllcall_fn>(X_UPGRADE_DLLCALL_NAME);
    for (const auto& [entry, name] : {std::pair<bool, const char*>{version != nullptr, X_DLL_VERSION_NAME},
                                      {minimum != nullptr, X_MIN_DATA_VERSION_NAME},
                                      {_convert != nullptr, X_UPGRADE_DLLCALL_NAME}}) {
        if (!entry) {
            *error = _library.File() + " has no entry point " + name + ": it takes no part in the upgrade.";
            _library.Unload();
            return false;
        }
    }
    char name[256] = {};
    char text[256] = {};
    version(name, sizeof name, text, sizeof text);
    _name = name;
    _version = text;
    char lowest[256] = {};
    minimum(lowest, sizeof lowest);
    _minDataVersion = lowest;
    return true;
}
