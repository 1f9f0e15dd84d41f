// One condition against one record: building conditions from typed values, testing the
// record buffer, and the readable text of a condition.
#include "kwcommon/conditions/xc_conditions.h"

#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDateMonthYear.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

enum class Kind { Text, Number, YesNo, Date, MonthYear, Time, Choice };

Kind KindOf(const xio_fld_def& def) {
    switch (def.type) {
    case XIO_NUMBER:
        return Kind::Number;
    case XIO_YESNO:
        return Kind::YesNo;
    case XIO_DATE:
        return def.monthYear ? Kind::MonthYear : Kind::Date;
    case XIO_TIME:
        return Kind::Time;
    default:
        return def.type >= XIO_CHOICE && def.type <= XIO_CHOICE_LAST ? Kind::Choice : Kind::Text;
    }
}

bool Sectioned(const xio_fld_def& def) {
    return def.formatFlag && xk_multi_section(def.kind);
}

std::string Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

int CompareText(std::string_view a, std::string_view b) {
    const int c = Fold(TrimRight(a)).compare(Fold(TrimRight(b)));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int Sign(double a, double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Numbers that show alike are alike: both sides are rounded to the field's decimals.
int CompareNumber(double a, double b, int decimals) {
    const double scale = std::pow(10.0, std::clamp(decimals, 0, 9));
    const double ra = a * scale, rb = b * scale;
    if (std::fabs(ra) > 1e15 || std::fabs(rb) > 1e15) return Sign(a, b);
    return Sign(std::round(ra), std::round(rb));
}

void SetText(char (&target)[XC_VALUE_TEXT_SIZE], std::string_view text) {
    std::memset(target, 0, sizeof(target));
    const std::string cut = x_utf8_cut(text, XC_VALUE_TEXT_SIZE - 1);
    std::memcpy(target, cut.data(), cut.size());
}

std::string TextOf(const char (&text)[XC_VALUE_TEXT_SIZE]) {
    return std::string(text, strnlen(text, XC_VALUE_TEXT_SIZE));
}

std::unique_ptr<kwData> ValueOfKind(Kind kind, const xio_fld_def& def) {
    switch (kind) {
    case Kind::Number:
        return std::make_unique<kwDouble>(0.0, def.decimals);
    case Kind::YesNo:
        return std::make_unique<kwBool>();
    case Kind::Date:
        return std::make_unique<kwDate>(kwDate::Empty());
    case Kind::MonthYear:
        return std::make_unique<kwDateMonthYear>();
    case Kind::Time:
        return std::make_unique<kwTime>();
    default:
        return nullptr;
    }
}

// A social security number compares as its nine digits, whatever separators were typed.
std::string SsnDigits(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') digits += c;
    }
    return digits;
}

// The record manager may keep one as a number: leading zeros come back here.
std::string SsnOfNumber(double number) {
    if (number <= 0) return "";
    char text[32];
    std::snprintf(text, sizeof(text), "%09.0f", number);
    return text;
}

// A number-like value as it is shown ("" for no date or time).
std::string ShownNumber(Kind kind, const xio_fld_def& def, double number) {
    auto value = ValueOfKind(kind, def);
    if (!value) return "";
    x_value_def carrier;
    carrier.SetNumber(number);
    if (!value->FromXval(carrier)) return "";
    return value->Format();
}

// The item text of a choice (empty for no choice or an item the dictionary lacks).
std::string ItemText(short file, short field, double number) {
    const auto item = static_cast<short>(number);
    if (item < 1) return "";
    char text[XC_VALUE_TEXT_SIZE] = {};
    if (xio_get_item_alpha(file, field, item, text, sizeof(text)) != XIO_OK) return "";
    return text;
}

// Puts one value into a condition's text or number according to the field's kind.
bool TakeValue(short file, const xio_fld_def& def, Kind kind, const x_value_def& value,
               char (&text)[XC_VALUE_TEXT_SIZE], double* number) {
    switch (kind) {
    case Kind::Text: {
        std::string t = value.AsText();
        if (Sectioned(def)) t = xk_unformat_field(def.kind, def.qualifier, t);
        if (def.type == XIO_SSN) t = SsnDigits(t);
        SetText(text, t);
        return true;
    }
    case Kind::Choice: {
        if (value.IsNumber()) {
            if (value.number == 0) {
                SetText(text, "");
                return true;
            }
            const std::string item = ItemText(file, def.number, value.number);
            if (item.empty()) return false;
            SetText(text, item);
            return true;
        }
        const std::string wanted(TrimRight(value.text));
        if (wanted.empty()) {
            SetText(text, "");
            return true;
        }
        // Stored as the dictionary spells the item, so the text reads right later.
        for (short item = 1; item <= def.itemCount; ++item) {
            const std::string candidate = ItemText(file, def.number, item);
            if (CompareText(candidate, wanted) == 0) {
                SetText(text, candidate);
                return true;
            }
        }
        return false;
    }
    default: {
        auto typed = ValueOfKind(kind, def);
        bool ok = value.IsNumber() ? typed->FromXval(value) : typed->Set(value.text);
        if (!ok) return false;
        x_value_def carrier;
        typed->ToXval(carrier);
        *number = carrier.AsNumber();
        return true;
    }
    }
}

bool NeedsValue(short comparison) {
    return comparison != XC_BLANK && comparison != XC_NOT_BLANK;
}

bool ValidComparison(short comparison) {
    return comparison >= XC_EQUAL && comparison <= XC_COMPARISON_LAST;
}

// The record's value of the condition's field, read from the buffer.
struct RecordValue {
    std::string text;  // text kinds; for choices the item's text
    double number = 0; // number kinds
};

bool ReadValue(short file, const xio_fld_def& def, Kind kind, RecordValue* out) {
    if (kind == Kind::Text && def.longText) {
        return xio_get_long_text(file, def.number, &out->text) == XIO_OK;
    }
    x_value_def value;
    if (xio_get_field(file, 0, def.number, &value) != XIO_OK) return false;
    if (kind == Kind::Text) {
        out->text =
            def.type == XIO_SSN && value.IsNumber() ? SsnOfNumber(value.number) : value.AsText();
    } else if (kind == Kind::Choice) {
        out->text = ItemText(file, def.number, value.AsNumber());
    } else {
        out->number = value.AsNumber();
    }
    return true;
}

bool IsBlank(Kind kind, const xio_fld_def& def, const RecordValue& v) {
    switch (kind) {
    case Kind::Text:
    case Kind::Choice:
        return TrimRight(v.text).empty();
    case Kind::Number:
        return CompareNumber(v.number, 0, def.decimals) == 0;
    case Kind::Time:
        return v.number < 0;
    default:
        return v.number <= 0;
    }
}

// <0, 0, >0 of the record's value against a condition value.
int CompareWith(Kind kind, const xio_fld_def& def, const RecordValue& v, const char* text,
                double number) {
    switch (kind) {
    case Kind::Text:
    case Kind::Choice:
        return CompareText(v.text, text);
    case Kind::Number:
        return CompareNumber(v.number, number, def.decimals);
    case Kind::YesNo:
        return Sign(v.number != 0 ? 1 : 0, number != 0 ? 1 : 0);
    default:
        return Sign(std::round(v.number), std::round(number));
    }
}

// The record's value as it is shown, for "contains" and "begins with".
std::string Shown(Kind kind, const xio_fld_def& def, const RecordValue& v) {
    if (kind == Kind::Choice) return v.text;
    if (kind == Kind::Text)
        return Sectioned(def) ? xk_format_field(def.kind, def.qualifier, v.text) : v.text;
    return ShownNumber(kind, def, v.number);
}

std::string ShownConditionValue(Kind kind, const xio_fld_def& def,
                                const char (&text)[XC_VALUE_TEXT_SIZE], double number) {
    std::string shown;
    if (kind == Kind::Text) {
        shown = TextOf(text);
        if (Sectioned(def)) shown = xk_format_field(def.kind, def.qualifier, shown);
        return "\"" + shown + "\"";
    }
    if (kind == Kind::Choice) return "\"" + TextOf(text) + "\"";
    shown = ShownNumber(kind, def, number);
    return shown.empty() ? "\"\"" : shown;
}

const char* ComparisonWords(short comparison) {
    switch (comparison) {
    case XC_EQUAL:
        return "is equal to";
    case XC_NOT_EQUAL:
        return "is not equal to";
    case XC_LESS:
        return "is less than";
    case XC_LESS_EQUAL:
        return "is less than or equal to";
    case XC_GREATER:
        return "is greater than";
    case XC_GREATER_EQUAL:
        return "is greater than or equal to";
    case XC_BETWEEN:
        return "is between";
    case XC_CONTAINS:
        return "contains";
    case XC_BEGINS_WITH:
        return "begins with";
    case XC_BLANK:
        return "is blank";
    case XC_NOT_BLANK:
        return "is not blank";
    default:
        return "?";
    }
}

} // namespace

short xc_make_condition(short file, short field, short comparison, const x_value_def* value1,
                        const x_value_def* value2, short connector, xc_cond_def* condition) {
    if (!condition || !ValidComparison(comparison) || (connector != XC_AND && connector != XC_OR)) {
        return 0;
    }
    xio_fld_def def{};
    if (xio_get_fld_def(file, field, &def, 1, 1) != XIO_OK) return 0;
    xc_cond_def made;
    std::memset(&made, 0, sizeof(made));
    made.field = def.number;
    made.comparison = comparison;
    made.connector = connector;
    made.fieldType = def.type;
    made.recordType = def.recordType;
    std::memcpy(made.fieldName, def.name, sizeof(made.fieldName));
    made.fieldName[sizeof(made.fieldName) - 1] = 0;

    const Kind kind = KindOf(def);
    if (comparison == XC_CONTAINS || comparison == XC_BEGINS_WITH) {
        if (!value1) return 0;
        SetText(made.text1, value1->AsText());
    } else if (NeedsValue(comparison)) {
        if (!value1 || !TakeValue(file, def, kind, *value1, made.text1, &made.number1)) return 0;
        if (comparison == XC_BETWEEN &&
            (!value2 || !TakeValue(file, def, kind, *value2, made.text2, &made.number2))) {
            return 0;
        }
    }
    *condition = made;
    return 1;
}

short xc_condition_holds(short file, const xc_cond_def& condition) {
    xio_fld_def def{};
    if (xio_get_fld_def(file, condition.field, &def, 1, 1) != XIO_OK) return 0;
    const Kind kind = KindOf(def);
    RecordValue v;
    if (!ReadValue(file, def, kind, &v)) return 0;

    const short op = condition.comparison;
    if (op == XC_BLANK) return IsBlank(kind, def, v) ? 1 : 0;
    if (op == XC_NOT_BLANK) return IsBlank(kind, def, v) ? 0 : 1;
    if (op == XC_CONTAINS || op == XC_BEGINS_WITH) {
        const std::string shown = Fold(Shown(kind, def, v));
        const std::string pattern = Fold(TextOf(condition.text1));
        const size_t at = shown.find(pattern);
        return (op == XC_CONTAINS ? at != std::string::npos : at == 0) ? 1 : 0;
    }

    // No date or time is not a point in time: it is neither before nor after anything.
    const bool ordering = op != XC_EQUAL && op != XC_NOT_EQUAL;
    if (ordering && (kind == Kind::Date || kind == Kind::MonthYear || kind == Kind::Time) &&
        IsBlank(kind, def, v)) {
        return 0;
    }
    const int c1 = CompareWith(kind, def, v, condition.text1, condition.number1);
    switch (op) {
    case XC_EQUAL:
        return c1 == 0;
    case XC_NOT_EQUAL:
        return c1 != 0;
    case XC_LESS:
        return c1 < 0;
    case XC_LESS_EQUAL:
        return c1 <= 0;
    case XC_GREATER:
        return c1 > 0;
    case XC_GREATER_EQUAL:
        return c1 >= 0;
    case XC_BETWEEN: {
        const int c2 = CompareWith(kind, def, v, condition.text2, condition.number2);
        // The two ends may have been given in either order.
        RecordValue low;
        low.text = condition.text1;
        low.number = condition.number1;
        const bool reversed = CompareWith(kind, def, low, condition.text2, condition.number2) > 0;
        return reversed ? (c2 >= 0 && c1 <= 0) : (c1 >= 0 && c2 <= 0);
    }
    default:
        return 0;
    }
}

std::string xc_condition_text(short file, const xc_cond_def& condition) {
    xio_fld_def def{};
    if (xio_get_fld_def(file, condition.field, &def, 1, 1) != XIO_OK) {
        std::string name(condition.fieldName,
                         strnlen(condition.fieldName, sizeof(condition.fieldName)));
        return (name.empty() ? std::string("?") : name) + " " +
               ComparisonWords(condition.comparison);
    }
    const Kind kind = KindOf(def);
    std::string line = def.description[0] ? def.description : def.name;
    line += " ";
    line += ComparisonWords(condition.comparison);
    const short op = condition.comparison;
    if (op == XC_CONTAINS || op == XC_BEGINS_WITH) {
        line += " \"" + TextOf(condition.text1) + "\"";
    } else if (NeedsValue(op)) {
        line += " " + ShownConditionValue(kind, def, condition.text1, condition.number1);
        if (op == XC_BETWEEN) {
            line += " and " + ShownConditionValue(kind, def, condition.text2, condition.number2);
        }
    }
    return line;
}
