// A design's fields bound to an open file: each field name resolved once against the
// file's dictionary, and the current record's values shown as users read them (dates in
// the company's format, choices and yes/no as words, sectioned keys with separators).
#pragma once

#include "kwprint/trFormula.h"
#include "kwprint/trReportDesign.h"

#include "kwcommon/xio_dict.h"

#include <map>
#include <memory>
#include <string>

class trFieldText {
public:
    // Resolves every field the design names (items, {field:NAME}, columns, groups) in the
    // file, which must hold the design's record type. orderKey names the selection's
    // order for a group "by order". false with *error naming origin (the design file) and
    // the place in it.
    bool Bind(const trReportDesign& design, const std::string& origin, short file, short recordType,
              short orderKey, std::string* error);

    // The current record's value of a bound field as shown; "" for a name not bound.
    std::string Text(const std::string& name) const;
    // The words that head a field: the company's description of its custom list, else
    // the dictionary's description, with term codes replaced.
    std::string Label(const std::string& name) const;
    // Numbers read best aligned right.
    bool IsNumber(const std::string& name) const;
    // The current record's value of a formula column (the formula's name) as shown.
    std::string FormulaText(const std::string& name) const;
    // The field a group follows ("" for none).
    const std::string& GroupField() const { return _groupField; }

    // A value of the file's current record buffer as shown.
    static std::string Shown(short file, const xio_fld_def& def);

private:
    bool BindName(const std::string& name, const std::string& where, std::string* problem);
    // Finds the company's formula of the name for the design's file and checks it.
    bool BindFormula(const trReportDesign& design, const std::string& name, const std::string& where,
                     std::string* problem);

    short _file = 0;
    short _recordType = 1;
    std::map<std::string, xio_fld_def> _fields; // by the design's spelling of the name
    std::map<std::string, std::shared_ptr<trFormula>> _formulas; // by name
    std::string _groupField;
};
