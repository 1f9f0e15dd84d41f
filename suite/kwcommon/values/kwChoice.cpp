// Choice values.
#include "kwcommon/values/kwChoice.h"

#include "kwcommon/xio_dict.h"

#include <cmath>

kwChoice::kwChoice(std::vector<std::string> items, int selected, short typeCode)
    : _items(std::move(items)),
      _typeCode(typeCode >= XIO_CHOICE && typeCode <= XIO_CHOICE_LAST ? typeCode
                                                                      : short{XIO_CHOICE}) {
    if (!Select(selected)) _selected = 0;
}

void kwChoice::SetItems(std::vector<std::string> items) {
    _items = std::move(items);
    if (_selected > Count()) _selected = 0;
}

std::string kwChoice::Item(int n) const {
    if (n < 1 || n > Count()) return {};
    return _items[static_cast<size_t>(n - 1)];
}

bool kwChoice::Select(int n) {
    if (n < 0 || n > Count()) return false;
    _selected = n;
    return true;
}

int kwChoice::Find(std::string_view text) const {
    for (size_t i = 0; i < _items.size(); ++i)
        if (_items[i] == text) return static_cast<int>(i) + 1;
    return 0;
}

bool kwChoice::Set(std::string_view text) {
    if (const int found = Find(text)) {
        _selected = found;
        return true;
    }
    const std::string_view number = kwDataText::Trim(text);
    if (number.empty() || number.size() > 9) return false;
    int n = 0;
    for (char c : number) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > Count()) return false;
    _selected = n;
    return true;
}

int kwChoice::Compare(const kwData& other) const {
    const auto* choice = dynamic_cast<const kwChoice*>(&other);
    if (!choice) return CompareFormatted(other);
    return Order(_selected, choice->_selected);
}

bool kwChoice::FromXval(const x_value_def& value) {
    if (!value.IsNumber()) return Set(value.AsText());
    const double number = value.number;
    if (!std::isfinite(number) || number != std::trunc(number) || number < 0 || number > Count())
        return false;
    _selected = static_cast<int>(number);
    return true;
}

bool kwChoice::CopyFrom(const kwData& other) {
    const auto* choice = dynamic_cast<const kwChoice*>(&other);
    if (!choice) return false;
    return Select(choice->_selected);
}
