// Cells of the focused row.
#include "kwdm/data/kwdmCell.h"

#include "kwdm/data/kwdmQueryRow.h"
#include "kwdm/query/kwdmQueryColumn.h"

#include "kwcommon/xk.h"

kwdmCell::kwdmCell(kwdmQueryRow& row, const kwdmQueryColumn& column)
    : _row(row), _column(column), _new(column.MakeValue()), _old(column.MakeValue()), _saved(column.MakeValue()) {}

kwdmCell::~kwdmCell() = default;

bool kwdmCell::SetValue(const kwData& data, bool markChanged) {
    std::unique_ptr<kwData> value = _column.MakeValue();
    if (!value->CopyFrom(data) && !value->Set(data.Format())) return false;
    _old = std::move(_new);
    _new = std::move(value);
    _row.CellChanged(*this, markChanged);
    return true;
}

bool kwdmCell::SetText(std::string_view text, bool markChanged) {
    std::unique_ptr<kwData> value = _column.MakeValue();
    if (!value->Set(text)) return false;
    return SetValue(*value, markChanged);
}

bool kwdmCell::Changed() const { return _new->Compare(*_saved) != 0 || _new->Format() != _saved->Format(); }

void kwdmCell::Load(const kwdmFieldValue& stored) {
    _column.ToData(stored, *_saved);
    _old->CopyFrom(*_saved);
    _new->CopyFrom(*_saved);
}

void kwdmCell::LoadDefault() {
    std::unique_ptr<kwData> value = _column.MakeValue();
    if (const short list = _column.CustomList()) value->Set(xk_get_custom_list_default(list));
    if (_column.Def().defaultItem != 0) value->Set(std::to_string(_column.Def().defaultItem));
    _saved->CopyFrom(*value);
    _old->CopyFrom(*value);
    _new->CopyFrom(*value);
}

void kwdmCell::TakeSaved(const kwdmFieldValue& stored) {
    _column.ToData(stored, *_saved);
    _old->CopyFrom(*_saved);
}

kwdmFieldValue kwdmCell::Stored() const { return _column.FromData(*_new); }
