// The base button action.
#include "kwdm/definitions/kwdmButtonDef.h"

kwdmButtonEnabler kwdmButtonActionBase::MakeButtonEnabler() {
    return [](kwdmCallbackInfo&) { return true; };
}
