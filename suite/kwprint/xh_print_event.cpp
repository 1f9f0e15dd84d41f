// The print event's signature and its filling for a print without a dialog.
#include "kwprint/xh_print_event.h"

#include <cstring>

namespace {
constexpr char kSignature[4] = {'X', 'H', 'P', '1'};
} // namespace

xh_print_event* xh_print_event_of(void* eventData) {
    auto* event = static_cast<xh_print_event*>(eventData);
    if (!event || std::memcmp(event->signature, kSignature, sizeof kSignature) != 0) return nullptr;
    return event;
}

void xh_init_print_event(xh_print_event* event, short rangeSet, short conditionSet) {
    std::memset(event, 0, sizeof *event);
    std::memcpy(event->signature, kSignature, sizeof kSignature);
    event->rangeSet = rangeSet;
    event->conditionSet = conditionSet;
    event->destination = XH_TO_DEFAULT_PRINTER;
    event->status = -1; // unanswered until the printer answers
}
