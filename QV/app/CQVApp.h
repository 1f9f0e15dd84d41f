// The main program's application object: the framework's main application with the
// program's name, abbreviation and versions, its tasks and its frame.
#pragma once

#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/app/kwMainApp.h"

class CQVApp : public kwMainApp {
public:
    // Command numbers of the program's tasks.
    static constexpr unsigned short ID_APPLICATIONS = 7005;
    static constexpr unsigned short ID_VIEW_ISSUES = 7010;
    static constexpr unsigned short ID_BUILD_QUERY = 7020;
    static constexpr unsigned short ID_SELECT_COLUMNS = 7030;
    static constexpr unsigned short ID_NEW_ISSUE = kwCommonCommands::ID_NEW_ISSUE;
    static constexpr unsigned short ID_FORMULAS = 7100;
    static constexpr unsigned short ID_CUSTOMIZE = kwCommonCommands::ID_CUSTOMIZE;
    static constexpr unsigned short ID_OPTIONS = kwCommonCommands::ID_OPTIONS;
    // LoadFrame style: an overlapped window with the active document's title added.
    static constexpr unsigned long FRAME_STYLE = 0xCF8000;

    CQVApp();
    ~CQVApp() override;

    bool InitInstance() override;

private:
    void RegisterTasks();
};
