// A node of a query: the records of one table (a record type of a file named by its
// abbreviation), read in the order of one key, through an optional filter, with the
// columns the views may show.
//
// Node styles (bits): INSERT 1 (a new, empty row ends the grid for entering records),
// DELETE 2, UPDATE 4, LOCK 8 (a record is locked while it is being edited), AUDIT 32
// (written changes are stamped by the view's audit object), FOLLOW 128 (the grid looks for
// records added or removed by other users while it is idle).
#pragma once

#include "kwdm/query/kwdmFilter.h"
#include "kwdm/query/kwdmQueryColumn.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class kwdmTable;

class kwdmQueryNode {
public:
    enum NodeStyle : short { INSERT = 1, DELETE = 2, UPDATE = 4, LOCK = 8, AUDIT = 32, FOLLOW = 128 };

    kwdmQueryNode(kwdmTable* table, std::string fileAbbrev, std::string name, short style, short order);
    ~kwdmQueryNode();
    kwdmQueryNode(const kwdmQueryNode&) = delete;
    kwdmQueryNode& operator=(const kwdmQueryNode&) = delete;

    kwdmTable* Table() const { return _table; }
    const std::string& FileAbbrev() const { return _fileAbbrev; }
    const std::string& Name() const { return _name; }
    short RecordType() const;
    short Style() const { return _style; }
    void SetStyle(short style) { _style = style; }
    bool Has(NodeStyle style) const { return (_style & style) != 0; }
    // The key whose order the rows follow (0 the primary key).
    short Order() const { return _order; }
    void SetOrder(short order) { _order = order; }

    // A column for every field of the record type, each with the style and, when
    // withLabels, its label from the dictionary. false when the dictionary cannot be read.
    bool AddAllColumns(short recordType, short style, short withLabels);
    // Adds a column (a field's or a computed one); a column of a name already present
    // replaces it. Answers the column.
    kwdmQueryColumn* AddColumn(std::unique_ptr<kwdmQueryColumn> column);
    // The column of a name (letter case ignored), null for a name the node does not know.
    kwdmQueryColumn* Column(const std::string& name) const;
    const std::vector<std::unique_ptr<kwdmQueryColumn>>& Columns() const { return _columns; }

    void SetFilter(const kwdmFilter& filter) { _filter = filter; }
    void ClearFilter() { _filter.reset(); }
    const kwdmFilter* Filter() const { return _filter ? &*_filter : nullptr; }

private:
    kwdmTable* _table;
    std::string _fileAbbrev;
    std::string _name;
    short _style;
    short _order;
    std::vector<std::unique_ptr<kwdmQueryColumn>> _columns;
    std::optional<kwdmFilter> _filter;
};
