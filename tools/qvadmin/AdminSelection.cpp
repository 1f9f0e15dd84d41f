// qvadmin's --query and --operator: the View Issues window's selection from the command line.
#include "AdminSelection.h"

#include "AdminCommand.h"

#include "qvcore/queries/qvIssueSelection.h"

#include "kwcommon/xs.h"

#include <ostream>

bool AdminTakeSelectionOptions(std::vector<std::string>& args, AdminSelectionOptions* options,
                               std::string* error) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg != "--query" && arg != "--operator") {
            rest.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = arg + " needs a value";
            return false;
        }
        if (arg == "--query") {
            options->query = true;
            options->queryName = args[++i];
        } else {
            options->viewer = true;
            options->operatorId = args[++i];
        }
    }
    args = std::move(rest);
    return true;
}

int AdminPrepareSelection(qvIssueSelection& selection, const AdminSelectionOptions& options,
                          std::ostream& err) {
    if (options.viewer) {
        xs_oper_def oper{};
        if (xs_find_oper_def(options.operatorId, &oper) != 0) {
            err << "qvadmin: the company has no operator \"" << options.operatorId << "\"\n";
            return kAdminUserError;
        }
        selection.UseOperator(oper);
    }
    if (options.query) {
        std::string error;
        if (!selection.UseQuery(options.queryName, &error)) {
            err << "qvadmin: " << error << "\n";
            return kAdminUserError;
        }
        if (selection.OrderReplaced())
            err << "qvadmin: the order saved with query \"" << options.queryName
                << "\" is no longer available; the issues are listed in the default order\n";
        if (selection.SkippedConditions() > 0)
            err << "qvadmin: " << selection.SkippedConditions() << " condition(s) of query \"" << options.queryName
                << "\" name fields the issue file no longer has and are left out\n";
    }
    return kAdminOk;
}
