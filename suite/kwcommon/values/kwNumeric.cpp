// Number values: comparison and copying across the number kinds.
#include "kwcommon/values/kwNumeric.h"

#include "kwcommon/xio_dict.h"

#include <cmath>

short kwNumeric::TypeCode() const {
    return XIO_NUMBER;
}

int kwNumeric::Compare(const kwData& other) const {
    const auto* number = dynamic_cast<const kwNumeric*>(&other);
    if (!number) return CompareFormatted(other);
    return Order(Value(), number->Value());
}

bool kwNumeric::FromXval(const x_value_def& value) {
    if (value.IsNumber()) {
        if (std::isnan(value.number)) return false;
        SetValue(value.number);
        return true;
    }
    return Set(value.AsText());
}

bool kwNumeric::CopyFrom(const kwData& other) {
    const auto* number = dynamic_cast<const kwNumeric*>(&other);
    if (!number) return false;
    SetValue(number->Value());
    return true;
}
