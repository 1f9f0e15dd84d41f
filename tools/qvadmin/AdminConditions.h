// Record-selection conditions typed as text for qvadmin query save, parsed against the issue
// file's dictionary into the data library's conditions:
//
//   FIELD OPERATOR [VALUE] [and|or]
//
// FIELD is an issue field's name (STATUS, DUEDATE ...), in any letter case. OPERATOR is a
// word or sign: equal (=), not-equal (!=, <>), less (<), less-equal (<=), greater (>),
// greater-equal (>=), between (VALUE and VALUE), contains, begins-with, blank, not-blank.
// VALUE is the rest of the words, written as the field is typed in the program (a date in
// the company's format, Yes/No, a list value); quotes ("..." or '...') keep blanks and the
// words and/or inside a value. A last word and/or joins the condition to the next one
// ("and" when left out; "and" binds tighter than "or").
#pragma once

#include "kwcommon/conditions/xc_cond_def.h"

#include <string>

// Parses one condition against the open issue file or dictionary `file`. isLast: the
// condition is the last one, so it may not end in and/or. false with *error naming what
// is wrong.
bool AdminParseCondition(short file, const std::string& text, bool isLast, xc_cond_def* condition,
                         std::string* error);
