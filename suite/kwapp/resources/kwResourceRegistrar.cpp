// A module's tables leave with the module.
#include "kwapp/resources/kwResourceRegistrar.h"

kwResourceRegistrar::~kwResourceRegistrar() {
    if (_kind == Kind::Bitmaps) kwBitmapResource::Unregister(_module);
    else kwMenuResource::Unregister(_module);
}
