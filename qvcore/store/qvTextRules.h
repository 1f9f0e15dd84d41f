// Two small text rules of the library: capitalising words, and the check the suite's
// custom-list editor runs on list 265 (the issue status list).
#pragma once

#include "qvcore/qvcore_export.h"

#include <string>
#include <vector>

// Upper-cases, in place, the first character and every character that directly follows a
// blank or a "/" (ASCII letters; other characters stay as they are).
void qvInitCaps(char* text);

// The status list must hold at least four entries whose second, third and fourth are
// "Open", "On-Hold" and "Closed" (any letter case). Otherwise the user is told so and the
// answer is false. Exported under this plain name for the custom-list editor.
extern "C" QVCORE_EXPORT bool im_265_is_valid_clist(std::vector<std::string>* list);
