// Registers a module's menus, accelerators or bitmaps for as long as the module is loaded:
// the module holds one static registrar per table.
#pragma once

#include "kwapp/resources/kwBitmapResource.h"
#include "kwapp/resources/kwMenuResource.h"

#include <cstddef>
#include <string>

class kwResourceRegistrar {
public:
    template <size_t N>
    kwResourceRegistrar(const char* module, unsigned short id, const kwMenuEntry (&menu)[N])
        : _module(module), _kind(Kind::Menu) {
        kwMenuResource::RegisterMenu(_module, id, menu, N);
    }
    template <size_t N>
    kwResourceRegistrar(const char* module, unsigned short id, const kwAccelEntry (&keys)[N])
        : _module(module), _kind(Kind::Accelerators) {
        kwMenuResource::RegisterAccelerators(_module, id, keys, N);
    }
    template <size_t N>
    kwResourceRegistrar(const char* module, const kwBitmapEntry (&bitmaps)[N])
        : _module(module), _kind(Kind::Bitmaps) {
        kwBitmapResource::Register(_module, bitmaps, N);
    }
    ~kwResourceRegistrar();
    kwResourceRegistrar(const kwResourceRegistrar&) = delete;
    kwResourceRegistrar& operator=(const kwResourceRegistrar&) = delete;

private:
    enum class Kind { Menu, Accelerators, Bitmaps };
    std::string _module;
    Kind _kind;
};
