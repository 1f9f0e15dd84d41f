// Query columns: the typed value of a field and the moves between it and the record.
#include "kwdm/query/kwdmQueryColumn.h"

#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwChoice.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDateMonthYear.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwNum.h"
#include "kwcommon/values/kwPhone.h"
#include "kwcommon/values/kwSSNum.h"
#include "kwcommon/values/kwText.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/xk.h"

#include <cstring>

kwdmQueryColumn::kwdmQueryColumn(const xio_fld_def& def, std::string label, short style, std::vector<std::string> items)
    : _name(def.name), _def(def), _label(std::move(label)), _style(style), _items(std::move(items)) {}

kwdmQueryColumn::kwdmQueryColumn(std::string name, std::string label, short style)
    : _name(std::move(name)), _label(std::move(label)), _style(style) {
    std::snprintf(_def.name, sizeof(_def.name), "%s", _name.c_str());
    _def.type = XIO_TEXT;
}

kwdmQueryColumn::~kwdmQueryColumn() = default;

int kwdmQueryColumn::Width() const { return _def.width2 > 0 ? _def.width2 : _def.width; }

short kwdmQueryColumn::CustomList() const { return _def.listFlag || _def.listOnly ? _def.kind : 0; }

bool kwdmQueryColumn::Sectioned() const { return _def.formatFlag && xk_multi_section(_def.kind); }

std::unique_ptr<kwData> kwdmQueryColumn::MakeValue() const {
    const bool caseSensitive = !_def.caseFlag;
    const size_t width = _def.width > 0 ? static_cast<size_t>(_def.width) : 0;
    switch (_def.type) {
    case XIO_TEXT:
        if (_def.longText) return std::make_unique<kwText>(width, caseSensitive);
        // A sectioned key is held as shown, with its separators: wider than it is stored.
        return std::make_unique<kwAlpha>(Sectioned() ? 0 : width, caseSensitive);
    case XIO_NUMBER:
        if (_def.decimals > 0) return std::make_unique<kwDouble>(0.0, _def.decimals);
        return std::make_unique<kwNum<long>>(0);
    case XIO_YESNO: return std::make_unique<kwBool>(false);
    case XIO_DATE:
        if (_def.monthYear) return std::make_unique<kwDateMonthYear>(std::string_view{});
        return std::make_unique<kwDate>(std::string_view{});
    case XIO_TIME: return std::make_unique<kwTime>();
    case XIO_PHONE: return std::make_unique<kwPhone>();
    case XIO_SSN: return std::make_unique<kwSSNum>(0);
    default: return std::make_unique<kwChoice>(_items, 0, _def.type);
    }
}

void kwdmQueryColumn::ToData(const kwdmFieldValue& stored, kwData& data) const {
    if (IsText()) {
        data.Set(Sectioned() ? xk_format_field(_def.kind, _def.qualifier, stored.text) : stored.text);
        return;
    }
    if (!data.FromXval(x_value_def::OfNumber(stored.number))) data.Clear();
}

kwdmFieldValue kwdmQueryColumn::FromData(const kwData& data) const {
    kwdmFieldValue stored;
    if (IsText()) {
        const auto* text = dynamic_cast<const kwString*>(&data);
        stored.text = text ? text->Text() : data.Format();
        if (Sectioned()) stored.text = xk_unformat_field(_def.kind, _def.qualifier, stored.text);
        return stored;
    }
    x_value_def carrier;
    data.ToXval(carrier);
    stored.number = carrier.AsNumber();
    return stored;
}

std::string kwdmQueryColumn::Format(const kwdmFieldValue& stored) const {
    if (IsText()) return Sectioned() ? xk_format_field(_def.kind, _def.qualifier, stored.text) : stored.text;
    std::unique_ptr<kwData> value = MakeValue();
    ToData(stored, *value);
    return value->Format();
}
