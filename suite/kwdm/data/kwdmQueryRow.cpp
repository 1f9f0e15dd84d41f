// The focused row and its cells.
#include "kwdm/data/kwdmQueryRow.h"

#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/query/kwdmQueryNode.h"

#include "kwcommon/x_text.h"

kwdmQueryRow::kwdmQueryRow(kwdmDataSource& source) : _source(source) {}

kwdmQueryRow::~kwdmQueryRow() = default;

void kwdmQueryRow::Build(const std::vector<std::unique_ptr<kwdmQueryColumn>>& columns) {
    _cells.clear();
    for (const auto& column : columns) _cells.push_back(std::make_unique<kwdmCell>(*this, *column));
}

kwdmCell* kwdmQueryRow::Data(const std::string& column) const {
    for (const auto& cell : _cells)
        if (x_equal_nocase(cell->Column().Name(), column)) return cell.get();
    return nullptr;
}

kwdmCell* kwdmQueryRow::Data(const kwdmQueryColumn& column) const {
    for (const auto& cell : _cells)
        if (&cell->Column() == &column) return cell.get();
    return nullptr;
}

kwdmFileManager& kwdmQueryRow::GetFileManager() const { return _source.Files(); }

kwdmQueryNode& kwdmQueryRow::Node() const { return _source.Node(); }

short kwdmQueryRow::Index() const { return _source.Index(); }

bool kwdmQueryRow::SetIndex(short key) { return _source.SetIndex(key); }

bool kwdmQueryRow::Reread() { return _source.Reread(); }

kwdmRecord kwdmQueryRow::Working() const {
    kwdmRecord record = _saved;
    const short first = _source.Layout().FirstField();
    for (const auto& cell : _cells) {
        const kwdmQueryColumn& column = cell->Column();
        if (column.Computed() || !_source.Layout().Contains(column.Field())) continue;
        record.values[static_cast<size_t>(column.Field() - first)] = cell->Stored();
    }
    return record;
}

void kwdmQueryRow::Load(int64_t row, const kwdmRecord* record) {
    _row = row;
    _newRow = record == nullptr;
    _changed = false;
    _locked = false;
    const short first = _source.Layout().FirstField();
    if (record) {
        _saved = *record;
    } else {
        _saved = kwdmRecord{};
        _saved.values.assign(static_cast<size_t>(_source.Layout().FieldCount()), kwdmFieldValue{});
        for (short i = 0; i < _source.Layout().FieldCount(); ++i)
            if (!_source.Layout().IsText(static_cast<short>(first + i))) _saved.values[static_cast<size_t>(i)].number = 0;
    }
    for (const auto& cell : _cells) {
        const kwdmQueryColumn& column = cell->Column();
        if (!record) {
            cell->LoadDefault();
        } else if (!column.Computed() && _source.Layout().Contains(column.Field())) {
            cell->Load(record->values[static_cast<size_t>(column.Field() - first)]);
        }
    }
    // A new row's defaults are what it is "saved" as: only later changes make it worth writing.
    if (!record) {
        for (const auto& cell : _cells) {
            const kwdmQueryColumn& column = cell->Column();
            if (!column.Computed() && _source.Layout().Contains(column.Field()))
                _saved.values[static_cast<size_t>(column.Field() - first)] = cell->Stored();
        }
    }
}

void kwdmQueryRow::CellChanged(kwdmCell& cell, bool markChanged) { _source.CellChanged(cell, markChanged); }
