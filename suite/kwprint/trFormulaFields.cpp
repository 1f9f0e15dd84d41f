// Names are looked up in the dictionary each time: a formula names few fields, and the
// dictionary is held in memory by the record manager.
#include "kwprint/trFormulaFields.h"

#include "kwprint/trFieldText.h"

#include "kwcommon/values/xd.h"
#include "kwcommon/xio.h"

#include <chrono>

namespace {
bool FieldOf(short file, short recordType, const std::string& name, xio_fld_def* def) {
    const short number = xio_num(file, 0, 0, name.c_str());
    if (number <= 0 || xio_get_fld_def(file, number, def, 0, 0) != XIO_OK) return false;
    return def->recordType == recordType && !def->hidden;
}

trFormulaType TypeOf(const xio_fld_def& def) {
    if (def.type == XIO_NUMBER) return trFormulaType::Number;
    if (def.type == XIO_DATE && !def.monthYear) return trFormulaType::Date;
    if (def.type == XIO_YESNO) return trFormulaType::YesNo;
    return trFormulaType::Text;
}
} // namespace

trFormula::FieldTypes trFormulaFieldTypes(short file, short recordType) {
    return [file, recordType](const std::string& name) -> std::optional<trFormulaType> {
        xio_fld_def def{};
        if (!FieldOf(file, recordType, name, &def)) return std::nullopt;
        return TypeOf(def);
    };
}

trFormula::FieldValues trFormulaFieldValues(short file, short recordType) {
    return [file, recordType](const std::string& name) -> trFormulaValue {
        xio_fld_def def{};
        if (!FieldOf(file, recordType, name, &def)) return std::monostate{};
        const trFormulaType type = TypeOf(def);
        if (type == trFormulaType::Text) return trFieldText::Shown(file, def);
        x_value_def value;
        if (xio_get_field(file, 0, def.number, &value) != XIO_OK) return std::monostate{};
        if (type == trFormulaType::Number) return value.AsNumber();
        if (type == trFormulaType::YesNo) return value.AsNumber() != 0;
        const auto date = xd_date_from_number(static_cast<long>(value.AsNumber()));
        if (!date) return trFormulaDate{};
        return trFormulaDate{std::chrono::sys_days{*date}.time_since_epoch().count()};
    };
}
