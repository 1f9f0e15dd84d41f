// A column of a query node: one field of the node's record type (or a computed column),
// with its label, its style and the typed value (kwData family) it is edited as.
//
// Styles: READ_ONLY (4) keeps the column from being changed in every view on the query.
// Labels come from the dictionary's field description with term codes ("<265F>")
// replaced by the company's custom field descriptions.
#pragma once

#include "kwdm/data/kwdmRecord.h"

#include "kwcommon/values/kwData.h"
#include "kwcommon/xio_dict.h"

#include <memory>
#include <string>
#include <vector>

class kwdmQueryColumn {
public:
    static constexpr short READ_ONLY = 4;

    // A field column; def is the field's dictionary definition, items its choice items.
    kwdmQueryColumn(const xio_fld_def& def, std::string label, short style, std::vector<std::string> items = {});
    virtual ~kwdmQueryColumn();
    kwdmQueryColumn(const kwdmQueryColumn&) = delete;
    kwdmQueryColumn& operator=(const kwdmQueryColumn&) = delete;

    const std::string& Name() const { return _name; }
    // The field number, 0 for a computed column.
    short Field() const { return _def.number; }
    const xio_fld_def& Def() const { return _def; }
    const std::string& Label() const { return _label; }
    void SetLabel(const std::string& label) { _label = label; }
    short Style() const { return _style; }
    void SetStyle(short style) { _style = style; }
    bool ReadOnly() const { return (_style & READ_ONLY) != 0; }
    // Characters shown (the dictionary's second width, else its first).
    int Width() const;
    // The custom list the column's values come from (a list field), 0 when none.
    short CustomList() const;
    bool ListOnly() const { return _def.listOnly != 0; }
    bool IsText() const { return _def.type == XIO_TEXT || _def.type == XIO_PHONE; }

    // Not read from the record (the attachments column).
    virtual bool Computed() const { return false; }
    // A new empty value of the column's kind (no date, no time, empty text, zero ...).
    virtual std::unique_ptr<kwData> MakeValue() const;
    // The record's value into a typed value; sectioned keys are shown with separators.
    void ToData(const kwdmFieldValue& stored, kwData& data) const;
    // A typed value as the record stores it.
    kwdmFieldValue FromData(const kwData& data) const;
    // The record's value as shown.
    std::string Format(const kwdmFieldValue& stored) const;

protected:
    // A computed column.
    kwdmQueryColumn(std::string name, std::string label, short style);

private:
    bool Sectioned() const;

    std::string _name;
    xio_fld_def _def{};
    std::string _label;
    short _style = 0;
    std::vector<std::string> _items;
};
