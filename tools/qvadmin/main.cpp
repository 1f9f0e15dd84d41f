// qvadmin: command-line administration of a company's issue data.
#include "AdminCommand.h"

#include "kwcommon/kwCompany.h"

#include <cstring>
#include <iostream>

namespace {
void Usage(std::ostream& out) {
    out << "usage: qvadmin [--data DIR] [--operator ID] COMMAND\n"
           "commands:\n"
           "  dict show ABBR                       a dictionary's record types, fields and keys\n"
           "  file dump ABBR [--type N] [--key K]  records as tab-separated lines in key order\n"
           "  file check ABBR | file repair ABBR   find a data file's damage; rebuild it from what can be read\n"
           "  issue add --message TEXT [--status S] [--urgency U] [--classif C] [--followup F]\n"
           "            [--problem P] [--respons NAME] [--due DATE] [--notify DATE]\n"
           "  issue show N | issue list | issue delete N\n"
           "  prefs show                           the user's and the installation's preferences\n";
}
} // namespace

int main(int argc, char** argv) {
    std::string data, operatorId;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--data" || arg == "--operator") && words.empty()) {
            if (i + 1 >= argc) {
                std::cerr << "qvadmin: " << arg << " needs a value\n";
                return kAdminUserError;
            }
            (arg == "--data" ? data : operatorId) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage(std::cout);
            return kAdminOk;
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() < 2) {
        Usage(std::cerr);
        return kAdminUserError;
    }
    std::string folder, error;
    if (!kwCompany::Resolve(data, &folder, &error) || !kwCompany::Open(folder, &error)) {
        std::cerr << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    if (!operatorId.empty()) kwCompany::SetCurrentOperatorId(operatorId);
    AdminContext context{std::vector<std::string>(words.begin() + 2, words.end()), std::cout, std::cerr};
    const std::string command = words[0] + " " + words[1];
    if (command == "dict show") return AdminDictShow(context);
    if (command == "file dump") return AdminFileDump(context);
    if (command == "file check") return AdminFileCheck(context);
    if (command == "file repair") return AdminFileRepair(context);
    if (command == "issue add") return AdminIssueAdd(context);
    if (command == "issue show") return AdminIssueShow(context);
    if (command == "issue list") return AdminIssueList(context);
    if (command == "issue delete") return AdminIssueDelete(context);
    if (command == "prefs show") return AdminPrefsShow(context);
    std::cerr << "qvadmin: unknown command \"" << command << "\"\n";
    Usage(std::cerr);
    return kAdminUserError;
}
