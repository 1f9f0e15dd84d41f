// The commands of qvadmin, each writing to out/err and answering the exit code:
// 0 ok, 1 user error (message on err), 2 data error.
#pragma once

#include "qvcore/tasks/qvCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

enum AdminExit { kAdminOk = 0, kAdminUserError = 1, kAdminDataError = 2 };

// The program numbers qvadmin works under: issues as the New Issue task does, selections
// as the View Issues task does, saved queries as the Build Query task does.
constexpr short kAdminIssueProgram = QV_CMD_NEW_ISSUE;
constexpr short kAdminViewProgram = QV_CMD_VIEW_ISSUES;
constexpr short kAdminQueryProgram = QV_CMD_BUILD_QUERY;

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
int AdminIssueLink(AdminContext& context);
int AdminIssueLinks(AdminContext& context);
int AdminIssueUnlink(AdminContext& context);
int AdminIssueNotify(AdminContext& context);
int AdminQueryList(AdminContext& context);
int AdminQueryShow(AdminContext& context);
int AdminQuerySave(AdminContext& context);
int AdminQueryDelete(AdminContext& context);
int AdminQueryCheck(AdminContext& context);
int AdminPrefsShow(AdminContext& context);
int AdminRemind(AdminContext& context);
int AdminPrint(AdminContext& context);
