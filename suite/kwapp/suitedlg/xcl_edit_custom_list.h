// The suite's custom-list editor: a company's list of values for a custom field (status,
// urgency ...), its entries edited, added, removed and put in order. The first entry of a
// stored list names the default; the editor shows it apart from the others. Before a list
// is saved, the application that owns it may check it: for list 265 the editor calls the
// application's exported im_265_is_valid_clist, found at run time among the loaded
// libraries, and an invalid list is not saved. The dialog is reached through a replaceable
// editor so tests and scripted runs can answer it.
#pragma once

#include "kwcommon/kwSeam.h"

#include <functional>
#include <string>
#include <vector>

// Edits custom list `list`. 0 when the edited list was saved; XIO_CANCELLED (15) when the
// user cancelled; otherwise the status of the refused or failed save (the user was told).
short xcl_edit_custom_list(short list);

// Stands in for the dialog: gets the stored entries (default first) and answers true with
// the edited entries, or false for a cancel.
using xcl_custom_list_editor = kwSeam<bool(short list, std::vector<std::string>* entries)>;
xcl_custom_list_editor& xcl_custom_list_editor_seam();

// Checks entries (default first) with the owning application's rule, if it has one, and
// writes them. 0 written; XIO_BAD_VALUE when the rule refused them (it told the user);
// else the status of the write (the user is told why).
short xcl_save_custom_list(short list, const std::vector<std::string>& entries);
