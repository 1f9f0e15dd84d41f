// The rows of a grid's node, found lazily in the order of one key: a bounded window of
// records read in blocks around what is asked for, never a copy of the file.
//
// Two ways to find row n:
// - Indexed: when nothing but the node's own equality filter decides which records show and
//   an index serves that (xio_selection), the row count comes from the index and row n is
//   placed by stepping over the index (xio_rd_ordinal), from the nearer end.
// - Walked: when a qualification callback or a filter no index serves decides, rows are
//   found by walking the key's order and testing each record. The walk from the first
//   record (the head) runs in idle-time slices and keeps a position every `spacing` rows
//   (at most kMaxCheckpoints of them, the spacing doubling as needed), so any known row is
//   reached from a checkpoint by a short walk. End starts a second walk backwards from the
//   last record (the tail); the head's counting then fills the gap between them, its rows
//   appearing at the gap's place, and stops where the tail began.
//
// Blocks of kBlockRows rows are cached, at most kMaxBlocks of them, least recently used
// going first.
#pragma once

#include "kwdm/data/kwdmRecord.h"

#include "kwcommon/xio.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

class kwdmRowSet {
public:
    static constexpr int64_t kBlockRows = 16;
    static constexpr size_t kMaxBlocks = 128;
    static constexpr size_t kMaxCheckpoints = 4096;

    struct Source {
        short file = 0;
        short type = 1;
        short key = 0;
        // The node's filter, when it is one field equal to one of some values (else 0).
        short selectionField = 0;
        std::vector<x_value_def> selectionValues;
        // The node's filter in general, tested against the record in the buffer (null: none).
        std::function<bool()> passes;
        // The row-qualification callback (null when none is in force).
        std::function<bool()> qualifies;
    };
    struct Events {
        // Rows became known at row `at` (the rows from there on moved down by count).
        std::function<void(int64_t at, int64_t count)> inserted;
    };

    kwdmRowSet() = default;
    kwdmRowSet(const kwdmRowSet&) = delete;
    kwdmRowSet& operator=(const kwdmRowSet&) = delete;

    void SetEvents(Events events) { _events = std::move(events); }
    // Starts over on a source: decides how rows are found and, when walking, finds the
    // first rows within the budget. false when the file has no such record type.
    bool Open(const Source& source, std::chrono::milliseconds budget);
    const kwdmRecordLayout& Layout() const { return _layout; }
    const Source& CurrentSource() const { return _source; }

    bool Indexed() const { return _indexed; }
    // Rows known so far.
    int64_t Count() const;
    // Counting is not finished (idle work remains).
    bool Counting() const;
    // One idle slice of counting within the budget.
    void Work(std::chrono::milliseconds budget);
    // Makes the last rows known: a walk backwards from the last record when counting has
    // not reached it.
    void ReachEnd(std::chrono::milliseconds budget);

    // Row n's record (read when it is not in the window); null outside the known rows or
    // when the file could not be read.
    const kwdmRecord* Row(int64_t row);
    // The cached copy of a row, null when it is not in the window.
    kwdmRecord* CachedRow(int64_t row);
    // The row of a record among the known rows, -1 when it is not one of them. near: the
    // row where it was last seen (-1 unknown), which says from which end to count.
    int64_t RowOf(const kwdmRecord& record, int64_t near = -1);
    // A record's values changed in place (a write that kept its place).
    void Replace(int64_t row, const kwdmRecord& record);
    // True when the file's record count moved since Open: what is known may be out of date.
    bool FileChanged();
    // Status of the last failed read (0 none).
    short LastError() const { return _lastError; }
    // Positions held (for memory checks).
    size_t CheckpointCount() const { return _head.checkpoints.size() + _tail.checkpoints.size(); }
    size_t CachedRows() const;

private:
    struct Position {
        int64_t rowid = 0;
        std::vector<kwdmFieldValue> key;
    };
    struct Segment {
        int64_t count = 0;
        std::vector<Position> checkpoints; // segment rows 0, spacing, 2 * spacing ...
        std::optional<Position> cursor;    // the last record the walk examined
        bool done = false;
        bool active = false;
    };
    struct Block {
        std::vector<kwdmRecord> rows;
        uint64_t used = 0;
    };
    using BlockKey = std::pair<int, int64_t>; // segment (0 head or indexed, 1 tail), block

    // The segment (0 head or indexed, 1 tail) and the index within it of a row.
    std::pair<int, int64_t> Locate(int64_t row) const;
    Position Current() const;
    // -1, 0, 1: a before, at or after b in the key's order.
    int Compare(const Position& a, const Position& b) const;
    bool Selected() const;  // the buffer's record is selected (node filter, callback)
    bool InSelection() const; // the buffer's record is in the indexed selection
    xio_selection Selection() const;
    short Step(bool forward);
    short Restore(const Position& position);

    Block* Cached(const BlockKey& key, int64_t wanted);
    Block& Store(const BlockKey& key, std::vector<kwdmRecord> rows);
    std::vector<kwdmRecord> FetchIndexed(int64_t block);
    std::vector<kwdmRecord> FetchWalked(int segment, int64_t block);
    // Reads `want` selected records in a direction starting with the one in the buffer.
    void Collect(short status, bool forward, int64_t want, std::vector<kwdmRecord>& rows, bool indexed);
    // The head walk (forward) or the tail walk (backward) within the budget.
    void Walk(Segment& segment, bool forward, std::chrono::milliseconds budget, int64_t stopAfter);
    void Thin();
    // Keeps a record a walk found in the window when it belongs to one of the segment's
    // first blocks, so the first page is not read twice.
    void KeepWalked(int segment, int64_t index);
    int64_t FindIn(const Segment& segment, bool forward, const Position& target);

    Source _source;
    Events _events;
    kwdmRecordLayout _layout;
    std::vector<short> _keyFields;
    bool _indexed = false;
    int64_t _count = 0;       // indexed: the selection's count
    int64_t _fileRecords = 0; // the file's record count at Open
    int64_t _fileVersion = 0; // the file's change counter when the count was last compared
    Segment _head, _tail;
    int64_t _spacing = 64;
    std::map<BlockKey, Block> _blocks;
    uint64_t _clock = 0;
    short _lastError = 0;
};
