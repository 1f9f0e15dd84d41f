// The focused row of a view's root node: its cells (one per query column), whether it is
// the new (empty) row, its record as the file holds it, and the key the rows follow.
// Views merged on one view control share it, so the grid and a form edit the same row.
#pragma once

#include "kwdm/data/kwdmCell.h"
#include "kwdm/data/kwdmRecord.h"

#include <memory>
#include <string>
#include <vector>

class kwdmDataSource;
class kwdmFileManager;
class kwdmQueryColumn;
class kwdmQueryNode;

class kwdmQueryRow {
public:
    explicit kwdmQueryRow(kwdmDataSource& source);
    ~kwdmQueryRow();
    kwdmQueryRow(const kwdmQueryRow&) = delete;
    kwdmQueryRow& operator=(const kwdmQueryRow&) = delete;

    bool IsNewRow() const { return _newRow; }
    // The cell of a column (letter case ignored), null for a column the node does not know.
    kwdmCell* Data(const std::string& column) const;
    kwdmCell* Data(const kwdmQueryColumn& column) const;
    kwdmFileManager& GetFileManager() const;
    kwdmQueryNode& Node() const;
    // The key whose order the rows follow.
    short Index() const;
    // Re-sorts the rows by another key, keeping this record focused. false when the
    // focused row's changes could not be written first.
    bool SetIndex(short key);
    // Reads the record again from the file, dropping changes not written.
    bool Reread();
    // Changes not written yet.
    bool Changed() const { return _changed; }
    // The row's place in the grid.
    int64_t Row() const { return _row; }
    // The record as the file holds it (rowid 0 for the new row).
    const kwdmRecord& Saved() const { return _saved; }
    // The record as it would be written: the saved one with every cell's new value.
    kwdmRecord Working() const;
    kwdmDataSource& Source() const { return _source; }

private:
    friend class kwdmDataSource;
    friend class kwdmCell;
    void Build(const std::vector<std::unique_ptr<kwdmQueryColumn>>& columns);
    void Load(int64_t row, const kwdmRecord* record); // null: the new row
    void CellChanged(kwdmCell& cell, bool markChanged);

    kwdmDataSource& _source;
    std::vector<std::unique_ptr<kwdmCell>> _cells;
    kwdmRecord _saved;
    int64_t _row = -1;
    bool _newRow = false;
    bool _changed = false;
    bool _locked = false;
};
