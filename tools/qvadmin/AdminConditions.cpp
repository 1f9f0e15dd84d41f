// Parsing conditions typed as text.
#include "AdminConditions.h"

#include "AdminInput.h"

#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

#include <vector>

namespace {

struct Word {
    std::string text;
    bool quoted = false;
};

bool Split(const std::string& text, std::vector<Word>* words, std::string* error) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        Word word;
        if (text[i] == '"' || text[i] == '\'') {
            const char quote = text[i];
            const size_t end = text.find(quote, i + 1);
            if (end == std::string::npos) {
                *error = "a quote is not closed";
                return false;
            }
            word.text = text.substr(i + 1, end - i - 1);
            word.quoted = true;
            i = end + 1;
        } else {
            const size_t end = text.find_first_of(" \t", i);
            word.text = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? text.size() : end;
        }
        words->push_back(word);
    }
    return true;
}

short Comparison(const std::string& word) {
    static const struct {
        const char* word;
        short comparison;
    } words[] = {
        {"equal", XC_EQUAL},           {"equals", XC_EQUAL},         {"eq", XC_EQUAL},
        {"=", XC_EQUAL},               {"==", XC_EQUAL},             {"not-equal", XC_NOT_EQUAL},
        {"ne", XC_NOT_EQUAL},          {"!=", XC_NOT_EQUAL},         {"<>", XC_NOT_EQUAL},
        {"less", XC_LESS},             {"lt", XC_LESS},              {"<", XC_LESS},
        {"less-equal", XC_LESS_EQUAL}, {"le", XC_LESS_EQUAL},        {"<=", XC_LESS_EQUAL},
        {"greater", XC_GREATER},       {"gt", XC_GREATER},           {">", XC_GREATER},
        {"greater-equal", XC_GREATER_EQUAL}, {"ge", XC_GREATER_EQUAL}, {">=", XC_GREATER_EQUAL},
        {"between", XC_BETWEEN},       {"contains", XC_CONTAINS},    {"begins-with", XC_BEGINS_WITH},
        {"blank", XC_BLANK},           {"not-blank", XC_NOT_BLANK},
    };
    for (const auto& known : words)
        if (x_equal_nocase(word, known.word)) return known.comparison;
    return XC_NONE;
}

bool IsConnector(const Word& word) {
    return !word.quoted && (x_equal_nocase(word.text, "and") || x_equal_nocase(word.text, "or"));
}

std::string Join(const std::vector<Word>& words, size_t first, size_t end) {
    std::string joined;
    for (size_t i = first; i < end; ++i)
        joined += (i > first ? " " : "") + words[i].text;
    return joined;
}

const char* TypeHint(const xio_fld_def& def) {
    switch (def.type) {
    case XIO_NUMBER: return "a number";
    case XIO_YESNO: return "Yes or No";
    case XIO_TIME: return "a time such as 2:30 PM";
    default: return nullptr;
    }
}

// Whether the value can be one of the field's: in its format, no longer than it holds.
bool CheckValue(const xio_fld_def& def, short comparison, const std::string& value,
                std::string* error) {
    size_t bad = 0;
    if (!AdminIsUtf8(value, &bad)) {
        *error = "the value is not valid UTF-8 text";
        return false;
    }
    // A condition keeps its values in fixed fields; a cut value would select other records.
    const bool pattern = comparison == XC_CONTAINS || comparison == XC_BEGINS_WITH;
    if (value.size() > XC_VALUE_TEXT_SIZE - 1) {
        *error = "a condition's value holds at most " + std::to_string(XC_VALUE_TEXT_SIZE - 1) + " bytes; " +
                 AdminShown(value) + " has " + std::to_string(value.size());
        return false;
    }
    if (!pattern && (def.type == XIO_TEXT || def.type == XIO_PHONE) && def.width > 0 &&
        value.size() > static_cast<size_t>(def.width) && !def.longText) {
        *error = AdminShown(value) + " is longer than the " + std::string(def.description) + " field (" +
                 std::to_string(def.width) + " bytes)";
        return false;
    }
    return true;
}

} // namespace

bool AdminParseCondition(short file, const std::string& text, bool isLast, xc_cond_def* condition,
                         std::string* error) {
    std::vector<Word> words;
    if (!Split(text, &words, error)) return false;
    if (words.size() < 2) {
        *error = "a condition is FIELD OPERATOR [VALUE] [and|or]";
        return false;
    }
    const short field = xio_num(file, 0, 0, words[0].text.c_str());
    xio_fld_def def{};
    if (!field || xio_get_fld_def(file, field, &def, 1, 1) != XIO_OK || def.recordType != QV_RECORD_ISSUE) {
        *error = "the issue record has no field " + AdminShown(words[0].text) + " (qvadmin dict show QVI lists them)";
        return false;
    }
    const short comparison = words[1].quoted ? static_cast<short>(XC_NONE) : Comparison(words[1].text);
    if (comparison == XC_NONE) {
        *error = AdminShown(words[1].text) +
                 " is no operator: use equal, not-equal, less, less-equal, greater, greater-equal, between, "
                 "contains, begins-with, blank or not-blank";
        return false;
    }
    size_t end = words.size();
    short connector = XC_AND;
    if (end > 2 && IsConnector(words[end - 1])) {
        if (isLast) {
            *error = "the last condition ends in \"" + words[end - 1].text + "\" but no condition follows";
            return false;
        }
        connector = x_equal_nocase(words[end - 1].text, "or") ? static_cast<short>(XC_OR) : static_cast<short>(XC_AND);
        --end;
    }
    const std::string name = def.description[0] ? def.description : def.name;
    x_value_def value1, value2;
    if (comparison == XC_BLANK || comparison == XC_NOT_BLANK) {
        if (end > 2) {
            *error = words[1].text + " takes no value";
            return false;
        }
    } else if (comparison == XC_BETWEEN) {
        size_t split = 2;
        while (split < end && !IsConnector(words[split])) ++split;
        if (split == 2 || split + 1 >= end || !x_equal_nocase(words[split].text, "and")) {
            *error = "between takes two values: FIELD between VALUE and VALUE";
            return false;
        }
        const std::string low = Join(words, 2, split), high = Join(words, split + 1, end);
        if (!CheckValue(def, comparison, low, error) || !CheckValue(def, comparison, high, error))
            return false;
        value1.SetText(low);
        value2.SetText(high);
    } else {
        if (end <= 2) {
            *error = words[1].text + " needs a value";
            return false;
        }
        const std::string value = Join(words, 2, end);
        if (!CheckValue(def, comparison, value, error)) return false;
        value1.SetText(value);
    }
    if (!xc_make_condition(file, field, comparison, &value1, comparison == XC_BETWEEN ? &value2 : nullptr, connector,
                           condition)) {
        *error = "the value is not a valid " + name;
        if (def.type == XIO_DATE)
            *error += ": give a date as " + kwCompany::DateFormat();
        else if (def.type >= XIO_CHOICE && def.type <= XIO_CHOICE_LAST) {
            *error += ": give one of ";
            char item[XC_VALUE_TEXT_SIZE];
            for (short n = 1; n <= def.itemCount; ++n) {
                if (xio_get_item_alpha(file, field, n, item, sizeof(item)) == XIO_OK)
                    *error += (n > 1 ? ", " : "") + std::string(item);
            }
        } else if (const char* hint = TypeHint(def))
            *error += ": give " + std::string(hint);
        return false;
    }
    return true;
}
