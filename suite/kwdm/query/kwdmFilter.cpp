// Filters of query nodes.
#include "kwdm/query/kwdmFilter.h"

#include "kwcommon/x_text.h"

void kwdmFilter::AddItem(const std::string& column, short comparison, const std::string& value, short join) {
    _items.push_back({column, comparison, value, join});
}

bool kwdmFilter::Equal(std::string_view stored, std::string_view value) {
    auto trimmed = [](std::string_view text) {
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        return text;
    };
    return trimmed(stored) == trimmed(value);
}

bool kwdmFilter::AsSelection(std::string* column, std::vector<std::string>* values) const {
    if (_items.empty()) return false;
    for (size_t i = 0; i < _items.size(); ++i) {
        const Item& item = _items[i];
        if (item.comparison != EQUAL || !x_equal_nocase(item.column, _items.front().column)) return false;
        if (i + 1 < _items.size() && item.join != OR) return false;
    }
    *column = _items.front().column;
    values->clear();
    for (const Item& item : _items) values->push_back(item.value);
    return true;
}

bool kwdmFilter::Passes(const std::function<bool(const std::string&, const std::string&)>& equal) const {
    if (_items.empty()) return true;
    bool group = true;
    for (size_t i = 0; i < _items.size(); ++i) {
        if (group) group = _items[i].comparison == EQUAL && equal(_items[i].column, _items[i].value);
        if (i + 1 == _items.size() || _items[i].join == OR) {
            if (group) return true;
            group = true;
        }
    }
    return false;
}
