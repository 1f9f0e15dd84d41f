// The commands of qvadmin, each writing to out/err and answering the exit code:
// 0 ok, 1 user error (message on err), 2 data error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

enum AdminExit { kAdminOk = 0, kAdminUserError = 1, kAdminDataError = 2 };

struct AdminContext {
    std::vector<std::string> args; // the command's words after the global options
    std::ostream& out;
    std::ostream& err;
};

int AdminDictShow(AdminContext& context);
int AdminFileDump(AdminContext& context);
int AdminFileCheck(AdminContext& context);
int AdminFileRepair(AdminContext& context);
int AdminIssueAdd(AdminContext& context);
int AdminIssueShow(AdminContext& context);
int AdminIssueList(AdminContext& context);
int AdminIssueDelete(AdminContext& context);
int AdminPrefsShow(AdminContext& context);
