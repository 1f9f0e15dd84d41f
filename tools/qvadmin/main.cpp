// qvadmin: command-line administration of a company's issue data.
#include "AdminCommand.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwCompanyChoice.h"
#include "kwcommon/x_message.h"
#include "qvkit/paths/kclDemoCompany.h"
#include "qvkit/qvVersion.h"

#include <cstring>
#include <iostream>
#include <optional>

namespace {
void Usage(std::ostream& out) {
    out << "usage: qvadmin [--data DIR] [--operator ID] COMMAND | --help | --version\n"
           "The company is --data DIR, else $QV_DATA, else the one qv opened last, else the demo.\n"
           "commands:\n"
           "  dict show ABBR                       a dictionary's record types, fields and keys\n"
           "  file dump ABBR [--type N] [--key K]  records as tab-separated lines in key order\n"
           "  file dump QVI --query NAME [--operator ID]\n"
           "                                       the issues a saved query selects\n"
           "  file check ABBR | file repair ABBR   find a data file's damage; rebuild it from what can be read\n"
           "  issue add --message TEXT [--status S] [--urgency U] [--classif C] [--followup F]\n"
           "            [--problem P] [--respons NAME] [--due DATE] [--notify DATE] [--new-value]\n"
           "                                       list values must be items of their list unless\n"
           "                                       --new-value is given\n"
           "  issue show N | issue delete N\n"
           "  issue list [--query NAME] [--operator ID] [--csv] [--iso-dates]\n"
           "                                       every issue, or what the View Issues window shows\n"
           "                                       operator ID (default: the current one) under the\n"
           "                                       query; --csv writes the grid's columns as CSV\n"
           "  issue link N --app XX --type T --key VALUE... [--dict DIC] [--file-type NAME]\n"
           "                                       link the issue to an existing record of application XX\n"
           "  issue links N                        the issue's links: application, record, key, data\n"
           "  issue unlink N                       remove every link of the issue\n"
           "  issue notify N [--edit] [--to NAMES] mail the issue to its responsible person and NAMES\n"
           "                                       (--edit: as a changed issue)\n"
           "  query list                           the saved queries, their orders and conditions\n"
           "  query show NAME                      a saved query's order and conditions in words\n"
           "  query save NAME [--order K] [--cond 'FIELD OP VALUE [and|or]']...\n"
           "                                       save (add or replace) a query; OP is equal,\n"
           "                                       not-equal, less, less-equal, greater, greater-equal,\n"
           "                                       between (VALUE and VALUE), contains, begins-with,\n"
           "                                       blank or not-blank\n"
           "  query delete NAME                    delete a saved query\n"
           "  query check                          examine the query file; exit 2 when it is inconsistent\n"
           "  prefs show                           the user's and the installation's preferences\n"
           "  remind [--date DATE] [--dry-run] [--query NAME]\n"
           "                                       mail each responsible person the open issues whose\n"
           "                                       notify date has come or whose due date has passed\n"
           "  print --design NAME [--query NAME] [--operator ID] [--range FROM-TO] [--pdf FILE]\n"
           "                                       issues through a report design, to a PDF or the\n"
           "                                       default printer\n"
           "Issue numbers are plain decimal digits. Exit codes: 0 ok, 1 user error, 2 data error.\n";
}
} // namespace

int main(int argc, char** argv) {
    xw_set_application_name("qvadmin");
    kclUseDemoCompany();
    std::optional<std::string> data;
    std::string operatorId;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--data" || arg == "--operator") && words.empty()) {
            if (i + 1 >= argc) {
                std::cerr << "qvadmin: " << arg << " needs a value\n";
                return kAdminUserError;
            }
            if (arg == "--data") data = argv[++i];
            else operatorId = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage(std::cout);
            return kAdminOk;
        } else if (arg == "--version") {
            std::cout << "qvadmin (" QV_PRODUCT_NAME ") " QV_VERSION "\n";
            return kAdminOk;
        } else {
            words.push_back(arg);
        }
    }
    const bool oneWord = !words.empty() && words[0] == "remind";
    if (words.size() < 2 && !oneWord) {
        Usage(std::cerr);
        return kAdminUserError;
    }
    std::string folder, error;
    kwCompanyChoice::Source source = kwCompanyChoice::Source::DataOption;
    if (!kwCompanyChoice::Choose(data, &folder, &source, &error) || !kwCompany::Open(folder, &error)) {
        std::cerr << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    if (source != kwCompanyChoice::Source::DataOption) {
        // Nobody named the company: say which one the commands work on.
        const char* why = source == kwCompanyChoice::Source::Environment  ? "named by QV_DATA"
                          : source == kwCompanyChoice::Source::LastOpened ? "the one qv opened last"
                                                                    : "the demo company";
        std::cerr << "qvadmin: company " << kwCompany::Name() << " (" << kwCompany::Folder() << "), "
                  << why << "\n";
    }
    if (!operatorId.empty()) kwCompany::SetCurrentOperatorId(operatorId);
    const size_t commandWords = oneWord ? 1 : 2;
    AdminContext context{std::vector<std::string>(words.begin() + commandWords, words.end()), std::cout, std::cerr};
    if (oneWord) return AdminRemind(context);
    const std::string command = words[0] + " " + words[1];
    if (command == "dict show") return AdminDictShow(context);
    if (command == "file dump") return AdminFileDump(context);
    if (command == "file check") return AdminFileCheck(context);
    if (command == "file repair") return AdminFileRepair(context);
    if (command == "issue add") return AdminIssueAdd(context);
    if (command == "issue show") return AdminIssueShow(context);
    if (command == "issue list") return AdminIssueList(context);
    if (command == "issue delete") return AdminIssueDelete(context);
    if (command == "issue link") return AdminIssueLink(context);
    if (command == "issue links") return AdminIssueLinks(context);
    if (command == "issue unlink") return AdminIssueUnlink(context);
    if (command == "issue notify") return AdminIssueNotify(context);
    if (command == "query list") return AdminQueryList(context);
    if (command == "query show") return AdminQueryShow(context);
    if (command == "query save") return AdminQuerySave(context);
    if (command == "query delete") return AdminQueryDelete(context);
    if (command == "query check") return AdminQueryCheck(context);
    if (command == "prefs show") return AdminPrefsShow(context);
    if (words[0] == "print") {
        AdminContext print{std::vector<std::string>(words.begin() + 1, words.end()), std::cout, std::cerr};
        return AdminPrint(print);
    }
    std::cerr << "qvadmin: unknown command \"" << command << "\"\n";
    Usage(std::cerr);
    return kAdminUserError;
}
