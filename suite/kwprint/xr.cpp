// Range sets: each range is kept as its bounds and as the record-selection conditions
// that test them, so a range compares values exactly as the conditions of a query do.
#include "kwprint/xr.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/xio.h"
#include "kwcommon/xio_dict.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace {

struct Range {
    xr_range_def def;
    std::optional<xc_cond_def> from, to; // field >= from, field <= to
    std::optional<xc_cond_def> above;    // field > to: past the range
};

struct Pending {
    std::optional<x_value_def> from, to;
};

struct RangeSet {
    short file = 0;
    short recordType = 0;
    std::vector<Range> ranges;              // in the order the fields were first given
    std::map<short, Pending> pending;       // by field number
};

std::map<short, RangeSet>& Sets() {
    static std::map<short, RangeSet> sets;
    return sets;
}

RangeSet* Find(short range) {
    auto it = Sets().find(range);
    return it == Sets().end() ? nullptr : &it->second;
}

// The field's number when it is one of the set's record type, else 0.
short FieldOf(const RangeSet& set, const char* name) {
    if (!name || !*name) return 0;
    const short number = xio_num(set.file, 0, 0, name);
    if (number <= 0) return 0;
    xio_fld_def def{};
    if (xio_get_fld_def(set.file, number, &def, 0, 0) != XIO_OK || def.recordType != set.recordType) return 0;
    return number;
}

std::optional<xc_cond_def> Condition(const RangeSet& set, short field, short comparison, const x_value_def& value) {
    xc_cond_def condition{};
    if (!xc_make_condition(set.file, field, comparison, &value, nullptr, XC_AND, &condition)) return std::nullopt;
    return condition;
}

std::vector<Range>::iterator RangeOf(RangeSet& set, short field) {
    return std::find_if(set.ranges.begin(), set.ranges.end(),
                        [field](const Range& range) { return range.def.fieldNumber == field; });
}

} // namespace

short xr_init_range(short file, short recordType) {
    xio_rec_def type{};
    if (file <= 0 || xio_get_rec_def(file, recordType, &type, 0) != XIO_OK) return 0;
    static short last = 0;
    for (int tries = 0; tries < 32767; ++tries) {
        last = static_cast<short>(last >= 32767 ? 1 : last + 1);
        if (!Sets().count(last)) {
            RangeSet& set = Sets()[last];
            set.file = file;
            set.recordType = recordType;
            return last;
        }
    }
    return 0;
}

short xr_term_range(short range) { return Sets().erase(range) ? 1 : 0; }

short xr_put_field(short range, const char* field, short bound, const x_value_def* value) {
    RangeSet* set = Find(range);
    if (!set || !value || (bound != XR_FROM && bound != XR_TO)) return 0;
    const short number = FieldOf(*set, field);
    if (!number) return 0;
    // A value the field cannot hold is refused here, not when the range is put.
    if (!Condition(*set, number, XC_EQUAL, *value)) return 0;
    Pending& pending = set->pending[number];
    (bound == XR_FROM ? pending.from : pending.to) = *value;
    return 1;
}

short xr_put_range(short range) {
    RangeSet* set = Find(range);
    if (!set) return 0;
    for (const auto& [field, pending] : set->pending) {
        Range made;
        xio_fld_def def{};
        xio_get_fld_def(set->file, field, &def, 0, 0);
        made.def.field = def.name;
        made.def.fieldNumber = field;
        if (pending.from) {
            made.def.hasFrom = true;
            made.def.from = *pending.from;
            made.from = Condition(*set, field, XC_GREATER_EQUAL, *pending.from);
        }
        if (pending.to) {
            made.def.hasTo = true;
            made.def.to = *pending.to;
            made.to = Condition(*set, field, XC_LESS_EQUAL, *pending.to);
            made.above = Condition(*set, field, XC_GREATER, *pending.to);
        }
        auto existing = RangeOf(*set, field);
        if (existing != set->ranges.end()) *existing = std::move(made);
        else set->ranges.push_back(std::move(made));
    }
    set->pending.clear();
    return 1;
}

short xr_clear_range(short range) {
    RangeSet* set = Find(range);
    if (!set) return 0;
    set->ranges.clear();
    set->pending.clear();
    return 1;
}

short xr_del_range(short range, const char* field) {
    RangeSet* set = Find(range);
    if (!set) return 0;
    const short number = FieldOf(*set, field);
    auto it = RangeOf(*set, number);
    if (!number || it == set->ranges.end()) return 0;
    set->ranges.erase(it);
    return 1;
}

short xr_range_count(short range) {
    const RangeSet* set = Find(range);
    return set ? static_cast<short>(set->ranges.size()) : 0;
}

short xr_get_range(short range, const char* field, xr_range_def* def) {
    RangeSet* set = Find(range);
    if (!set || !def) return 0;
    auto it = RangeOf(*set, FieldOf(*set, field));
    if (it == set->ranges.end()) return 0;
    *def = it->def;
    return 1;
}

short xr_get_range_at(short range, short index, xr_range_def* def) {
    const RangeSet* set = Find(range);
    if (!set || !def || index < 0 || index >= static_cast<short>(set->ranges.size())) return 0;
    *def = set->ranges[static_cast<size_t>(index)].def;
    return 1;
}

short xr_range_file(short range) {
    const RangeSet* set = Find(range);
    return set ? set->file : 0;
}

short xr_range_record_type(short range) {
    const RangeSet* set = Find(range);
    return set ? set->recordType : 0;
}

short xr_meets_range(short range) {
    const RangeSet* set = Find(range);
    if (!set) return 1;
    for (const Range& r : set->ranges) {
        if (r.from && !xc_condition_holds(set->file, *r.from)) return 0;
        if (r.to && !xc_condition_holds(set->file, *r.to)) return 0;
    }
    return 1;
}

short xr_past_range(short range, const char* field) {
    RangeSet* set = Find(range);
    if (!set) return 0;
    auto it = RangeOf(*set, FieldOf(*set, field));
    if (it == set->ranges.end() || !it->above) return 0;
    return xc_condition_holds(set->file, *it->above) ? 1 : 0;
}
