// One column of the focused row: its new value (as the user or the program set it), its
// old value (what it held before the latest change) and its saved value (as the file
// holds it), as typed values of the column's kind.
#pragma once

#include "kwdm/data/kwdmRecord.h"

#include "kwcommon/values/kwData.h"

#include <memory>
#include <string>
#include <string_view>

class kwdmQueryColumn;
class kwdmQueryRow;

class kwdmCell {
public:
    kwdmCell(kwdmQueryRow& row, const kwdmQueryColumn& column);
    ~kwdmCell();
    kwdmCell(const kwdmCell&) = delete;
    kwdmCell& operator=(const kwdmCell&) = delete;

    const kwdmQueryColumn& Column() const { return _column; }
    const kwData& NewValue() const { return *_new; }
    const kwData& OldValue() const { return *_old; }
    const kwData& SavedValue() const { return *_saved; }
    std::string NewText() const { return _new->Format(); }
    std::string OldText() const { return _old->Format(); }
    std::string SavedText() const { return _saved->Format(); }

    // Sets the new value; the old value becomes what the new one was. With markChanged
    // the row counts as changed and is written when it is left; without, a row that was
    // clean stays clean (a new row filled with defaults is not written for them). A value
    // of another kind is taken by its text. false when the value does not fit the column.
    // The program may set read-only columns; users may not.
    bool SetValue(const kwData& data, bool markChanged = true);
    // The same from a text as a user types it. false (unchanged) when it is no valid value.
    bool SetText(std::string_view text, bool markChanged = true);
    // The new value differs from the saved one.
    bool Changed() const;

    // The framework's: all three values from the record's stored value (or the column's
    // default for a new row), and the new value as stored.
    void Load(const kwdmFieldValue& stored);
    void LoadDefault();
    void TakeSaved(const kwdmFieldValue& stored); // saved (and old) only: the file moved on
    kwdmFieldValue Stored() const;

private:
    kwdmQueryRow& _row;
    const kwdmQueryColumn& _column;
    std::unique_ptr<kwData> _new, _old, _saved;
};
