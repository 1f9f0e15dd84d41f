// The root data source: rows, focus, edits, locks and writes of a view control.
#include "kwdm/data/kwdmDataSource.h"

#include "kwdm/callbacks/kwdmCallbackManager.h"
#include "kwdm/callbacks/kwdmEvents.h"
#include "kwdm/data/kwdmAudit.h"
#include "kwdm/data/kwdmFileManager.h"
#include "kwdm/query/kwdmAttachmentsQueryColumn.h"
#include "kwdm/query/kwdmQueryNode.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <algorithm>

namespace {

const char* const kKept = "\n\nYour changes are kept: leave the row again to save them, or press Esc to undo them.";

std::string InUseText() {
    return std::string(xio_status_text(XIO_LOCKED)) + kKept;
}

} // namespace

kwdmDataSource::kwdmDataSource(kwdmQueryNode& node, kwdmFileManager& files, kwdmCallbackManager& callbacks,
                               kwdmViewCtrl& owner)
    : _node(node), _files(files), _callbacks(callbacks), _owner(owner), _order(node.Order()), _focused(*this) {
    _focused.Build(node.Columns());
    _rows.SetEvents({[this](int64_t at, int64_t count) {
        if (_resetting) return;
        if (_focused._row >= at) _focused._row += count;
        emit rowsInserted(at, count);
    }});
    _work.setSingleShot(true);
    _work.setInterval(0);
    connect(&_work, &QTimer::timeout, this, &kwdmDataSource::DoWork);
    _follow.setInterval(kFollowInterval);
    connect(&_follow, &QTimer::timeout, this, &kwdmDataSource::Follow);
}

kwdmDataSource::~kwdmDataSource() = default;

bool kwdmDataSource::OpenFile() {
    const short status = _files.Open(_node.FileAbbrev());
    _file = _files.FileNum(_node.FileAbbrev());
    return status == XIO_OK && _file != 0;
}

void kwdmDataSource::ReadRows() {
    Target first;
    first.row = 0;
    _focused._changed = false;
    Reopen(first, false);
}

void kwdmDataSource::Close() {
    _work.stop();
    _follow.stop();
    UnlockFocused();
}

short kwdmDataSource::CallRow(short event, kwdmControl* control) {
    kwdmCallbackInfo info(_owner, _focused, _callbacks.AppData());
    info.WithControl(control);
    return _callbacks.CallRow(event, _node.Name(), info);
}

void kwdmDataSource::Told(const std::string& text) { xw_wr_message(0, XW_ERROR, text.c_str(), 0); }

// ---- rows ------------------------------------------------------------------------------

bool kwdmDataSource::HasNewRow() const { return _node.Has(kwdmQueryNode::INSERT); }

int64_t kwdmDataSource::RowCount() const { return _rows.Count() + (HasNewRow() ? 1 : 0); }

kwdmRowSet::Source kwdmDataSource::MakeSource() {
    kwdmRowSet::Source source;
    source.file = _file;
    source.type = _node.RecordType();
    source.key = _order;
    if (const kwdmFilter* filter = _node.Filter(); filter && !filter->Empty()) {
        std::string name;
        std::vector<std::string> values;
        if (filter->AsSelection(&name, &values)) {
            const kwdmQueryColumn* column = _node.Column(name);
            if (column && !column->Computed()) {
                source.selectionField = column->Field();
                for (const std::string& value : values) {
                    std::unique_ptr<kwData> typed = column->MakeValue();
                    typed->Set(value);
                    const kwdmFieldValue stored = column->IsText() ? kwdmFieldValue{0, value} : column->FromData(*typed);
                    source.selectionValues.push_back(column->IsText() ? x_value_def::OfText(stored.text)
                                                                      : x_value_def::OfNumber(stored.number));
                }
            }
        }
        const kwdmFilter copy = *filter;
        source.passes = [this, copy] {
            return copy.Passes([this](const std::string& name, const std::string& value) {
                const kwdmQueryColumn* column = _node.Column(name);
                if (!column || column->Computed() || !Layout().Contains(column->Field())) return false;
                const kwdmFieldValue stored = Layout().Get(column->Field());
                if (column->IsText()) return kwdmFilter::Equal(stored.text, value);
                std::unique_ptr<kwData> typed = column->MakeValue();
                if (!typed->Set(value)) return false;
                return column->FromData(*typed).number == stored.number;
            });
        };
    }
    if (_callbacks.HasRowCallback(KWDM_ROW_QUALIFY, _node.Name())) {
        kwdmCallbackInfo probe(_owner, _focused, _callbacks.AppData());
        probe.AsProbe();
        if (_callbacks.CallRow(KWDM_ROW_QUALIFY, _node.Name(), probe) != 0)
            source.qualifies = [this] { return CallRow(KWDM_ROW_QUALIFY) == 0; };
    }
    return source;
}

void kwdmDataSource::Reset() {
    emit aboutToReset();
    _resetting = true;
    _rows.Open(MakeSource(), kFirstPageBudget);
    _resetting = false;
    emit resetDone();
}

kwdmDataSource::Target kwdmDataSource::TargetOf(int64_t row) {
    Target target;
    target.row = row;
    if (IsNewRow(row)) {
        target.newRow = true;
    } else if (row == Focus() && !_focused.IsNewRow()) {
        target.record = _focused._saved;
    } else if (const kwdmRecord* record = _rows.Row(row)) {
        target.record = *record;
    }
    return target;
}

int64_t kwdmDataSource::RowOfTarget(const Target& target) {
    if (target.newRow) return HasNewRow() ? RowCount() - 1 : -1;
    if (target.record.rowid == 0) return -1;
    if (const kwdmRecord* cached = _rows.CachedRow(target.row); cached && cached->rowid == target.record.rowid)
        return target.row;
    return _rows.RowOf(target.record, target.row);
}

void kwdmDataSource::Reopen(const Target& target, bool keepCells) {
    const bool keep = keepCells || _focused.Changed();
    Reset();
    _sought.reset();
    int64_t row = RowOfTarget(target);
    if (row < 0 && !target.newRow && target.record.rowid != 0 && Counting()) _sought = target;
    if (row >= 0 && keep) {
        // A record without changes of this user's shows what the file holds now.
        const kwdmRecord* fresh = !_focused.IsNewRow() && !_focused.Changed() ? _rows.Row(row) : nullptr;
        if (fresh) {
            const kwdmRecord copy = *fresh;
            _focused.Load(row, &copy);
        }
        _focused._row = row;
        emit focusChanged(row);
    } else {
        if (row < 0) row = RecordCount() > 0 ? 0 : (HasNewRow() ? RowCount() - 1 : -1);
        if (keep && _focused.IsNewRow() && HasNewRow()) {
            _focused._row = RowCount() - 1;
            emit focusChanged(_focused._row);
        } else {
            UnlockFocused();
            Enter(row);
        }
    }
    kwdmCallbackInfo info(_owner, _focused, _callbacks.AppData());
    _callbacks.CallView(KWDM_VIEW_REREAD, info);
    ScheduleWork();
}

std::string kwdmDataSource::Text(int64_t row, const kwdmQueryColumn& column) {
    if (column.Computed()) return {};
    if (row == Focus()) {
        if (kwdmCell* cell = _focused.Data(column)) {
            // A number the new row has not been given yet (its issue number) shows blank.
            if (_focused.IsNewRow() && column.Def().type == XIO_NUMBER && cell->NewValue().IsNull()) return {};
            return cell->NewText();
        }
    }
    if (IsNewRow(row) || !Layout().Contains(column.Field())) return {};
    const kwdmRecord* record = _rows.Row(row);
    if (!record) return {};
    return column.Format(record->values[static_cast<size_t>(column.Field() - Layout().FirstField())]);
}

int kwdmDataSource::Attachments(int64_t row) {
    if (IsNewRow(row)) return 0;
    if (!_rows.Row(row)) return 0;
    kwdmRecord* record = _rows.CachedRow(row);
    if (!record) return 0;
    if (record->attachments < 0) {
        // The attachments are found by the record's key, put into the buffer.
        Layout().Put(*record);
        record->attachments = kwdmAttachmentsQueryColumn::CountFor(_file, _node.RecordType());
    }
    return record->attachments;
}

void kwdmDataSource::AttachmentsChanged(int count) {
    if (kwdmRecord* record = _rows.CachedRow(Focus())) record->attachments = count;
    _focused._saved.attachments = count;
    emit rowChanged(Focus());
}

bool kwdmDataSource::Editable(const kwdmQueryColumn& column) const {
    if (column.ReadOnly() || column.Computed()) return false;
    return _focused.IsNewRow() ? _node.Has(kwdmQueryNode::INSERT) : _node.Has(kwdmQueryNode::UPDATE);
}

// ---- idle work -------------------------------------------------------------------------

void kwdmDataSource::ScheduleWork() {
    if (Counting()) {
        if (!_counting) {
            _counting = true;
            emit countingChanged(true);
        }
        _work.start();
    } else if (_counting) {
        _counting = false;
        emit countingChanged(false);
    }
    if (_node.Has(kwdmQueryNode::FOLLOW) && !_follow.isActive()) _follow.start();
}

void kwdmDataSource::DoWork() {
    _rows.Work(kSliceBudget);
    if (_sought) {
        const int64_t row = _rows.RowOf(_sought->record);
        if (row >= 0) {
            _sought.reset();
            if (!_focused.Changed()) {
                UnlockFocused();
                Enter(row);
            }
        } else if (!Counting()) {
            _sought.reset();
        }
    }
    ScheduleWork();
}

void kwdmDataSource::Follow() {
    if (Counting() || _focused.Changed() || !_file) return;
    if (_rows.FileChanged()) Refresh(1, 1, 0);
}

// ---- focus -----------------------------------------------------------------------------

void kwdmDataSource::Enter(int64_t row) {
    const kwdmRecord* record = nullptr;
    if (row >= 0 && !IsNewRow(row)) {
        record = _rows.Row(row);
        if (!record) {
            if (_rows.LastError()) xio_io_error(_file, _rows.LastError());
            row = HasNewRow() ? RowCount() - 1 : -1;
        }
    }
    _focused.Load(row, record);
    if (row >= 0) CallRow(KWDM_ROW_ENTER);
    emit focusChanged(row);
}

bool kwdmDataSource::Leave() {
    if (_focused.Changed()) {
        if (!WriteFocused()) return false;
    } else {
        UnlockFocused();
    }
    CallRow(KWDM_ROW_LEAVE);
    return true;
}

bool kwdmDataSource::MoveFocus(int64_t row) {
    if (row < 0 || row >= RowCount()) return false;
    if (row == Focus()) return true;
    _sought.reset();
    const Target target = TargetOf(row);
    if (!Leave()) {
        emit focusChanged(Focus());
        return false;
    }
    int64_t place = RowOfTarget(target);
    if (place < 0) place = std::clamp<int64_t>(row, 0, RowCount() - 1);
    Enter(place);
    return true;
}

bool kwdmDataSource::First() { return RowCount() > 0 && MoveFocus(0); }

bool kwdmDataSource::Previous() { return Focus() > 0 && MoveFocus(Focus() - 1); }

bool kwdmDataSource::Next() { return Focus() + 1 < RowCount() && MoveFocus(Focus() + 1); }

bool kwdmDataSource::Last() {
    if (Counting()) _rows.ReachEnd(kFirstPageBudget);
    const int64_t last = RecordCount() > 0 ? RecordCount() - 1 : RowCount() - 1;
    return last >= 0 && MoveFocus(last);
}

// ---- edits -----------------------------------------------------------------------------

void kwdmDataSource::CellChanged(kwdmCell&, bool markChanged) {
    if (markChanged && !_focused._changed) {
        _focused._changed = true;
        if (!_focused.IsNewRow() && _node.Has(kwdmQueryNode::LOCK) && !_focused._locked) {
            // Locked at the first change, so the user learns now, not when leaving the row,
            // that another user is at the same record.
            const short status = LockFocused();
            if (status == XIO_LOCKED) {
                Told(std::string(xio_status_text(XIO_LOCKED)) +
                     "\n\nYour change is kept; it is saved when you leave the row once the other user has "
                     "finished (or press Esc to undo it).");
            } else if (status != XIO_OK && status != XIO_NO_RECORD) {
                xio_io_error(_file, status);
            }
        }
    }
    emit rowChanged(Focus());
}

bool kwdmDataSource::UserEdit(const kwdmQueryColumn& column, const std::string& text, kwdmViewCtrl* from) {
    if (!Editable(column)) return false;
    std::unique_ptr<kwData> value = column.MakeValue();
    if (!value->Set(text)) {
        std::string why = "\"" + text + "\" is not a valid " + column.Label() + ".";
        if (column.Def().type == XIO_DATE) why += "\n\nType the date as " + xd_date_format() + ".";
        else if (column.Def().type == XIO_TIME) why += "\n\nType the time as HH:MM or HH:MM:SS.";
        else if (column.IsText() && column.Def().width > 0)
            why = column.Label() + " holds at most " + std::to_string(column.Def().width) +
                  " characters; the text typed is longer.";
        Told(why);
        return false;
    }
    return UserSetValue(column, *value, from);
}

bool kwdmDataSource::UserSetValue(const kwdmQueryColumn& column, const kwData& value, kwdmViewCtrl* from) {
    if (!Editable(column)) return false;
    kwdmCell* cell = _focused.Data(column);
    if (!cell) return false;
    if (cell->NewValue().Compare(value) == 0 && cell->NewText() == value.Format()) return true;
    if (!cell->SetValue(value, true)) return false;
    kwdmCallbackInfo info(from ? *from : _owner, _focused, _callbacks.AppData());
    info.WithColumn(const_cast<kwdmQueryColumn*>(&column));
    _callbacks.CallColumn(KWDM_COLUMN_CHANGED, column.Name(), info);
    emit rowChanged(Focus());
    return true;
}

bool kwdmDataSource::Checked() {
    for (const auto& cell : _focused._cells) {
        const kwdmQueryColumn& column = cell->Column();
        if (!column.ListOnly() || !column.CustomList() || (!_focused.IsNewRow() && !cell->Changed())) continue;
        std::vector<std::string> entries;
        xk_get_custom_list(column.CustomList(), &entries);
        const std::string text = cell->NewText();
        const bool listed = std::any_of(entries.begin(), entries.end(),
                                        [&](const std::string& entry) { return x_equal_nocase(entry, text); });
        if (!listed && !text.empty()) {
            Told(column.Label() + ": \"" + text + "\" is not an entry of the list. Choose one of its entries." + kKept);
            return false;
        }
    }
    return true;
}

short kwdmDataSource::LockFocused() {
    if (_focused.IsNewRow() || _focused._saved.rowid == 0) return XIO_OK;
    const short status = xio_restore_record(_file, _focused._saved.rowid, _node.RecordType(), 1);
    if (status != XIO_OK) return status;
    _focused._locked = true;
    kwdmRecord stored;
    Layout().Read(stored);
    TakeStoredChanges(stored);
    return XIO_OK;
}

void kwdmDataSource::UnlockFocused() {
    if (!_focused._locked) return;
    _focused._locked = false;
    if (xio_restore_record(_file, _focused._saved.rowid, _node.RecordType(), 0) == XIO_OK)
        xio_unlock_record(_file, _node.RecordType(), 1);
    else
        xio_unlock_record(_file, _node.RecordType(), 0);
}

bool kwdmDataSource::TakeStoredChanges(const kwdmRecord& stored) {
    if (stored.values == _focused._saved.values) return false;
    const short first = Layout().FirstField();
    for (const auto& cell : _focused._cells) {
        const kwdmQueryColumn& column = cell->Column();
        if (column.Computed() || !Layout().Contains(column.Field())) continue;
        const kwdmFieldValue& value = stored.values[static_cast<size_t>(column.Field() - first)];
        if (cell->Changed()) cell->TakeSaved(value);
        else cell->Load(value);
    }
    const int64_t rowid = _focused._saved.rowid;
    _focused._saved = stored;
    _focused._saved.rowid = rowid;
    _rows.Replace(Focus(), _focused._saved);
    emit rowChanged(Focus());
    return true;
}

bool kwdmDataSource::WriteFocused() {
    if (CallRow(KWDM_ROW_WRITE) != 0) {
        Told(std::string("This row cannot be saved as it stands.") + kKept);
        return false;
    }
    if (!Checked()) return false;
    if (!_focused.IsNewRow() && _audit && _node.Has(kwdmQueryNode::AUDIT)) _audit->Stamp(_focused);
    kwdmRecord record = _focused.Working();
    return _focused.IsNewRow() ? WriteNew(record) : WriteExisting(record);
}

bool kwdmDataSource::WriteNew(kwdmRecord& record) {
    const short type = _node.RecordType();
    xio_clr_record(_file, type);
    Layout().Put(record);
    const short status = xio_wr_record(_file, type, 0);
    if (status != XIO_OK) {
        Told(xio_error_text(_file, status) + kKept);
        return false;
    }
    record.rowid = xio_save_record(_file, type);
    Layout().Read(record);
    _focused.Load(Focus(), &record);
    Target written;
    written.record = record;
    written.row = -1;
    Reopen(written, true);
    return true;
}

bool kwdmDataSource::WriteExisting(kwdmRecord& record) {
    const short type = _node.RecordType();
    const std::vector<kwdmFieldValue> before = _focused._saved.values;
    short status = xio_restore_record(_file, _focused._saved.rowid, type, 1);
    if (status == XIO_LOCKED) {
        _focused._locked = false;
        Told(InUseText());
        return false;
    }
    if (status == XIO_NO_RECORD) {
        Told(std::string("This record was deleted by another user.") +
             "\n\nYour changes are kept on screen: press Esc to drop them.");
        return false;
    }
    if (status != XIO_OK) {
        Told(xio_error_text(_file, status) + kKept);
        return false;
    }
    _focused._locked = true;
    kwdmRecord stored;
    Layout().Read(stored);
    if (TakeStoredChanges(stored)) {
        Told(std::string("Another user changed this record while you were editing it. Their changes are now shown, "
                         "with yours over them.") +
             kKept);
        return false;
    }
    Layout().Put(record);
    status = xio_rep_record(_file, type);
    if (status != XIO_OK) {
        Told(xio_error_text(_file, status) + kKept);
        return false;
    }
    record.rowid = _focused._saved.rowid;
    UnlockFocused();
    // Did the record move in the order?
    bool moved = false;
    xio_key_def key{};
    if (xio_get_key_def(_file, _order, &key, type) == XIO_OK)
        for (int i = 0; i < key.fieldCount; ++i) {
            const auto index = static_cast<size_t>(key.fields[i] - Layout().FirstField());
            if (!(before[index] == record.values[index])) moved = true;
        }
    _focused.Load(Focus(), &record);
    if (!moved) {
        _rows.Replace(Focus(), record);
        emit rowChanged(Focus());
        return true;
    }
    Target written;
    written.record = record;
    written.row = -1;
    Reopen(written, true);
    return true;
}

bool kwdmDataSource::Commit() {
    if (!_focused.Changed()) return true;
    return WriteFocused();
}

void kwdmDataSource::CancelChanges() {
    UnlockFocused();
    const int64_t row = Focus();
    if (_focused.IsNewRow()) {
        _focused.Load(row, nullptr);
    } else {
        const kwdmRecord saved = _focused._saved;
        _focused.Load(row, &saved);
    }
    if (row >= 0) CallRow(KWDM_ROW_ENTER);
    emit rowChanged(row);
}

bool kwdmDataSource::DeleteFocused(kwdmControl* control) {
    if (Focus() < 0) return false;
    if (_focused.IsNewRow()) {
        CancelChanges();
        return true;
    }
    short answer = 0;
    if (_callbacks.HasRowCallback(KWDM_ROW_DELETE, _node.Name())) {
        answer = CallRow(KWDM_ROW_DELETE, control);
    } else {
        answer = xw_wr_message(0, XW_YESNO, "Delete this record?", 0) == XW_ANSWER_YES ? KWDM_DELETE_ROW : 1;
    }
    if (answer != KWDM_DELETE_ROW) return false;
    const short type = _node.RecordType();
    short status = xio_restore_record(_file, _focused._saved.rowid, type, 1);
    if (status == XIO_OK) status = xio_del_record(_file, type);
    if (status == XIO_LOCKED) {
        Told(std::string(xio_status_text(XIO_LOCKED)) + "\n\nIt was not deleted.");
        return false;
    }
    if (status != XIO_OK && status != XIO_NO_RECORD) {
        xio_io_error(_file, status);
        UnlockFocused();
        return false;
    }
    _focused._locked = false;
    _focused._changed = false;
    // The focus goes to the record that followed, else to the one before.
    Target next = TargetOf(Focus() + 1 < RecordCount() ? Focus() + 1 : Focus() - 1);
    _focused._saved.rowid = 0;
    Reopen(next, false);
    return true;
}

bool kwdmDataSource::SetIndex(short key) {
    if (key == _order) return true;
    xio_key_def def{};
    if (xio_get_key_def(_file, key, &def, _node.RecordType()) != XIO_OK) return false;
    if (!Commit()) return false;
    Target focused = TargetOf(Focus());
    focused.row = -1; // its place in the other order says nothing of where it stands in this one
    _order = key;
    Reopen(focused, true);
    return true;
}

bool kwdmDataSource::Reread() {
    UnlockFocused();
    if (_focused.IsNewRow() || _focused._saved.rowid == 0) {
        CancelChanges();
        return true;
    }
    const short status = xio_restore_record(_file, _focused._saved.rowid, _node.RecordType(), 0);
    if (status != XIO_OK) {
        _focused._changed = false;
        Refresh(1, 1, 0);
        return false;
    }
    kwdmRecord record;
    Layout().Read(record);
    _rows.Replace(Focus(), record);
    _focused.Load(Focus(), &record);
    emit rowChanged(Focus());
    return true;
}

bool kwdmDataSource::Requery() {
    if (!Commit()) return false;
    Reopen(TargetOf(Focus()), true);
    return true;
}

void kwdmDataSource::Refresh(short, short, short) { Reopen(TargetOf(Focus()), true); }
