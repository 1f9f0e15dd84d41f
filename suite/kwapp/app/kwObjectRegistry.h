// The framework's object registry: libraries register factories (through a static
// kwRegistryProxy) under a type name and a registry number while they are loaded, and the
// framework creates objects by name, or every object of a number. Numbers are categories:
// several libraries register under the same one.
#pragma once

#include "kwapp/app/kwRegistryObject.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class kwObjectRegistry {
public:
    using Factory = std::function<std::unique_ptr<kwRegistryObject>()>;

    // Library link objects: made by the application at start-up so that each library joins
    // the resource chain and stays loaded, released when the program ends.
    static constexpr long LIBRARY_LINK = 500000;

    static kwObjectRegistry& Instance();

    // false when the name is taken (the first registration stays) or the factory is empty.
    bool Register(const std::string& typeName, long number, Factory factory);
    void Unregister(const std::string& typeName);
    bool IsRegistered(const std::string& typeName) const;
    // The number a name is registered under; -1 when none.
    long NumberOf(const std::string& typeName) const;
    // Names registered under a number, in registration order.
    std::vector<std::string> NamesOf(long number) const;

    std::unique_ptr<kwRegistryObject> Create(const std::string& typeName) const;

private:
    kwObjectRegistry() = default;
    struct Entry {
        std::string name;
        long number;
        Factory factory;
    };
    std::vector<Entry> _entries;
};
