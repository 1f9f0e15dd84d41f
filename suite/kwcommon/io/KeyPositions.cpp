// Positions by ordinal in a key's order (xio_selection): the grid places a scroll-bar jump
// and counts its rows from the key's index alone. SQLite steps over index entries with
// OFFSET without touching the table when the index covers the query (it holds the key's
// columns and the rowid), and merges several index ranges in key order with a compound
// SELECT, so a jump into the middle of a million records costs one pass over half an
// index, never a read of the records it passes. Statements are kept with the open file.
#include "RecordManagerInternal.h"
#include "Schema.h"

#include "kwcommon/xio.h"

#include <algorithm>
#include <string>
#include <vector>

using kwio::Fail;
using kwio::Find;
using kwio::IndexName;
using kwio::IsText;
using kwio::OpenFile;
using kwio::Quote;
using kwio::TableName;

namespace {

// The kept statement of this text (prepared on first use, reset on every later one); null
// with the failure recorded when it cannot be prepared.
sqlite3_stmt* Prepared(OpenFile* f, const std::string& sql) {
    return kwio::Ready(f, f->positioned[sql], [&] { return sql; });
}

// One value of a selection as the index holds it: the text as stored (`stored`, one
// arm of the compound SELECT) and the value asked for (`wanted`).
struct Arm {
    x_value_def stored;
    x_value_def wanted;
};

// The condition that keeps one arm's records: equal to the stored text as the field
// compares (so the index range stays in key order), and equal to the value asked for with
// letter case counting and trailing blanks not.
std::string ValueCondition(const xio_fld_def& field) {
    const std::string name = Quote(field.name);
    if (!IsText(field)) return name + " = ?";
    return name + " = ? AND " + name + " = ? COLLATE RTRIM";
}

void BindArm(const xio_fld_def& field, sqlite3_stmt* stmt, int* index, const Arm& arm) {
    if (!IsText(field)) {
        sqlite3_bind_double(stmt, (*index)++, arm.wanted.AsNumber());
        return;
    }
    for (const x_value_def* value : {&arm.stored, &arm.wanted}) {
        const std::string text = value->AsText();
        sqlite3_bind_text(stmt, (*index)++, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
}

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}


bool IndexExists(OpenFile* f, short type, short key) {
    sqlite3_stmt* stmt = Prepared(f, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?");
    if (!stmt) return false;
    const std::string name = IndexName(type, key);
    sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    const bool exists = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_reset(stmt);
    return exists;
}

// How a selection is read from the indexes.
struct Plan {
    const xio_key_def* order = nullptr; // the order key
    short index = -1;                   // the key whose index serves the selection
    const xio_fld_def* field = nullptr; // the filter field, null for every record
};

short MakePlan(OpenFile* f, const xio_selection& selection, Plan* plan) {
    if (short status = kwio::CheckRecordFile(f)) return status;
    const kwDictionary& dict = *f->dict;
    const kwio::RecordBuffer* buffer = kwio::Buffer(f, selection.type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    // A file opened without writing that lacks the table has no index either.
    if (!buffer->tablePresent) return Fail(f, XIO_BAD_KEY, "the file has no table for the record type");
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

// The arms of a selection: each value, and each form of it with blanks after it that the
// index holds (found by stepping from one distinct key to the next, never over records).
std::vector<Arm> ArmsOf(OpenFile* f, const Plan& plan, const xio_selection& selection) {
    std::vector<Arm> arms;
    const xio_fld_def& field = *plan.field;
    if (!IsText(field)) {
        for (const x_value_def& value : selection.values) arms.push_back({value, value});
        return arms;
    }
    const std::string name = Quote(field.name);
    sqlite3_stmt* next = Prepared(f, "SELECT " + name + " FROM " + TableName(selection.type) + " INDEXED BY " +
                                    IndexName(selection.type, plan.index) + " WHERE " + name + " > ?1 AND " + name +
                                    " <= ?2 ORDER BY " + name + " LIMIT 1");
    for (const x_value_def& value : selection.values) {
        const std::string wanted = TrimRight(value.AsText());
        const x_value_def base = x_value_def::OfText(wanted);
        arms.push_back({base, base});
        if (!next) continue;
        const size_t width = std::max<size_t>(static_cast<size_t>(std::max<short>(field.width, 0)), wanted.size() + 1);
        const std::string last = wanted + std::string(width - wanted.size(), ' ');
        std::string from = wanted;
        for (int guard = 0; guard <= static_cast<int>(width); ++guard) {
            sqlite3_reset(next);
            sqlite3_bind_text(next, 1, from.c_str(), static_cast<int>(from.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(next, 2, last.c_str(), static_cast<int>(last.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(next) != SQLITE_ROW) break;
            const unsigned char* text = sqlite3_column_text(next, 0);
            from.assign(text ? reinterpret_cast<const char*>(text) : "", static_cast<size_t>(sqlite3_column_bytes(next, 0)));
            arms.push_back({x_value_def::OfText(from), base});
        }
        sqlite3_reset(next);
    }
    return arms;
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


} // namespace

short xio_selection_indexed(short file, const xio_selection& selection) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    return kwio::Ok(f);
}

short xio_count_selection(short file, const xio_selection& selection, int64_t* count) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    if (!plan.field) return xio_count_records(file, selection.type, count);
    const std::string sql = "SELECT count(*) FROM " + TableName(selection.type) + " INDEXED BY " +
                            IndexName(selection.type, plan.index) + " WHERE " + ValueCondition(*plan.field);
    sqlite3_stmt* stmt = Prepared(f, sql);
    if (!stmt) return f->status;
    int64_t total = 0;
    for (const Arm& arm : ArmsOf(f, plan, selection)) {
        sqlite3_reset(stmt);
        int index = 1;
        BindArm(*plan.field, stmt, &index, arm);
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_ROW) {
            sqlite3_reset(stmt);
            return kwio::FailSqlite(f, rc);
        }
        total += sqlite3_column_int64(stmt, 0);
    }
    sqlite3_reset(stmt);
    *count = total;
    return kwio::Ok(f);
}

short xio_rd_ordinal(short file, const xio_selection& selection, int64_t ordinal, short fromEnd, short lock) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    if (ordinal < 0) return Fail(f, XIO_NO_RECORD);
    if (plan.field && selection.values.empty()) return Fail(f, XIO_NO_RECORD);
    const std::vector<Arm> arms = plan.field ? ArmsOf(f, plan, selection) : std::vector<Arm>{};
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
        for (size_t v = 0; v < arms.size(); ++v) {
            if (v) sql += " UNION ALL ";
            sql += "SELECT " + columns + " FROM " + table + " INDEXED BY " + index + " WHERE " +
                   ValueCondition(*plan.field);
        }
        sql += " ORDER BY " + OrderColumns(dict, *plan.order, fromEnd != 0, true) + " LIMIT 1 OFFSET ?";
    }
    sqlite3_stmt* stmt = Prepared(f, sql);
    if (!stmt) return f->status;
    int next = 1;
    for (const Arm& arm : arms) BindArm(*plan.field, stmt, &next, arm);
    sqlite3_bind_int64(stmt, next, ordinal);
    const int rc = sqlite3_step(stmt);
    const int64_t rowid = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_reset(stmt);
    if (rc == SQLITE_DONE) return Fail(f, XIO_NO_RECORD);
    if (rc != SQLITE_ROW) return kwio::FailSqlite(f, rc);
    return xio_restore_record(file, rowid, selection.type, lock);
}

short xio_ordinal_of(short file, const xio_selection& selection, int64_t* ordinal, short fromEnd) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    Plan plan;
    if (short status = MakePlan(f, selection, &plan)) return status;
    kwio::RecordBuffer& record = *kwio::Buffer(f, selection.type);
    if (record.rowid == 0) return Fail(f, XIO_NO_CURRENT);
    // The order key's fields as the current record was read (a record read by another
    // key's walk holds only that key's).
    if (record.snapshotKey >= 0 && record.snapshotKey != selection.key) kwio::SnapshotFor(f, record, selection.key);
    const kwDictionary& dict = *f->dict;
    const xio_key_def& order = *plan.order;
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
    // Records before the current one (after it, from the end), counted as clean index
    // ranges, one a column: the first column before its value; then, among those equal in
    // the first column, the second before its value; and so on to the rowid. A count of a
    // range compares only its bounds, where one condition over several columns would be
    // tested entry by entry.
    const std::string beyond = fromEnd ? " > ?" : " < ?";
    const std::string filter = plan.field ? " AND " + ValueCondition(*plan.field) : std::string();
    const std::string from = " FROM " + TableName(selection.type) + " INDEXED BY " + IndexName(selection.type, plan.index);
    std::vector<sqlite3_stmt*> ranges;
    std::string equal;
    for (int i = 0; i <= order.fieldCount; ++i) {
        const std::string column = i < order.fieldCount ? Quote(dict.Field(order.fields[i])->name) : "rowid";
        sqlite3_stmt* stmt = Prepared(f, "SELECT count(*)" + from + " WHERE " + equal + column + beyond + filter);
        if (!stmt) return f->status;
        ranges.push_back(stmt);
        equal += column + " = ? AND ";
    }
    const std::vector<Arm> arms = plan.field ? ArmsOf(f, plan, selection) : std::vector<Arm>{Arm{}};
    int64_t total = 0;
    for (const Arm& arm : arms) {
        for (size_t r = 0; r < ranges.size(); ++r) {
            sqlite3_stmt* stmt = ranges[r];
            sqlite3_reset(stmt);
            int index = 1;
            // The columns before this one equal, this one beyond.
            for (size_t i = 0; i <= r; ++i) {
                if (i < static_cast<size_t>(order.fieldCount)) bindKey(stmt, &index, static_cast<int>(i));
                else sqlite3_bind_int64(stmt, index++, record.rowid);
            }
            if (plan.field) BindArm(*plan.field, stmt, &index, arm);
            const int rc = sqlite3_step(stmt);
            const int64_t counted = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
            sqlite3_reset(stmt);
            if (rc != SQLITE_ROW) return kwio::FailSqlite(f, rc);
            total += counted;
        }
    }
    *ordinal = total;
    return kwio::Ok(f);
}

short xio_file_version(short file, int64_t* version) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    // Commits through other connections (other processes, other opens) move SQLite's data
    // version; this process's own writes move the record manager's write generation (with
    // writes to other files too: a version that moves without a change of this file costs
    // its reader a needless look, never a missed change).
    sqlite3_stmt* stmt = Prepared(f, "PRAGMA data_version");
    if (!stmt) return f->status;
    const int rc = sqlite3_step(stmt);
    const int64_t dataVersion = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_reset(stmt);
    if (rc != SQLITE_ROW) return kwio::FailSqlite(f, rc);
    *version = static_cast<int64_t>((static_cast<uint64_t>(dataVersion) << 32) ^ kwio::Generation());
    return kwio::Ok(f);
}
