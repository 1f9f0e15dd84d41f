// Registrations come from static objects of libraries while they load and unload, all on
// the loading thread, and objects are created on the user-interface thread.
#include "kwapp/app/kwObjectRegistry.h"

kwRegistryObject::~kwRegistryObject() = default;

kwObjectRegistry& kwObjectRegistry::Instance() {
    static kwObjectRegistry registry;
    return registry;
}

bool kwObjectRegistry::Register(const std::string& typeName, long number, Factory factory) {
    if (typeName.empty() || !factory || IsRegistered(typeName)) return false;
    _entries.push_back({typeName, number, std::move(factory)});
    return true;
}

void kwObjectRegistry::Unregister(const std::string& typeName) {
    std::erase_if(_entries, [&](const Entry& entry) { return entry.name == typeName; });
}

bool kwObjectRegistry::IsRegistered(const std::string& typeName) const {
    return NumberOf(typeName) != -1;
}

long kwObjectRegistry::NumberOf(const std::string& typeName) const {
    for (const Entry& entry : _entries)
        if (entry.name == typeName) return entry.number;
    return -1;
}

std::vector<std::string> kwObjectRegistry::NamesOf(long number) const {
    std::vector<std::string> names;
    for (const Entry& entry : _entries)
        if (entry.number == number) names.push_back(entry.name);
    return names;
}

std::unique_ptr<kwRegistryObject> kwObjectRegistry::Create(const std::string& typeName) const {
    for (const Entry& entry : _entries)
        if (entry.name == typeName) return entry.factory();
    return nullptr;
}
