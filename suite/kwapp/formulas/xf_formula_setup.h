// The suite's formula setup: the formula editor for one application's formulas, opened
// from a setup definition that names the application. The editor is reached through a
// replaceable runner so tests and scripted runs can stand in for it.
#pragma once

#include "kwcommon/kwSeam.h"

#include <cstddef>
#include <functional>
#include <string>

#pragma pack(push, 1)
// The setup definition, 26 bytes: callers clear it, then set the bytes they use.
struct xf_setup_def {
    char kind;            // 0  7: edit the formulas
    char reserved1;       // 1
    char mode;            // 2  'd': the dialog
    char reserved3[4];    // 3
    char filler;          // 7  ' '
    char reserved8[6];    // 8
    char application[4];  // 14 the application's code ("QV"), NUL-terminated
    char reserved18[8];   // 18
};
#pragma pack(pop)
static_assert(sizeof(xf_setup_def) == 26);
static_assert(offsetof(xf_setup_def, mode) == 2);
static_assert(offsetof(xf_setup_def, filler) == 7);
static_assert(offsetof(xf_setup_def, application) == 14);

// Called for each formula the user saved (its name), when given.
using xf_item_callback = std::function<void(const std::string& name)>;

// Opens the editor for the definition's application. 0 when it ran; 22 (bad value) for a
// definition without an application code.
short xf_formula_setup(const xf_setup_def* def, const xf_item_callback& callback);

// Stands in for the editor: gets the application's code.
using xf_formula_editor_runner = kwSeam<void(const std::string& application)>;
xf_formula_editor_runner& xf_formula_editor_seam();
