// Control definitions of a view: what the control of an id in the view's window does. The live
// controls are the window's own widgets, found by their "ctrlId" property when the view
// control is created on the window; a definition whose id the window lacks is left out.
//
// This header holds the base and the definitions of controls bound to a column or showing text;
// buttons are in kwdmButtonDef.h, the grid in kwdmGridDef.h.
#pragma once

#include <string>

class kwdmQueryColumn;

class kwdmControlDef {
public:
    enum Kind : short {
        PUSH_BUTTON,
        ROW_BUTTON,
        DELETE_BUTTON,
        ATTACHMENTS_BUTTON,
        GRID,
        TEXT_LABEL,
        EDIT,
        CUSTOM_LIST,
    };

    kwdmControlDef(int id, Kind kind) : _id(id), _kind(kind) {}
    virtual ~kwdmControlDef() = default;
    kwdmControlDef(const kwdmControlDef&) = delete;
    kwdmControlDef& operator=(const kwdmControlDef&) = delete;

    int Id() const { return _id; }
    Kind GetKind() const { return _kind; }

private:
    int _id;
    Kind _kind;
};

// A label whose text may hold term codes ("&<265F>:"), shown with the company's custom
// field descriptions. An empty text keeps the window's own text (with its codes resolved).
class kwdmTextLabelDef : public kwdmControlDef {
public:
    explicit kwdmTextLabelDef(int id, std::string text = {}) : kwdmControlDef(id, TEXT_LABEL), _text(std::move(text)) {}
    const std::string& Text() const { return _text; }

private:
    std::string _text;
};

// A control that shows and edits one column of the focused row.
class kwdmBoundDef : public kwdmControlDef {
public:
    kwdmBoundDef(int id, Kind kind, kwdmQueryColumn* column) : kwdmControlDef(id, kind), _column(column) {}
    kwdmQueryColumn* Column() const { return _column; }

private:
    kwdmQueryColumn* _column;
};

// A single- or multi-line edit (a line edit, a text edit, or a label that only shows).
class kwdmEditDef : public kwdmBoundDef {
public:
    kwdmEditDef(int id, kwdmQueryColumn* column, bool multiLine = false)
        : kwdmBoundDef(id, EDIT, column), _multiLine(multiLine) {}
    bool MultiLine() const { return _multiLine; }

private:
    bool _multiLine;
};

// A drop-down list of the column's custom list (free text allowed unless the field takes
// list entries only).
class kwdmCustomListDef : public kwdmBoundDef {
public:
    kwdmCustomListDef(int id, kwdmQueryColumn* column) : kwdmBoundDef(id, CUSTOM_LIST, column) {}
};
