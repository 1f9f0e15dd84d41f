// Yes/no values.
#include "kwcommon/values/kwBool.h"

#include "kwcommon/xio_dict.h"

#include <cmath>

short kwBool::TypeCode() const {
    return XIO_YESNO;
}

bool kwBool::Set(std::string_view input) {
    using kwDataText::EqualsNoCase;
    const std::string_view text = kwDataText::Trim(input);
    if (text.empty() || EqualsNoCase(text, "n") || EqualsNoCase(text, "no") ||
        EqualsNoCase(text, "false") || text == "0") {
        _value = false;
        return true;
    }
    if (EqualsNoCase(text, "y") || EqualsNoCase(text, "yes") || EqualsNoCase(text, "true") ||
        text == "1") {
        _value = true;
        return true;
    }
    return false;
}

int kwBool::Compare(const kwData& other) const {
    const auto* flag = dynamic_cast<const kwBool*>(&other);
    if (!flag) return CompareFormatted(other);
    return Order(_value, flag->_value);
}

bool kwBool::FromXval(const x_value_def& value) {
    if (value.IsNumber()) {
        if (std::isnan(value.number)) return false;
        _value = value.number != 0.0;
        return true;
    }
    return Set(value.AsText());
}

bool kwBool::CopyFrom(const kwData& other) {
    const auto* flag = dynamic_cast<const kwBool*>(&other);
    if (!flag) return false;
    _value = flag->_value;
    return true;
}
