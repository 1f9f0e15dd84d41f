// The Links page registers itself from its own source file when the library loads.
#include "qvcore/newissue/niLinksPageSlot.h"

namespace {
niLinksPageSlot::Factory& Slot() {
    static niLinksPageSlot::Factory factory = nullptr;
    return factory;
}
} // namespace

void niLinksPageSlot::Register(Factory factory) {
    Slot() = factory;
}

niLinksPageSlot::Factory niLinksPageSlot::Registered() {
    return Slot();
}
