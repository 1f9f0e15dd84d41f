// Condition sets by handle: loading, walking, editing and evaluating them.
#include "kwcommon/conditions/xc_conditions.h"

#include "kwcommon/xio.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {

struct ConditionSet {
    xc_cond_init_def def;
    std::vector<xc_cond_def> conditions;
    size_t cursor = 0;
    bool changed = false;
};

std::map<short, ConditionSet>& Sets() {
    static std::map<short, ConditionSet> sets;
    return sets;
}

ConditionSet* Find(short handle) {
    auto it = Sets().find(handle);
    return it == Sets().end() ? nullptr : &it->second;
}

short NewHandle() {
    static short last = 0;
    for (int tries = 0; tries < 32767; ++tries) {
        last = static_cast<short>(last >= 32767 ? 1 : last + 1);
        if (!Find(last)) return last;
    }
    return 0;
}

// The condition as the set keeps it: checked, and pointed at the field as the dictionary
// numbers it today.
bool Accept(const ConditionSet& set, const xc_cond_def& given, xc_cond_def* accepted) {
    if (given.comparison < XC_EQUAL || given.comparison > XC_COMPARISON_LAST) return false;
    if (given.connector != XC_AND && given.connector != XC_OR) return false;
    const short file = set.def.fileNumber;
    // A named field is found by its name alone: a field of that number may be another
    // one since the dictionary changed, and a field that is gone takes no conditions.
    const std::string name(given.fieldName, strnlen(given.fieldName, sizeof(given.fieldName)));
    const short field = name.empty() ? given.field : xio_num(file, 0, 0, name.c_str());
    if (field == 0) return false;
    xio_fld_def def{};
    if (xio_get_fld_def(file, field, &def, 1, 1) != XIO_OK) return false;
    *accepted = given;
    accepted->field = def.number;
    accepted->fieldType = def.type;
    accepted->recordType = def.recordType;
    std::memset(accepted->fieldName, 0, sizeof(accepted->fieldName));
    std::memcpy(accepted->fieldName, def.name, strnlen(def.name, sizeof(accepted->fieldName) - 1));
    accepted->text1[XC_VALUE_TEXT_SIZE - 1] = 0;
    accepted->text2[XC_VALUE_TEXT_SIZE - 1] = 0;
    return true;
}

bool ValidIndex(const ConditionSet& set, short index, bool insertion) {
    const auto size = static_cast<short>(set.conditions.size());
    return index >= 0 && (insertion ? index <= size : index < size);
}

} // namespace

short xc_init_conditions(const xc_cond_init_def* def, short /*reserved*/) {
    if (!def) return 0;
    xio_def fileDef{};
    if (xio_get_def(def->fileNumber, &fileDef, 0) != XIO_OK) return 0;
    const short handle = NewHandle();
    if (handle == 0) return 0;
    ConditionSet& set = Sets()[handle];
    set.def = *def;
    return handle;
}

short xc_term_conditions(short handle, short /*reserved*/) {
    return Sets().erase(handle) ? 1 : 0;
}

short xc_put_condition(short handle, const xc_cond_def* condition) {
    ConditionSet* set = Find(handle);
    if (!set || !condition) return 0;
    xc_cond_def accepted;
    if (!Accept(*set, *condition, &accepted)) return 0;
    set->conditions.push_back(accepted);
    return 1;
}

short xc_reset_conditions(short handle) {
    ConditionSet* set = Find(handle);
    if (!set) return 0;
    set->cursor = 0;
    return 1;
}

short xc_get_condition(short handle, xc_cond_def* condition) {
    ConditionSet* set = Find(handle);
    if (!set || set->cursor >= set->conditions.size()) return 0;
    *condition = set->conditions[set->cursor++];
    return 1;
}

short xc_get_alpha_condition(short handle, char* text, int size) {
    ConditionSet* set = Find(handle);
    if (!set || set->cursor >= set->conditions.size()) return 0;
    const xc_cond_def& condition = set->conditions[set->cursor++];
    std::string line = xc_condition_text(set->def.fileNumber, condition);
    if (set->cursor < set->conditions.size()) line += condition.connector == XC_OR ? " or" : " and";
    if (text && size > 0) {
        const size_t room = static_cast<size_t>(std::min(size - 1, XC_ALPHA_CONDITION_MAX));
        const std::string cut = x_utf8_cut(line, room);
        std::memcpy(text, cut.c_str(), cut.size() + 1);
    }
    return 1;
}

short xc_conditions_exist(short handle, short /*reserved1*/, short /*reserved2*/) {
    const ConditionSet* set = Find(handle);
    return set && !set->conditions.empty() ? 1 : 0;
}

short xc_changed_conditions(short handle) {
    const ConditionSet* set = Find(handle);
    return set && set->changed ? 1 : 0;
}

void xc_mark_conditions_unchanged(short handle) {
    if (ConditionSet* set = Find(handle)) set->changed = false;
}

short xc_meets_conditions(short handle, short file, short /*recordType*/, short /*key*/,
                          short /*reserved1*/, short /*reserved2*/) {
    const ConditionSet* set = Find(handle);
    if (!set || set->conditions.empty()) return 1;
    if (file == 0) file = set->def.fileNumber;
    // "and" binds tighter than "or": the record is selected when every condition of any
    // one run of and-joined conditions holds.
    bool group = true;
    const size_t count = set->conditions.size();
    for (size_t i = 0; i < count; ++i) {
        const xc_cond_def& condition = set->conditions[i];
        if (group) group = xc_condition_holds(file, condition) != 0;
        if (i + 1 == count || condition.connector == XC_OR) {
            if (group) return 1;
            group = true;
        }
    }
    return 0;
}

short xc_condition_count(short handle) {
    const ConditionSet* set = Find(handle);
    return set ? static_cast<short>(set->conditions.size()) : 0;
}

short xc_get_condition_at(short handle, short index, xc_cond_def* condition) {
    const ConditionSet* set = Find(handle);
    if (!set || !condition || !ValidIndex(*set, index, false)) return 0;
    *condition = set->conditions[static_cast<size_t>(index)];
    return 1;
}

short xc_insert_condition(short handle, short index, const xc_cond_def* condition) {
    ConditionSet* set = Find(handle);
    if (!set || !condition || !ValidIndex(*set, index, true)) return 0;
    xc_cond_def accepted;
    if (!Accept(*set, *condition, &accepted)) return 0;
    set->conditions.insert(set->conditions.begin() + index, accepted);
    if (set->cursor > static_cast<size_t>(index)) ++set->cursor;
    set->changed = true;
    return 1;
}

short xc_replace_condition(short handle, short index, const xc_cond_def* condition) {
    ConditionSet* set = Find(handle);
    if (!set || !condition || !ValidIndex(*set, index, false)) return 0;
    xc_cond_def accepted;
    if (!Accept(*set, *condition, &accepted)) return 0;
    xc_cond_def& slot = set->conditions[static_cast<size_t>(index)];
    if (std::memcmp(&slot, &accepted, sizeof(slot)) != 0) {
        slot = accepted;
        set->changed = true;
    }
    return 1;
}

short xc_delete_condition(short handle, short index) {
    ConditionSet* set = Find(handle);
    if (!set || !ValidIndex(*set, index, false)) return 0;
    set->conditions.erase(set->conditions.begin() + index);
    if (set->cursor > static_cast<size_t>(index)) --set->cursor;
    set->changed = true;
    return 1;
}

short xc_clear_conditions(short handle) {
    ConditionSet* set = Find(handle);
    if (!set) return 0;
    if (!set->conditions.empty()) set->changed = true;
    set->conditions.clear();
    set->cursor = 0;
    return 1;
}

short xc_get_conditions_def(short handle, xc_cond_init_def* def) {
    const ConditionSet* set = Find(handle);
    if (!set || !def) return 0;
    *def = set->def;
    return 1;
}

short xc_copy_conditions(short source, short target) {
    const ConditionSet* from = Find(source);
    ConditionSet* to = Find(target);
    if (!from || !to) return 0;
    to->conditions = from->conditions;
    to->cursor = from->cursor;
    to->changed = from->changed;
    return 1;
}
