// An object the framework creates by name or number from the object registry.
#pragma once

class kwRegistryObject {
public:
    kwRegistryObject() = default;
    virtual ~kwRegistryObject();
    kwRegistryObject(const kwRegistryObject&) = delete;
    kwRegistryObject& operator=(const kwRegistryObject&) = delete;
};
