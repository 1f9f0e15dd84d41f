// The library's link object in the framework's object registry (type "qvcore_DynLinkObject",
// number 500000): made by the application at start-up, it links the library into the
// resource chain and keeps the library loaded until it is released.
#pragma once

#include "kwapp/app/kwRegistryObject.h"

#include <string>

class kwDynLinkLibrary;

inline constexpr const char* QVCORE_DYNLINK_TYPE = "qvcore_DynLinkObject";
inline constexpr long QVCORE_DYNLINK_NUMBER = 500000;

class qvcore_DynLinkObject : public kwRegistryObject {
public:
    qvcore_DynLinkObject();
    ~qvcore_DynLinkObject() override;

    kwDynLinkLibrary* Link() const { return _link; }
    // True while the object holds its own load of the library.
    bool HoldsLibrary() const { return _self != nullptr; }

private:
    kwDynLinkLibrary* _link = nullptr;
    void* _self = nullptr;
};

// The path of the loaded library file.
std::string qvcore_ModulePath();
