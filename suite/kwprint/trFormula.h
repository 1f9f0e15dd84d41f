// Formulas: named expressions over the fields of an application's records, kept per
// company (trFormulaFile.h), checked when they are saved and evaluated by the report
// printer for a design's formula columns.
//
// The language:
//   numbers 12, 3.5        texts "in quotes" ("" inside stands for one ")
//   fields by their dictionary name, in any letter case: DUEDATE, issue
//   arithmetic  + - * /    on numbers; date + days, date - days, date - date (days)
//   joining     &          of any two values, as they are shown
//   comparison  = <> < <= > >=   of two values of one type (the answer is yes or no)
//   logic       and or not       of yes/no values
//   functions   if(condition, then, else)   then and else of one type
//               round(number, places)  trunc(number)  abs(number)
//               min(a, b)  max(a, b)   of numbers
//               today()  year(date)  month(date)  day(date)
//               adddays(date, days)  days(from, to)  (days from one date to another)
//               text(value)  len(text)  upper(text)  lower(text)
//               left(text, n)  right(text, n)
//   parentheses group; * and / bind tighter than + and -, those tighter than &, then the
//   comparisons, not, and, or.
// A formula is checked as a whole before it is kept: its syntax, its field names against
// the dictionary and the types of every operation. An error names the position (the
// 1-based character where it was found) and what is wrong.
//
// Evaluation never fails: an empty date gives an empty result through date arithmetic,
// division by zero gives an empty result, and an empty result prints as nothing.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

enum class trFormulaType { Number, Text, Date, YesNo };

// A date as a day number (days since 1970-01-01); empty when the field holds none.
struct trFormulaDate {
    std::optional<long> day;
    bool operator==(const trFormulaDate&) const = default;
};

// A value of a field or of a formula. std::monostate: empty (a failed division).
using trFormulaValue = std::variant<std::monostate, double, std::string, trFormulaDate, bool>;

class trFormula {
public:
    // Where a formula went wrong: position is 1-based in the text.
    struct Error {
        int position = 0;
        std::string message;
        // "Position 7: ..." for people.
        std::string Text() const;
    };
    // The type of a field by name (case-insensitive), none for a name the record lacks.
    using FieldTypes = std::function<std::optional<trFormulaType>(const std::string& name)>;
    // The current record's value of a field the formula names (its name as the record spells it).
    using FieldValues = std::function<trFormulaValue(const std::string& name)>;

    // Parses and checks text. nullptr with *error when it does not hold.
    static std::unique_ptr<trFormula> Compile(const std::string& text, const FieldTypes& fields, Error* error);
    ~trFormula();

    trFormulaType Type() const { return _type; }
    trFormulaValue Evaluate(const FieldValues& fields) const;
    // The value as a report shows it: dates in the company's format, yes/no as "Yes"/"No",
    // numbers without needless decimals.
    static std::string Shown(const trFormulaValue& value);
    static const char* TypeName(trFormulaType type);

    struct Node;

private:
    trFormula(std::unique_ptr<Node> root, trFormulaType type);
    std::unique_ptr<Node> _root;
    trFormulaType _type;
};
