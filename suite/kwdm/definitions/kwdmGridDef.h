// The grid definition of a view: a grid control on a query node, with its control attributes,
// minor help id, grid, row and column styles, and the columns it shows in order.
//
// Grid styles (bits): READ_ONLY 1 (nothing is edited in the grid), ROW_SELECT 2 (the
// focused row is shown selected as a whole).
#pragma once

#include "kwdm/definitions/kwdmControlDef.h"

#include "kwdm/definitions/kwdmButtonDef.h"

#include <memory>
#include <string>
#include <vector>

class kwdmQueryColumn;

class kwdmGridDef : public kwdmControlDef {
public:
    enum GridStyle : short { READ_ONLY = 1, ROW_SELECT = 2 };

    struct Column {
        kwdmQueryColumn* column = nullptr;              // the query column shown
        kwdmAttachmentsButtonDef* attachments = nullptr; // or an attachments button column
        short style = 0;
        short width = 0;     // characters; 0: the column's own width
        std::string label;   // empty: the column's label
        short alignment = 0; // 0 by kind (numbers right), 1 left, 2 centre, 3 right
        short sizable = 1;   // the user may change the width
        unsigned background = 0xFFFFFF;
        int helpId = 0;
    };

    kwdmGridDef(int id, std::string node, short style, int attributes = 0, int minorHelpId = 0, short rowStyle = 0,
                 short columnStyle = 0)
        : kwdmControlDef(id, GRID), _node(std::move(node)), _style(style), _attributes(attributes),
          _minorHelpId(minorHelpId), _rowStyle(rowStyle), _columnStyle(columnStyle) {}

    // A query column; a null column (a name the query does not know) is ignored.
    void AddColumn(kwdmQueryColumn* column, short style, short width, const std::string& label, short alignment,
                   short sizable, unsigned background);
    // An attachments button column at this place (the grid keeps the definition).
    void AddColumn(std::unique_ptr<kwdmAttachmentsButtonDef> button, short style, short width, int helpId, short alignment,
                   unsigned background);

    const std::string& Node() const { return _node; }
    short Style() const { return _style; }
    int Attributes() const { return _attributes; }
    int MinorHelpId() const { return _minorHelpId; }
    short RowStyle() const { return _rowStyle; }
    short ColumnStyle() const { return _columnStyle; }
    const std::vector<Column>& Columns() const { return _columns; }

private:
    std::string _node;
    short _style;
    int _attributes;
    int _minorHelpId;
    short _rowStyle;
    short _columnStyle;
    std::vector<Column> _columns;
    std::vector<std::unique_ptr<kwdmAttachmentsButtonDef>> _buttons;
};
