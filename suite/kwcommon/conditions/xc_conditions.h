// Record-selection conditions: sets of conditions bound to an open file, kept by handle,
// tested against the file's current record buffer.
//
// A set is an ordered list of xc_cond_def. Each condition compares one field of the
// record with one or two values; its connector joins it to the next, "and" binding
// tighter than "or". A set without conditions selects every record.
//
// Comparisons follow the field's type in the dictionary:
//   text, phone, social security number  text without regard to letter case, trailing
//                                        blanks ignored
//   number                               numbers, equal when equal at the field's decimals
//   date (YYYYMMDD, 0 none), time (HHMMSS, -1 none)
//                                        by date or time; a record without a date or time
//                                        is neither before nor after any value ("less",
//                                        "greater" and "between" never select it)
//   yes/no                               No (0) before Yes (1)
//   choice                               by the item's text, without regard to case
// "contains" and "begins with" look for text1 in the value as it is shown (a date in the
// company's format, a choice as its item's text ...), without regard to case. "is blank"
// holds for empty text, zero, no date, no time, No and no choice.
//
// Loading and changes: xc_put_condition loads a condition (it does not count as a
// change); the editing calls (xc_insert_condition, xc_replace_condition,
// xc_delete_condition, xc_clear_conditions) mark the set changed, which
// xc_changed_conditions reports until xc_mark_conditions_unchanged.
#pragma once

#include "kwcommon/conditions/xc_cond_def.h"
#include "kwcommon/x_value_def.h"

#include <cstdint>
#include <string>

#pragma pack(push, 1)
// The definition block a set is started from (450 bytes, zero-filled by the caller).
struct xc_cond_init_def {
    int16_t programNumber; // 0  the caller's task / command id
    int16_t fileNumber;    // 2  the open file whose records the conditions test
    int16_t recordType;    // 4  the record type tested (1 for the issue file's issues)
    char reserved[444];    // 6
};
#pragma pack(pop)
static_assert(sizeof(xc_cond_init_def) == 450);
static_assert(offsetof(xc_cond_init_def, fileNumber) == 2);
static_assert(offsetof(xc_cond_init_def, recordType) == 4);

// Longest line xc_get_alpha_condition writes (without its terminating zero).
constexpr int XC_ALPHA_CONDITION_MAX = 501;

// Starts an empty set for the file of def. Answers its handle (positive), 0 when the file
// is not open. reserved is kept for callers (1).
short xc_init_conditions(const xc_cond_init_def* def, short reserved);
// Ends a set and frees it. 1 ended, 0 no such set. reserved is kept for callers (1).
short xc_term_conditions(short handle, short reserved);

// Appends a condition (loading, not a change). The field is looked up by its name first
// (the dictionary may have renumbered it), then by number; the stored copy carries the
// field's current number, type and record type. 1 taken; 0 for an unknown set or field,
// a comparison or connector out of range, or a value this field cannot hold.
short xc_put_condition(short handle, const xc_cond_def* condition);
// Rewinds the reading position of xc_get_condition and xc_get_alpha_condition.
short xc_reset_conditions(short handle);
// The condition at the reading position, which moves on. 1 given, 0 past the last.
short xc_get_condition(short handle, xc_cond_def* condition);
// One readable line for the condition at the reading position, which moves on, e.g.
//   Status is equal to "Open" or
// (the connector ends every line but the last). Cut to size - 1 bytes on a character
// boundary. 1 given, 0 past the last.
short xc_get_alpha_condition(short handle, char* text, int size);
// Nonzero when the set holds at least one condition. reserved1 and reserved2 are kept for
// callers (0).
short xc_conditions_exist(short handle, short reserved1, short reserved2);
// Nonzero when the set was edited since it was started or last marked unchanged.
short xc_changed_conditions(short handle);
void xc_mark_conditions_unchanged(short handle);

// Tests the current record buffer of file (the set's file when 0) against the set.
// Nonzero when the record is selected; an unknown set selects everything. key and the
// reserved arguments are kept for callers.
short xc_meets_conditions(short handle, short file, short recordType, short key, short reserved1,
                          short reserved2);

// Editing, for the condition editor. Positions are 0-based.
short xc_condition_count(short handle);
short xc_get_condition_at(short handle, short index, xc_cond_def* condition);
short xc_insert_condition(short handle, short index, const xc_cond_def* condition);
short xc_replace_condition(short handle, short index, const xc_cond_def* condition);
short xc_delete_condition(short handle, short index);
short xc_clear_conditions(short handle);
// The block the set was started from. 1, or 0 for an unknown set.
short xc_get_conditions_def(short handle, xc_cond_init_def* def);
// Makes target (a set of the same file) an exact copy of source's conditions, reading
// position and changed mark, conditions whose field the dictionary no longer has included:
// an editor that may be cancelled keeps a copy this way and puts it back. 1 copied, 0 for
// an unknown set.
short xc_copy_conditions(short source, short target);

// Builds a condition on field of file. Each value may be a number or a text; a text for a
// number, date, time or yes/no field is read the way a user types it ("03/15/2024",
// "2:30 PM", "Yes"), a number for a choice field is its item number, and a text for a
// sectioned field is taken with or without its separators. value2 is used by "between"
// only and may be null otherwise. 1 built; 0 for an unknown field, a comparison or
// connector out of range, or a value the field cannot hold.
short xc_make_condition(short file, short field, short comparison, const x_value_def* value1,
                        const x_value_def* value2, short connector, xc_cond_def* condition);

// The readable text of one condition of file, without the connector.
std::string xc_condition_text(short file, const xc_cond_def& condition);
// Nonzero when the current record buffer of file satisfies the one condition.
short xc_condition_holds(short file, const xc_cond_def& condition);
