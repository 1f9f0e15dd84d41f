// Positions by ordinal in a key's order (xio_selection): the grid places a scroll-bar jump
// and counts its rows from the key's index alone. SQLite steps over index entries with
// OFFSET without touching the table when the index covers the query (it holds the key's
// columns and the rowid), and merges several index ranges in key order with a compound
// SELECT, so a jump into the middle of a million records costs one pass over half an
// index, never a read of the records it passes.
#include "OpenFile.h"
#include "RecordManagerInternal.h"

#include "kwcommon/xio.h"

#include <algorithm>
#include <string>
#include <vector>

using kwio::OpenFile;

namespace {

// The schema's names (see xio.h): table r<type>, index k<type>_<key>, quoted column names.
std::string TableName(short type) { return "r" + std::to_string(type); }
std::string IndexName(short type, short key) { return "k" + std::to_string(type) + "_" + std::to_string(key); }
std::string Quote(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

short Fail(OpenFile* f, short status, const std::string& detail = {}) {
    f->status = status;
    if (!detail.empty()) f->detail = detail;
    return status;
}

bool IsText(const xio_fld_def& field) { return field.type == XIO_TEXT || field.type == XIO_PHONE; }

bool IndexExists(OpenFile* f, short type, short key) {
    kwio::Statement stmt(f->db.get(), "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?");
    if (!stmt) return false;
    const std::string name = IndexName(type, key);
    sqlite3_bind_text(stmt.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
    return sqlite3_step(stmt.get()) == SQLITE_ROW;
}

// How a selection is read from the indexes.
struct Plan {
    const xio_key_def* order = nullptr; // the order key
    short index = -1;                   // the key whose index serves the selection
    const xio_fld_def* field = nullptr; // the filter field, null for every record
};

short MakePlan(OpenFile* f, const xio_selection& selection, Plan* plan) {
    if (!f->db.get() || f->dictionaryOnly) return Fail(f, XIO_BAD_FILE_NUMBER, "only the dictionary is open");
    const kwDictionary& dict = *f->dict;
    if (!dict.RecordType(selection.type)) return Fail(f, XIO_BAD_RECORD_TYPE);
    plan->order = dict.Key(selection.type, selection.key);
    if (!plan->order) return Fail(f, XIO_BAD_KEY);
    if (selection.field == 0) {
        if (!IndexExists(f, selection.type, selection.key)) return Fail(f, XIO_BAD_KEY, "the key has no index");
        plan->index = selection.key;
        return XIO_OK;
    }
    plan->field = dict.Field(selection.field);
    if (!plan->field || plan->field->recordType != selection.type) return Fail(f, XIO_BAD_FIELD);
    // Each value's records must lie in one index range already in the order key's order:
    // the order key itself leads with the field, or another key is the field followed by
    // the order key's fields.
    const xio_key_def& order = *plan->order;
    for (const xio_key_def& key : dict.keys) {
        if (key.recordType != selection.type || key.fieldCount < 1 || key.fields[0] != selection.field) continue;
        bool serves = key.number == order.number;
        if (!serves && key.fieldCount == order.fieldCount + 1) {
            serves = true;
            for (int i = 0; i < order.fieldCount; ++i)
                if (key.fields[i + 1] != order.fields[i]) serves = false;
        }
        if (serves && IndexExists(f, selection.type, key.number)) {
            plan->index = key.number;
            return XIO_OK;
        }
    }
    return Fail(f, XIO_BAD_KEY, "no index serves the selection");
}

// "c1, c2, rowid" (with DESC after each when descending).
std::string OrderColumns(const kwDictionary& dict, const xio_key_def& order, bool descending, bool positional) {
    std::string columns;
    for (int i = 0; i < order.fieldCount; ++i) {
        columns += positional ? std::to_string(i + 2) : Quote(dict.Field(order.fields[i])->name);
        if (descending) columns += " DESC";
        columns += ", ";
    }
    columns += positional ? "1" : "rowid";
    if (descending) columns += " DESC";
    return columns;
}

// The condition that keeps one value's records: the field equal to it with letter case
// counting and trailing blanks not, whatever the field's own collation. The range lets the
// index find the records (the value followed by blanks up to the field's width); the
// RTRIM comparison then drops other letter cases and anything but blanks after the value.
std::string ValueCondition(const xio_fld_def& field) {
    const std::string name = Quote(field.name);
    if (!IsText(field)) return name + " = ?";
    return name + " BETWEEN ? AND ? AND " + name + " = ? COLLATE RTRIM";
}

void BindValue(const xio_fld_def& field, sqlite3_stmt* stmt, int* index, const x_value_def& value) {
    if (!IsText(field)) {
        sqlite3_bind_double(stmt, (*index)++, value.AsNumber());
        return;
    }
    std::string text = value.AsText();
    while (!text.empty() && text.back() == ' ') text.pop_back();
    const size_t width = std::max<size_t>(static_cast<size_t>(std::max<short>(field.width, 0)), text.size() + 1);
    const std::string padded = text + std::string(width - text.size(), ' ');
    sqlite3_bind_text(stmt, (*index)++, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, (*index)++, padded.c_str(), static_cast<int>(padded.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, (*index)++, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

short StepError(OpenFile* f, int rc) {
    return Fail(f, rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB ? XIO_CORRUPT : XIO_FAILED, sqlite3_errmsg(f->db.get()));
}

} // namespace

short xio_selection_indexed(short file, const xio_selection& selection) {
    OpenFile* f = kwio_find_open_file(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    f->status = XIO_OK;
    return XIO_OK;
}

short xio_count_selection(short file, const xio_selection& selection, int64_t* count) {
    OpenFile* f = kwio_find_open_file(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    if (!plan.field) return xio_count_records(file, selection.type, count);
    const std::string sql = "SELECT count(*) FROM " + TableName(selection.type) + " INDEXED BY " +
                            IndexName(selection.type, plan.index) + " WHERE " + ValueCondition(*plan.field);
    kwio::Statement stmt(f->db.get(), sql);
    if (!stmt) return StepError(f, sqlite3_errcode(f->db.get()));
    int64_t total = 0;
    for (const x_value_def& value : selection.values) {
        sqlite3_reset(stmt.get());
        int index = 1;
        BindValue(*plan.field, stmt.get(), &index, value);
        const int rc = sqlite3_step(stmt.get());
        if (rc != SQLITE_ROW) return StepError(f, rc);
        total += sqlite3_column_int64(stmt.get(), 0);
    }
    *count = total;
    f->status = XIO_OK;
    return XIO_OK;
}

short xio_rd_ordinal(short file, const xio_selection& selection, int64_t ordinal, short fromEnd, short lock) {
    OpenFile* f = kwio_find_open_file(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    if (ordinal < 0) return Fail(f, XIO_NO_RECORD);
    if (plan.field && selection.values.empty()) return Fail(f, XIO_NO_RECORD);
    const kwDictionary& dict = *f->dict;
    const std::string table = TableName(selection.type);
    const std::string index = IndexName(selection.type, plan.index);
    std::string sql;
    if (!plan.field) {
        sql = "SELECT rowid FROM " + table + " INDEXED BY " + index + " ORDER BY " +
              OrderColumns(dict, *plan.order, fromEnd != 0, false) + " LIMIT 1 OFFSET ?";
    } else {
        // One arm per value, each an index range in key order; SQLite merges them.
        std::string columns = "rowid";
        for (int i = 0; i < plan.order->fieldCount; ++i) columns += ", " + Quote(dict.Field(plan.order->fields[i])->name);
        for (size_t v = 0; v < selection.values.size(); ++v) {
            if (v) sql += " UNION ALL ";
            sql += "SELECT " + columns + " FROM " + table + " INDEXED BY " + index + " WHERE " +
                   ValueCondition(*plan.field);
        }
        sql += " ORDER BY " + OrderColumns(dict, *plan.order, fromEnd != 0, true) + " LIMIT 1 OFFSET ?";
    }
    kwio::Statement stmt(f->db.get(), sql);
    if (!stmt) return StepError(f, sqlite3_errcode(f->db.get()));
    int next = 1;
    if (plan.field)
        for (const x_value_def& value : selection.values) BindValue(*plan.field, stmt.get(), &next, value);
    sqlite3_bind_int64(stmt.get(), next, ordinal);
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_DONE) return Fail(f, XIO_NO_RECORD);
    if (rc != SQLITE_ROW) return StepError(f, rc);
    const int64_t rowid = sqlite3_column_int64(stmt.get(), 0);
    return xio_restore_record(file, rowid, selection.type, lock);
}

short xio_ordinal_of(short file, const xio_selection& selection, int64_t* ordinal) {
    OpenFile* f = kwio_find_open_file(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    auto buffer = f->buffers.find(selection.type);
    if (buffer == f->buffers.end() || buffer->second.rowid == 0) return Fail(f, XIO_NO_CURRENT);
    const kwio::RecordBuffer& record = buffer->second;
    const kwDictionary& dict = *f->dict;
    const xio_key_def& order = *plan.order;
    const xio_fld_def& first = *dict.Field(order.fields[0]);
    auto keyValue = [&](int i) -> const kwio::FieldValue& {
        return record.keySnapshot[order.fields[i] - record.def->firstField];
    };
    auto bindKey = [&](sqlite3_stmt* stmt, int* index, int i) {
        const xio_fld_def& field = *dict.Field(order.fields[i]);
        if (IsText(field)) {
            const std::string& text = keyValue(i).text;
            sqlite3_bind_text(stmt, (*index)++, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        } else {
            sqlite3_bind_double(stmt, (*index)++, keyValue(i).number);
        }
    };
    // Records before the current one: a range on the key's first column (which the index
    // counts fastest), then, among those that share it, the rest of the key and the rowid.
    std::string rest;
    for (int i = 1; i < order.fieldCount; ++i) rest += Quote(dict.Field(order.fields[i])->name) + ", ";
    rest += "rowid";
    std::string restValues;
    for (int i = 1; i < order.fieldCount; ++i) restValues += "?, ";
    restValues += "?";
    const std::string filter = plan.field ? " AND " + ValueCondition(*plan.field) : std::string();
    const std::string from = " FROM " + TableName(selection.type) + " INDEXED BY " + IndexName(selection.type, plan.index);
    const std::string firstName = Quote(first.name);
    kwio::Statement before(f->db.get(), "SELECT count(*)" + from + " WHERE " + firstName + " < ?" + filter);
    kwio::Statement ties(f->db.get(), "SELECT count(*)" + from + " WHERE " + firstName + " = ? AND (" + rest + ") < (" +
                                          restValues + ")" + filter);
    if (!before || !ties) return StepError(f, sqlite3_errcode(f->db.get()));
    const std::vector<x_value_def> all{x_value_def{}};
    const std::vector<x_value_def>& values = plan.field ? selection.values : all;
    int64_t total = 0;
    for (const x_value_def& value : values) {
        for (sqlite3_stmt* stmt : {before.get(), ties.get()}) {
            sqlite3_reset(stmt);
            int index = 1;
            bindKey(stmt, &index, 0);
            if (stmt == ties.get()) {
                for (int i = 1; i < order.fieldCount; ++i) bindKey(stmt, &index, i);
                sqlite3_bind_int64(stmt, index++, record.rowid);
            }
            if (plan.field) BindValue(*plan.field, stmt, &index, value);
            const int rc = sqlite3_step(stmt);
            if (rc != SQLITE_ROW) return StepError(f, rc);
            total += sqlite3_column_int64(stmt, 0);
        }
    }
    *ordinal = total;
    f->status = XIO_OK;
    return XIO_OK;
}
