// The base button action.
#include "kwdm/spec/kwdmButtonSpec.h"

kwdmButtonEnabler kwdmButtonActionBase::MakeButtonEnabler() {
    return [](kwdmCallbackInfo&) { return true; };
}
