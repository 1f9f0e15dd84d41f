// Field values of the current record as a report shows them.
#include "kwprint/trFieldText.h"

#include "kwprint/trFormulaFields.h"
#include "kwprint/trFormulaFile.h"
#include "kwcommon/x_text.h"

#include "kwprint/trTemplate.h"

#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDateMonthYear.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwPhone.h"
#include "kwcommon/values/kwSSNum.h"
#include "kwcommon/values/kwString.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <memory>
#include <vector>

namespace {

std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

// The typed value that shows a stored number of a field.
std::unique_ptr<kwData> NumberKind(const xio_fld_def& def) {
    switch (def.type) {
    case XIO_NUMBER: return std::make_unique<kwDouble>(0.0, def.decimals);
    case XIO_YESNO: return std::make_unique<kwBool>();
    case XIO_DATE:
        if (def.monthYear) return std::make_unique<kwDateMonthYear>();
        return std::make_unique<kwDate>(kwDate::Empty());
    case XIO_TIME: return std::make_unique<kwTime>();
    case XIO_PHONE: return std::make_unique<kwPhone>();
    case XIO_SSN: return std::make_unique<kwSSNum>(0);
    default: return nullptr;
    }
}

} // namespace

std::string trFieldText::Shown(short file, const xio_fld_def& def) {
    if (def.type == XIO_TEXT) {
        std::string text;
        if (def.longText) {
            if (xio_get_long_text(file, def.number, &text) != XIO_OK) return "";
        } else {
            x_value_def value;
            if (xio_get_field(file, 0, def.number, &value) != XIO_OK) return "";
            text = value.AsText();
        }
        text = TrimRight(std::move(text));
        if (def.formatFlag && xk_multi_section(def.kind)) text = xk_format_field(def.kind, def.qualifier, text);
        return text;
    }
    x_value_def value;
    if (xio_get_field(file, 0, def.number, &value) != XIO_OK) return "";
    if (def.type >= XIO_CHOICE && def.type <= XIO_CHOICE_LAST) {
        const double item = value.AsNumber();
        if (item < 1 || item > def.itemCount) return value.IsText() ? TrimRight(value.text) : "";
        char text[X_VALUE_TEXT_MAX + 1] = {};
        if (xio_get_item_alpha(file, def.number, static_cast<short>(item), text, sizeof text) != XIO_OK) return "";
        return text;
    }
    auto typed = NumberKind(def);
    if (!typed) return TrimRight(value.AsText());
    if (!typed->FromXval(value)) return TrimRight(value.AsText());
    // A date or time that is not there prints as nothing, not as a zero.
    return typed->Format();
}

bool trFieldText::BindName(const std::string& name, const std::string& where, std::string* problem) {
    if (_fields.count(name)) return true;
    const short number = xio_num(_file, 0, 0, name.c_str());
    xio_fld_def def{};
    if (number <= 0 || xio_get_fld_def(_file, number, &def, 0, 0) != XIO_OK) {
        *problem = where + ": the file has no field \"" + name + "\"";
        return false;
    }
    if (def.recordType != _recordType) {
        *problem = where + ": the field \"" + name + "\" is not one of record type " + std::to_string(_recordType);
        return false;
    }
    _fields[name] = def;
    return true;
}

bool trFieldText::BindFormula(const trReportDesign& design, const std::string& name, const std::string& where,
                              std::string* problem) {
    // A design prints the formulas of its file's application: "QV" for "QVI".
    const std::string application = design.file.substr(0, 2);
    trFormulaFile::Entry entry;
    std::string error;
    if (!trFormulaFile::Find(application, name, &entry, &error)) {
        *problem = where + ": " + error;
        return false;
    }
    if (!x_equal_nocase(entry.file, design.file)) {
        *problem = where + ": the formula \"" + name + "\" is over the " + entry.file + " file, not " + design.file;
        return false;
    }
    trFormula::Error wrong;
    auto formula = trFormula::Compile(entry.expression, trFormulaFieldTypes(_file, _recordType), &wrong);
    if (!formula) {
        *problem = where + ": the formula \"" + name + "\" no longer holds: " + wrong.Text();
        return false;
    }
    _formulas[name] = std::move(formula);
    return true;
}

std::string trFieldText::FormulaText(const std::string& name) const {
    const auto it = _formulas.find(name);
    if (it == _formulas.end()) return "";
    return trFormula::Shown(it->second->Evaluate(trFormulaFieldValues(_file, _recordType)));
}

bool trFieldText::Bind(const trReportDesign& design, const std::string& origin, short file, short recordType,
                       short orderKey, std::string* error) {
    _file = file;
    _recordType = recordType;
    _fields.clear();
    _groupField.clear();
    std::string problem;
    const auto fail = [&]() {
        if (error) *error = origin + ": " + problem;
        return false;
    };
    const auto bindTexts = [&](const std::string& text, const std::string& where) {
        std::vector<trTemplatePart> parts;
        if (!trParseTemplate(text, &parts, nullptr)) return true;
        for (const trTemplatePart& part : parts) {
            const std::string field = part.placeholder ? trPlaceholderField(part.text) : "";
            if (!field.empty() && !BindName(field, where, &problem)) return false;
        }
        return true;
    };
    for (const trBand* band : {&design.pageHeader, &design.pageFooter, &design.record, &design.continued}) {
        for (const trItem& item : band->items) {
            if (item.type == trItemType::Field && !BindName(item.field, item.where + ".field", &problem)) return fail();
            if (!bindTexts(item.text, item.where + ".text") || !bindTexts(item.label, item.where + ".label"))
                return fail();
        }
    }
    _formulas.clear();
    for (const trColumn& column : design.columns) {
        if (!column.formula && !BindName(column.field, column.where + ".field", &problem)) return fail();
        if (column.formula && !BindFormula(design, *column.formula, column.where + ".formula", &problem)) return fail();
    }
    if (design.group.by == "order") {
        xio_key_def key{};
        if (xio_get_key_def(file, orderKey, &key, recordType) != XIO_OK || key.fieldCount < 1) {
            problem = "group.by: the order " + std::to_string(orderKey) + " is not a key of the file";
            return fail();
        }
        // A unique key of one field (the issue number) makes every record a group of its own.
        if (!(key.unique && key.fieldCount == 1)) {
            xio_fld_def def{};
            if (xio_get_fld_def(file, key.fields[0], &def, 0, 0) != XIO_OK) {
                problem = "group.by: the order's first field is unknown";
                return fail();
            }
            _groupField = def.name;
            _fields[_groupField] = def;
        }
    } else if (!design.group.by.empty()) {
        if (!BindName(design.group.by, "group.by", &problem)) return fail();
        _groupField = design.group.by;
    }
    return true;
}

std::string trFieldText::Text(const std::string& name) const {
    auto it = _fields.find(name);
    return it == _fields.end() ? "" : Shown(_file, it->second);
}

std::string trFieldText::Label(const std::string& name) const {
    auto it = _fields.find(name);
    if (it == _fields.end()) return name;
    const xio_fld_def& def = it->second;
    if (def.listFlag || def.listOnly) {
        const std::string custom = xk_description(def.kind, 0);
        if (!custom.empty()) return custom;
    }
    return kwString::ReplaceTermCodes(def.description);
}

bool trFieldText::IsNumber(const std::string& name) const {
    auto it = _fields.find(name);
    return it != _fields.end() && it->second.type == XIO_NUMBER;
}
