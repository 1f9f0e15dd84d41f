// The data source of a view control's root node: the rows (kwdmRowSet), the focused row
// and its edits, the record locks, the writes and deletes through the row callbacks, and
// the idle-time work of counting rows. Every view merged on the control shares it; the
// grid's model shows it.
//
// Editing: a change to an existing record locks it (node style LOCK) so that no other
// user can overwrite it meanwhile; another user's lock (status 7) is told and the change
// stays. The changes are written when the row is left or on Commit, through the
// row-write callback, the checks, the audit object and the lock; anything that refuses
// keeps the changes and the focus, says why, and loses nothing. When the stored record
// changed since it was read, the other user's values are taken where this user changed
// nothing and the write waits for the user to look.
//
// Everything runs on the user-interface thread; long work (counting rows under a filter)
// runs in slices of at most kSliceBudget while the application is idle.
#pragma once

#include "kwdm/data/kwdmQueryRow.h"
#include "kwdm/data/kwdmRowSet.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

class kwdmAudit;
class kwdmCallbackManager;
class kwdmControl;
class kwdmFileManager;
class kwdmQueryColumn;
class kwdmQueryNode;
class kwdmViewCtrl;

class kwdmDataSource : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kSliceBudget{25};
    static constexpr std::chrono::milliseconds kFirstPageBudget{60};
    static constexpr int kFollowInterval = 1000; // ms between looks for other users' changes

    kwdmDataSource(kwdmQueryNode& node, kwdmFileManager& files, kwdmCallbackManager& callbacks, kwdmViewCtrl& owner);
    ~kwdmDataSource() override;

    // Opens the node's file. false when it would not open (the user was told).
    bool OpenFile();
    // Reads the rows (the first ones; the rest as they are asked for or counted) and
    // focuses the first row (the new row when there is none).
    void ReadRows();
    // Ends the work: releases the focused record's lock. The caller writes changes first.
    void Close();

    kwdmQueryNode& Node() const { return _node; }
    kwdmFileManager& Files() const { return _files; }
    kwdmCallbackManager& Callbacks() const { return _callbacks; }
    short FileNumber() const { return _file; }
    const kwdmRecordLayout& Layout() const { return _rows.Layout(); }
    kwdmQueryRow& FocusedRow() { return _focused; }
    void SetAudit(kwdmAudit* audit) { _audit = audit; }

    // Rows: the known records, then the new row when the node takes new records.
    int64_t RowCount() const;
    int64_t RecordCount() const { return _rows.Count(); }
    bool IsNewRow(int64_t row) const { return HasNewRow() && row == _rows.Count(); }
    bool HasNewRow() const;
    // Counting under a filter is still going on.
    bool Counting() const { return _rows.Counting(); }
    bool Indexed() const { return _rows.Indexed(); }
    kwdmRowSet& Rows() { return _rows; }
    // A column's text in a row as shown (the focused row with its changes).
    std::string Text(int64_t row, const kwdmQueryColumn& column);
    // How many attachments a row's record has (looked up once per row read).
    int Attachments(int64_t row);
    // The focused record's attachments changed (the attachments dialog): count them anew.
    void AttachmentsChanged(int count);
    // Users may change the column in the focused row.
    bool Editable(const kwdmQueryColumn& column) const;

    // The focused row; moving the focus leaves the focused row first (writing its changes)
    // and answers false, the focus staying, when that fails.
    int64_t Focus() const { return _focused.Row(); }
    bool MoveFocus(int64_t row);
    bool First();
    bool Previous();
    bool Next();
    bool Last();
    // Writes the focused row's changes; false (changes and focus kept) when that fails.
    bool Commit();
    // Drops the focused row's changes and releases its lock.
    void CancelChanges();
    // Deletes the focused record through the before-delete callback; the new row is only
    // emptied. true when it went.
    bool DeleteFocused(kwdmControl* control = nullptr);
    // A user typed a value into a column of the focused row: checked, set, the column's
    // callback told. false with a message when the value is not valid.
    bool UserEdit(const kwdmQueryColumn& column, const std::string& text, kwdmViewCtrl* from = nullptr);
    // The same with a typed value (a list choice).
    bool UserSetValue(const kwdmQueryColumn& column, const kwData& value, kwdmViewCtrl* from = nullptr);

    // The order of the rows.
    short Index() const { return _order; }
    bool SetIndex(short key);
    // Reads the focused record again, dropping its changes.
    bool Reread();
    // Reads the rows again through the filter and the qualification callback (asked
    // again whether it skips records), keeping the focused record where it still shows.
    bool Requery();
    // Reads the rows again: recount (rows), drop what was read (reread); the focused record
    // stays focused. keepPlace is kept for callers.
    void Refresh(short rows, short reread, short keepPlace);

    // The framework's: a cell of the focused row changed.
    void CellChanged(kwdmCell& cell, bool markChanged);

signals:
    void aboutToReset();
    void resetDone();
    void rowsInserted(qint64 at, qint64 count);
    void rowsRemoved(qint64 at, qint64 count);
    // What a row shows changed (the focused row's cells, a written row).
    void rowChanged(qint64 row);
    void focusChanged(qint64 row);
    // Counting started or ended.
    void countingChanged(bool counting);

private:
    struct Target {
        bool newRow = false;
        kwdmRecord record; // rowid and key of a record row
        int64_t row = -1;
    };
    Target TargetOf(int64_t row);
    int64_t RowOfTarget(const Target& target);
    void Enter(int64_t row);
    bool Leave();
    bool WriteFocused();
    bool WriteNew(kwdmRecord& record);
    bool WriteExisting(kwdmRecord& record);
    bool Checked();
    // Takes the focused record's lock; reads what the file holds meanwhile.
    short LockFocused();
    void UnlockFocused();
    // Another user's values where this user changed nothing; true when the file differed.
    bool TakeStoredChanges(const kwdmRecord& stored);
    kwdmRowSet::Source MakeSource();
    // The rows anew, the target focused (or sought while counting).
    void Reopen(const Target& target, bool enter);
    void Reset();
    void ScheduleWork();
    void DoWork();
    void Follow();
    void Told(const std::string& text);
    short CallRow(short event, kwdmControl* control = nullptr);

    kwdmQueryNode& _node;
    kwdmFileManager& _files;
    kwdmCallbackManager& _callbacks;
    kwdmViewCtrl& _owner;
    kwdmAudit* _audit = nullptr;
    short _file = 0;
    short _order = 0;
    kwdmRowSet _rows;
    kwdmQueryRow _focused;
    std::optional<Target> _sought; // a record to focus once counting finds it
    bool _resetting = false;
    bool _counting = false;
    QTimer _work;
    QTimer _follow;
};
