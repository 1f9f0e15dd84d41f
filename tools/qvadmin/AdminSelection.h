// The selection options of qvadmin's issue listings (issue list, file dump QVI): a saved
// query and the operator whose View Issues window is reproduced.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class qvIssueSelection;

struct AdminSelectionOptions {
    bool query = false;    // --query NAME given
    std::string queryName;
    bool viewer = false;   // --operator ID given
    std::string operatorId;
    // Whether the listing is a selection (query and responsible-person filter) rather
    // than every issue.
    bool Selecting() const { return query || viewer; }
};

// Takes --query NAME and --operator ID out of args. false with *error for an option
// without its value.
bool AdminTakeSelectionOptions(std::vector<std::string>& args, AdminSelectionOptions* options,
                               std::string* error);

// Points the selection at the options' query and operator; warns on err about an order or
// conditions the issue file no longer offers. Answers an exit code (0 ready).
int AdminPrepareSelection(qvIssueSelection& selection, const AdminSelectionOptions& options,
                          std::ostream& err);
