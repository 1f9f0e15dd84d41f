// Registers a class with the object registry for as long as its library is loaded: the
// library holds one static proxy per class.
#pragma once

#include "kwapp/app/kwObjectRegistry.h"

#include <memory>
#include <string>

template <class T> class kwRegistryProxy {
public:
    kwRegistryProxy(const char* typeName, long number) : _name(typeName) {
        _registered = kwObjectRegistry::Instance().Register(
            _name, number, [] { return std::unique_ptr<kwRegistryObject>(std::make_unique<T>()); });
    }
    ~kwRegistryProxy() {
        if (_registered) kwObjectRegistry::Instance().Unregister(_name);
    }
    kwRegistryProxy(const kwRegistryProxy&) = delete;
    kwRegistryProxy& operator=(const kwRegistryProxy&) = delete;

    bool Registered() const { return _registered; }

private:
    std::string _name;
    bool _registered = false;
};
