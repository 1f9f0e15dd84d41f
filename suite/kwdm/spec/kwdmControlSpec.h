// Control specs of a view: what the control of an id in the view's window does. The live
// controls are the window's own widgets, found by their "ctrlId" property when the view
// control is created on the window; a spec whose id the window lacks is left out.
//
// This header holds the base and the specs of controls bound to a column or showing text;
// buttons are in kwdmButtonSpec.h, the grid in kwdmGridSpec.h.
#pragma once

#include <string>

class kwdmQueryColumn;

class kwdmControlSpec {
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

    kwdmControlSpec(int id, Kind kind) : _id(id), _kind(kind) {}
    virtual ~kwdmControlSpec() = default;
    kwdmControlSpec(const kwdmControlSpec&) = delete;
    kwdmControlSpec& operator=(const kwdmControlSpec&) = delete;

    int Id() const { return _id; }
    Kind GetKind() const { return _kind; }

private:
    int _id;
    Kind _kind;
};

// A label whose text may hold term codes ("&<265F>:"), shown with the company's custom
// field descriptions. An empty text keeps the window's own text (with its codes resolved).
class kwdmTextLabelSpec : public kwdmControlSpec {
public:
    explicit kwdmTextLabelSpec(int id, std::string text = {}) : kwdmControlSpec(id, TEXT_LABEL), _text(std::move(text)) {}
    const std::string& Text() const { return _text; }

private:
    std::string _text;
};

// A control that shows and edits one column of the focused row.
class kwdmBoundSpec : public kwdmControlSpec {
public:
    kwdmBoundSpec(int id, Kind kind, kwdmQueryColumn* column) : kwdmControlSpec(id, kind), _column(column) {}
    kwdmQueryColumn* Column() const { return _column; }

private:
    kwdmQueryColumn* _column;
};

// A single- or multi-line edit (a line edit, a text edit, or a label that only shows).
class kwdmEditSpec : public kwdmBoundSpec {
public:
    kwdmEditSpec(int id, kwdmQueryColumn* column, bool multiLine = false)
        : kwdmBoundSpec(id, EDIT, column), _multiLine(multiLine) {}
    bool MultiLine() const { return _multiLine; }

private:
    bool _multiLine;
};

// A drop-down list of the column's custom list (free text allowed unless the field takes
// list entries only).
class kwdmCustomListSpec : public kwdmBoundSpec {
public:
    kwdmCustomListSpec(int id, kwdmQueryColumn* column) : kwdmBoundSpec(id, CUSTOM_LIST, column) {}
};
