// The registry is a function-local list: it exists from the first item made while the
// library is loaded and is ended with the library. An item leaves it in its destructor, so
// UpdateAll never reaches a label whose window is gone. The list is copied before the walk:
// an updater that makes or destroys items (a control list refilling its owner) leaves the
// walk intact.
#include "qvkit/labels/kclCustomFieldItem.h"

#include "qvkit/text/kclTermCode.h"

#include "kwapp/dialogs/kwCustomDescriptionsDlg.h"

#include <algorithm>

namespace {
std::vector<kclCustomFieldItem*>& Items() {
    static std::vector<kclCustomFieldItem*> items;
    return items;
}

// New descriptions reach every registered label, for as long as the library is loaded.
[[maybe_unused]] const bool hooked = (kwCustomDescriptionsDlg::AddChangedHandler([] { kclCustomFieldItem::UpdateAll(); }), true);
} // namespace

kclCustomFieldItem::kclCustomFieldItem(std::string text) : _text(std::move(text)) {}

kclCustomFieldItem::kclCustomFieldItem(const kclCustomFieldItem& other) : _text(other._text) {}

kclCustomFieldItem& kclCustomFieldItem::operator=(const kclCustomFieldItem& other) {
    _text = other._text;
    return *this;
}

kclCustomFieldItem::~kclCustomFieldItem() {
    auto& items = Items();
    auto it = std::find(items.begin(), items.end(), this);
    if (it != items.end()) items.erase(it);
}

void kclCustomFieldItem::Register() { Items().push_back(this); }

std::string kclCustomFieldItem::Replaced() const { return kclRepTermCode(_text); }
std::string kclCustomFieldItem::Replaced(const std::string& text) const { return kclRepTermCode(text); }

void kclCustomFieldItem::UpdateAll() {
    const std::vector<kclCustomFieldItem*> items = Items();
    for (kclCustomFieldItem* item : items) {
        // One destroyed by an earlier updater of this walk is skipped.
        if (std::find(Items().begin(), Items().end(), item) != Items().end()) item->Update();
    }
}

void kclCustomFieldItem::Update(unsigned short /*unused*/) { UpdateAll(); }

const std::vector<kclCustomFieldItem*>& kclCustomFieldItem::Registered() { return Items(); }
