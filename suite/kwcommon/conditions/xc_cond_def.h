// One record-selection condition as the data library hands it out and takes it back.
// The record is byte-packed and little-endian, 210 bytes, and is stored as it is in
// files of other programs (the saved queries keep arrays of them): never move a member.
#pragma once

#include <cstddef>
#include <cstdint>

// How a field's value is compared with the condition's values.
enum xc_comparison : short {
    XC_NONE = 0, // an empty record (zero-filled); never accepted into a set
    XC_EQUAL = 1,
    XC_NOT_EQUAL = 2,
    XC_LESS = 3,
    XC_LESS_EQUAL = 4,
    XC_GREATER = 5,
    XC_GREATER_EQUAL = 6,
    XC_BETWEEN = 7, // value 1 <= field <= value 2, both ends included
    XC_CONTAINS = 8,
    XC_BEGINS_WITH = 9,
    XC_BLANK = 10,
    XC_NOT_BLANK = 11,
    XC_COMPARISON_LAST = XC_NOT_BLANK,
};

// How a condition joins the one after it. "And" binds tighter than "or":
// a and b or c and d means (a and b) or (c and d). The last condition's connector is
// not used.
enum xc_connector : short {
    XC_AND = 0,
    XC_OR = 1,
};

constexpr int XC_VALUE_TEXT_SIZE = 82; // 81 bytes of text and the terminating zero
constexpr int XC_COND_SIZE = 210;

#pragma pack(push, 1)
// Which of a value's two forms counts depends on the field's type:
//   text, phone, social security number, choice (the item's text):   the text
//   number, yes/no (0/1), date (YYYYMMDD), time (HHMMSS):            the number
// except that "contains" and "begins with" always take their pattern from text1.
// Both forms are kept so a condition stays readable and comparable when a field's type
// changes in a later dictionary.
struct xc_cond_def {
    int16_t field;                  // 0   field number in the file's dictionary
    int16_t comparison;             // 2   xc_comparison
    int16_t connector;              // 4   xc_connector to the next condition
    int16_t fieldType;              // 6   the field's type code when the condition was made
    int16_t recordType;             // 8   record type of the field
    char fieldName[8];              // 10  the field's name: finds the field again when the
                                    //     dictionary has renumbered its fields
    char text1[XC_VALUE_TEXT_SIZE]; // 18  first value, text form
    double number1;                 // 100 first value, number form
    char text2[XC_VALUE_TEXT_SIZE]; // 108 second value ("between"), text form
    double number2;                 // 190 second value, number form
    char reserved[12];              // 198 zero
};
#pragma pack(pop)

static_assert(sizeof(xc_cond_def) == XC_COND_SIZE);
static_assert(offsetof(xc_cond_def, comparison) == 2);
static_assert(offsetof(xc_cond_def, connector) == 4);
static_assert(offsetof(xc_cond_def, fieldName) == 10);
static_assert(offsetof(xc_cond_def, text1) == 18);
static_assert(offsetof(xc_cond_def, number1) == 100);
static_assert(offsetof(xc_cond_def, text2) == 108);
static_assert(offsetof(xc_cond_def, number2) == 190);
static_assert(offsetof(xc_cond_def, reserved) == 198);
