// The command numbers of the program's tasks, numbered here once. The framework starts a
// task by its number, and the menus, toolbar, string tables, operator rights, macros, the
// program number of the issue file and the log all name a task by the same number. The
// commands the program takes over from the framework keep the framework's numbers.
#pragma once

#include "kwapp/app/kwCommonCommands.h"

inline constexpr unsigned short QV_CMD_APPLICATIONS = 7005;
inline constexpr unsigned short QV_CMD_VIEW_ISSUES = 7010;
inline constexpr unsigned short QV_CMD_BUILD_QUERY = 7020;
inline constexpr unsigned short QV_CMD_SELECT_COLUMNS = 7030;
inline constexpr unsigned short QV_CMD_NEW_ISSUE = kwCommonCommands::ID_NEW_ISSUE;
inline constexpr unsigned short QV_CMD_FORMULAS = kwCommonCommands::ID_FORMULAS;
inline constexpr unsigned short QV_CMD_CUSTOMIZE = kwCommonCommands::ID_CUSTOMIZE;
inline constexpr unsigned short QV_CMD_OPTIONS = kwCommonCommands::ID_OPTIONS;
