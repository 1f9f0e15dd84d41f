// The application chooser of the inquiry library: when a command of a program can work for
// several applications of the suite (inquiries, reports, formulas), the user picks one
// from the list the program offers. Reached through a replaceable runner so tests and
// scripted runs can answer it.
#pragma once

#include "kwcommon/kwSeam.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// (application code, application name) pairs, in the order offered.
using InqApplList = std::vector<std::pair<std::string, std::string>>;

// Lets the user pick one of the applications for the purpose ("formulas", "inquiries",
// "reports"; it names the chooser). The index of the one chosen, or -1 when the user
// cancelled or the list is empty.
int GetInqRptApplList(const InqApplList& list, const std::string& purpose);

// Tells the user that no application is available for the command.
void InqNoApplMessage();
inline constexpr const char* INQ_NO_APPL_TEXT =
    "No applications are available.  Use Tools > Applications to choose the applications offered.";

// Stands in for the chooser: gets the list and the purpose, answers an index or -1.
using InqApplChooser = kwSeam<int(const InqApplList& list, const std::string& purpose)>;
InqApplChooser& InqApplChooserSeam();
