// Finding a node's rows: index positions where an index serves, checkpointed walks where a
// callback or an unindexed filter decides; a small window of blocks in memory either way.
#include "kwdm/data/kwdmRowSet.h"

#include "kwdm/query/kwdmFilter.h"

#include <algorithm>

namespace {

constexpr int64_t kFirstRows = 32; // rows a walk finds before it yields: a first page
constexpr int kClockEvery = 32;    // records between two looks at the clock

using Clock = std::chrono::steady_clock;

} // namespace

bool kwdmRowSet::Open(const Source& source, std::chrono::milliseconds budget) {
    _source = source;
    _blocks.clear();
    _head = Segment{};
    _tail = Segment{};
    _spacing = 64;
    _count = 0;
    _lastError = 0;
    _indexed = false;
    _keyFields.clear();
    if (!_layout.Load(source.file, source.type)) return false;
    xio_key_def key{};
    if (xio_get_key_def(source.file, source.key, &key, source.type) != XIO_OK) return false;
    _keyFields.assign(key.fields, key.fields + key.fieldCount);
    _fileRecords = -1;
    _fileVersion = 0;
    xio_file_version(source.file, &_fileVersion);
    const bool selectionOnly = !source.qualifies && (!source.passes || source.selectionField != 0);
    if (selectionOnly && xio_selection_indexed(source.file, Selection()) == XIO_OK) {
        xio_count_records(source.file, source.type, &_fileRecords);
        // Every record, or the selection's own count.
        if (source.selectionField == 0) _count = _fileRecords;
        _indexed = source.selectionField == 0 || xio_count_selection(source.file, Selection(), &_count) == XIO_OK;
        if (_indexed) return true;
    }
    _count = 0;
    _head.active = true;
    Walk(_head, true, budget, kFirstRows);
    if (!Counting()) xio_count_records(source.file, source.type, &_fileRecords); // a small file, walked at once
    return true;
}

int64_t kwdmRowSet::Count() const { return _indexed ? _count : _head.count + _tail.count; }

bool kwdmRowSet::Counting() const { return !_indexed && !_head.done; }

void kwdmRowSet::Work(std::chrono::milliseconds budget) {
    // A walk learns the file's record count (for noticing changes) in its first idle slice,
    // so the first page does not wait for it.
    if (_fileRecords < 0 && xio_count_records(_source.file, _source.type, &_fileRecords) != XIO_OK) _fileRecords = 0;
    if (Counting()) Walk(_head, true, budget, 0);
}

void kwdmRowSet::ReachEnd(std::chrono::milliseconds budget) {
    if (!Counting()) return;
    if (!_tail.active) _tail.active = true;
    if (!_tail.done && _tail.count < kFirstRows) Walk(_tail, false, budget, kFirstRows - _tail.count);
}

size_t kwdmRowSet::CachedRows() const {
    size_t rows = 0;
    for (const auto& [key, block] : _blocks) rows += block.rows.size();
    return rows;
}

// ---- positions -------------------------------------------------------------------------

kwdmRowSet::Position kwdmRowSet::Current() const {
    Position position;
    position.rowid = xio_save_record(_source.file, _source.type);
    position.key.reserve(_keyFields.size());
    for (short field : _keyFields) position.key.push_back(_layout.Get(field));
    return position;
}

int kwdmRowSet::Compare(const Position& a, const Position& b) const {
    for (size_t i = 0; i < _keyFields.size(); ++i)
        if (const int c = _layout.Compare(_keyFields[i], a.key[i], b.key[i])) return c;
    return a.rowid < b.rowid ? -1 : (a.rowid > b.rowid ? 1 : 0);
}

xio_selection kwdmRowSet::Selection() const {
    xio_selection selection;
    selection.type = _source.type;
    selection.key = _source.key;
    selection.field = _source.selectionField;
    selection.values = _source.selectionValues;
    return selection;
}

bool kwdmRowSet::InSelection() const {
    if (_source.selectionField == 0) return true;
    const kwdmFieldValue value = _layout.Get(_source.selectionField);
    const bool text = _layout.IsText(_source.selectionField);
    for (const x_value_def& wanted : _source.selectionValues)
        if (text ? kwdmFilter::Equal(value.text, wanted.AsText()) : value.number == wanted.AsNumber()) return true;
    return false;
}

bool kwdmRowSet::Selected() const {
    if (_source.passes && !_source.passes()) return false;
    return !_source.qualifies || _source.qualifies();
}

short kwdmRowSet::Step(bool forward) {
    return forward ? xio_rd_next(_source.file, _source.type, _source.key, 0)
                   : xio_rd_prev(_source.file, _source.type, _source.key, 0);
}

short kwdmRowSet::Restore(const Position& position) {
    return xio_restore_record(_source.file, position.rowid, _source.type, 0);
}

// ---- the window ------------------------------------------------------------------------

kwdmRowSet::Block* kwdmRowSet::Cached(const BlockKey& key, int64_t wanted) {
    auto it = _blocks.find(key);
    if (it == _blocks.end() || static_cast<int64_t>(it->second.rows.size()) < wanted) return nullptr;
    it->second.used = ++_clock;
    return &it->second;
}

kwdmRowSet::Block& kwdmRowSet::Store(const BlockKey& key, std::vector<kwdmRecord> rows) {
    Block& block = _blocks[key];
    block.rows = std::move(rows);
    block.used = ++_clock;
    while (_blocks.size() > kMaxBlocks) {
        auto oldest = std::min_element(_blocks.begin(), _blocks.end(),
                                       [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
        if (oldest->first == key) break;
        _blocks.erase(oldest);
    }
    return _blocks[key];
}

std::pair<int, int64_t> kwdmRowSet::Locate(int64_t row) const {
    if (!_indexed && row >= _head.count) return {1, _head.count + _tail.count - 1 - row};
    return {0, row};
}

kwdmRecord* kwdmRowSet::CachedRow(int64_t row) {
    if (row < 0 || row >= Count()) return nullptr;
    const auto [segment, index] = Locate(row);
    auto it = _blocks.find({segment, index / kBlockRows});
    if (it == _blocks.end()) return nullptr;
    const auto offset = static_cast<size_t>(index % kBlockRows);
    return offset < it->second.rows.size() ? &it->second.rows[offset] : nullptr;
}

const kwdmRecord* kwdmRowSet::Row(int64_t row) {
    if (row < 0 || row >= Count()) return nullptr;
    const auto [segment, index] = Locate(row);
    const int64_t block = index / kBlockRows;
    const int64_t offset = index % kBlockRows;
    Block* cached = Cached({segment, block}, offset + 1);
    if (!cached) {
        std::vector<kwdmRecord> rows = _indexed ? FetchIndexed(block) : FetchWalked(segment, block);
        cached = &Store({segment, block}, std::move(rows));
    }
    return offset < static_cast<int64_t>(cached->rows.size()) ? &cached->rows[static_cast<size_t>(offset)] : nullptr;
}

void kwdmRowSet::Replace(int64_t row, const kwdmRecord& record) {
    if (kwdmRecord* cached = CachedRow(row)) *cached = record;
}

bool kwdmRowSet::FileChanged() {
    if (_fileRecords < 0) return false; // not counted yet: nothing to compare with
    // Counted again only after someone else committed something.
    int64_t version = 0;
    if (xio_file_version(_source.file, &version) == XIO_OK && version == _fileVersion) return false;
    int64_t records = 0;
    if (xio_count_records(_source.file, _source.type, &records) != XIO_OK) return false;
    if (records != _fileRecords) return true;
    _fileVersion = version;
    return false;
}

void kwdmRowSet::Collect(short status, bool forward, int64_t want, std::vector<kwdmRecord>& rows, bool indexed) {
    while (status == XIO_OK && static_cast<int64_t>(rows.size()) < want) {
        if (indexed ? InSelection() : Selected()) {
            rows.emplace_back();
            _layout.Read(rows.back());
            if (static_cast<int64_t>(rows.size()) == want) return;
        }
        status = Step(forward);
    }
    if (status != XIO_OK && status != XIO_NO_RECORD) _lastError = status;
}

std::vector<kwdmRecord> kwdmRowSet::FetchIndexed(int64_t block) {
    const int64_t first = block * kBlockRows;
    const int64_t want = std::min(kBlockRows, _count - first);
    std::vector<kwdmRecord> rows;
    if (want <= 0) return rows;
    rows.reserve(static_cast<size_t>(want));
    // Next to a block already read: go on walking from its edge.
    if (auto previous = _blocks.find({0, block - 1});
        previous != _blocks.end() && static_cast<int64_t>(previous->second.rows.size()) == kBlockRows) {
        const kwdmRecord& last = previous->second.rows.back();
        if (xio_restore_record(_source.file, last.rowid, _source.type, 0) == XIO_OK) {
            Collect(Step(true), true, want, rows, true);
            if (static_cast<int64_t>(rows.size()) == want) return rows;
        }
        rows.clear();
    }
    if (auto next = _blocks.find({0, block + 1}); next != _blocks.end() && !next->second.rows.empty()) {
        if (xio_restore_record(_source.file, next->second.rows.front().rowid, _source.type, 0) == XIO_OK) {
            Collect(Step(false), false, want, rows, true);
            if (static_cast<int64_t>(rows.size()) == want) {
                std::reverse(rows.begin(), rows.end());
                return rows;
            }
        }
        rows.clear();
    }
    // A jump: placed by the index from the nearer end (End reads backwards from the last
    // record). Counting from the end is only right while the count is.
    const int64_t fromEnd = _count - (first + want);
    if (first <= fromEnd || FileChanged()) {
        Collect(xio_rd_ordinal(_source.file, Selection(), first, 0, 0), true, want, rows, true);
    } else {
        Collect(xio_rd_ordinal(_source.file, Selection(), fromEnd, 1, 0), false, want, rows, true);
        std::reverse(rows.begin(), rows.end());
    }
    return rows;
}

std::vector<kwdmRecord> kwdmRowSet::FetchWalked(int segment, int64_t block) {
    Segment& walked = segment == 0 ? _head : _tail;
    const bool forward = segment == 0;
    const int64_t first = block * kBlockRows;
    const int64_t want = std::min(kBlockRows, walked.count - first);
    std::vector<kwdmRecord> rows;
    if (want <= 0 || walked.checkpoints.empty()) return rows;
    rows.reserve(static_cast<size_t>(want));
    size_t checkpoint = static_cast<size_t>(first / _spacing);
    checkpoint = std::min(checkpoint, walked.checkpoints.size() - 1);
    int64_t skip = first - static_cast<int64_t>(checkpoint) * _spacing;
    short status = Restore(walked.checkpoints[checkpoint]);
    while (status == XIO_OK && static_cast<int64_t>(rows.size()) < want) {
        if (Selected()) {
            if (skip > 0) {
                --skip;
            } else {
                rows.emplace_back();
                _layout.Read(rows.back());
                if (static_cast<int64_t>(rows.size()) == want) break;
            }
        }
        status = Step(forward);
    }
    if (status != XIO_OK && status != XIO_NO_RECORD) _lastError = status;
    return rows;
}

// ---- walking ---------------------------------------------------------------------------

void kwdmRowSet::Walk(Segment& segment, bool forward, std::chrono::milliseconds budget, int64_t stopAfter) {
    if (segment.done) return;
    const auto deadline = Clock::now() + budget;
    Segment& other = forward ? _tail : _head;
    short status = XIO_OK;
    if (!segment.cursor) {
        status = forward ? xio_rd_first(_source.file, _source.type, _source.key, 0)
                         : xio_rd_last(_source.file, _source.type, _source.key, 0);
    } else {
        status = Restore(*segment.cursor);
        if (status == XIO_OK) {
            status = Step(forward);
        } else if (status == XIO_NO_RECORD) {
            // The record the walk stopped at is gone: go on from where it stood.
            xio_clr_record(_source.file, _source.type);
            for (size_t i = 0; i < _keyFields.size(); ++i) {
                const kwdmFieldValue& value = segment.cursor->key[i];
                x_value_def carrier = _layout.IsText(_keyFields[i]) ? x_value_def::OfText(value.text)
                                                                    : x_value_def::OfNumber(value.number);
                xio_put_field(_source.file, 0, _keyFields[i], &carrier);
            }
            status = xio_rd_ge(_source.file, _source.type, _source.key, 0);
            if (!forward) status = status == XIO_OK ? Step(false) : xio_rd_last(_source.file, _source.type, _source.key, 0);
        }
    }
    const int64_t before = segment.count;
    const int segmentIndex = forward ? 0 : 1;
    int examined = 0;
    // The position of every record is taken only where it is needed: checkpoints, the
    // meeting of the two walks, and where the walk stops.
    const bool meet = other.active && other.cursor.has_value();
    while (true) {
        if (status != XIO_OK) {
            if (status != XIO_NO_RECORD) _lastError = status;
            segment.done = true;
            break;
        }
        std::optional<Position> position;
        if (meet) {
            position = Current();
            const int c = Compare(*position, *other.cursor);
            if (forward ? c >= 0 : c <= 0) {
                // The walks met: every record is known.
                segment.done = true;
                _head.done = true;
                break;
            }
        }
        if (Selected()) {
            if (segment.count % _spacing == 0) {
                if (!position) position = Current();
                segment.checkpoints.push_back(*position);
            }
            KeepWalked(segmentIndex, segment.count);
            ++segment.count;
        }
        const bool stop = (stopAfter > 0 && segment.count - before >= stopAfter) ||
                          (++examined % kClockEvery == 0 && Clock::now() >= deadline);
        if (stop) {
            segment.cursor = position ? std::move(*position) : Current();
            break;
        }
        status = Step(forward);
        if (status != XIO_OK) segment.cursor.reset();
    }
    if (!forward && segment.done) _head.done = true;
    Thin();
    if (segment.count > before && _events.inserted) _events.inserted(_head.count - (forward ? segment.count - before : 0),
                                                                        segment.count - before);
}

void kwdmRowSet::KeepWalked(int segment, int64_t index) {
    if (index >= 2 * kBlockRows) return;
    const BlockKey key{segment, index / kBlockRows};
    auto it = _blocks.find(key);
    if (it == _blocks.end()) {
        if (index % kBlockRows != 0) return;
        it = _blocks.emplace(key, Block{}).first;
    } else if (static_cast<int64_t>(it->second.rows.size()) != index % kBlockRows) {
        return;
    }
    it->second.rows.emplace_back();
    _layout.Read(it->second.rows.back());
    it->second.used = ++_clock;
}

void kwdmRowSet::Thin() {
    while (_head.checkpoints.size() + _tail.checkpoints.size() > kMaxCheckpoints) {
        _spacing *= 2;
        for (Segment* segment : {&_head, &_tail}) {
            std::vector<Position> kept;
            kept.reserve(segment->checkpoints.size() / 2 + 1);
            for (size_t i = 0; i < segment->checkpoints.size(); i += 2) kept.push_back(std::move(segment->checkpoints[i]));
            segment->checkpoints = std::move(kept);
        }
    }
}

int64_t kwdmRowSet::FindIn(const Segment& segment, bool forward, const Position& target) {
    if (segment.checkpoints.empty()) return -1;
    auto before = [&](const Position& p) { return forward ? Compare(p, target) <= 0 : Compare(p, target) >= 0; };
    // The last checkpoint that the target does not precede in the walk's direction.
    size_t low = 0, high = segment.checkpoints.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (before(segment.checkpoints[middle])) low = middle + 1;
        else high = middle;
    }
    if (low == 0) return -1;
    const size_t checkpoint = low - 1;
    int64_t index = static_cast<int64_t>(checkpoint) * _spacing;
    short status = Restore(segment.checkpoints[checkpoint]);
    while (status == XIO_OK && index < segment.count) {
        const Position position = Current();
        const int c = Compare(position, target);
        if (forward ? c > 0 : c < 0) return -1;
        const bool selected = Selected();
        if (position.rowid == target.rowid) return selected ? index : -1;
        if (selected) ++index;
        status = Step(forward);
    }
    return -1;
}

int64_t kwdmRowSet::RowOf(const kwdmRecord& record, int64_t near) {
    if (record.rowid == 0) return -1;
    if (_indexed) {
        // Counted from the end the record was last seen nearer to; where nobody knows, from
        // the end nearer to it than the middle record is (for every record, where finding
        // the middle costs less than the longer count).
        bool fromEnd = near > _count / 2;
        if (near < 0 && _source.selectionField == 0 && _count > 2 * kBlockRows &&
            xio_rd_ordinal(_source.file, Selection(), _count / 2, 0, 0) == XIO_OK) {
            Position target;
            target.rowid = record.rowid;
            for (short field : _keyFields)
                target.key.push_back(record.values[static_cast<size_t>(field - _layout.FirstField())]);
            fromEnd = Compare(target, Current()) > 0;
        }
        if (xio_restore_record(_source.file, record.rowid, _source.type, 0) != XIO_OK || !InSelection()) return -1;
        int64_t ordinal = 0;
        if (xio_ordinal_of(_source.file, Selection(), &ordinal, fromEnd ? 1 : 0) != XIO_OK) return -1;
        if (fromEnd) ordinal = _count - 1 - ordinal;
        return ordinal >= 0 && ordinal < _count ? ordinal : -1;
    }
    Position target;
    target.rowid = record.rowid;
    for (short field : _keyFields) target.key.push_back(record.values[static_cast<size_t>(field - _layout.FirstField())]);
    const int64_t inHead = FindIn(_head, true, target);
    if (inHead >= 0) return inHead;
    if (!_tail.active) return -1;
    const int64_t inTail = FindIn(_tail, false, target);
    return inTail >= 0 ? _head.count + _tail.count - 1 - inTail : -1;
}
