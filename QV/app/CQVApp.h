// The main program's application object: the framework's main application with the
// program's name, abbreviation and versions, its tasks and its frame.
#pragma once

#include "kwapp/app/kwMainApp.h"
#include "kwapp/app/kwMessageService.h"
#include "qvcore/tasks/qvCommands.h"

#include <QPointer>

#include <memory>

class kwSplashScreen;

class CQVApp : public kwMainApp {
public:
    // Command numbers of the program's tasks (numbered in qvCommands.h).
    static constexpr unsigned short ID_APPLICATIONS = QV_CMD_APPLICATIONS;
    static constexpr unsigned short ID_VIEW_ISSUES = QV_CMD_VIEW_ISSUES;
    static constexpr unsigned short ID_BUILD_QUERY = QV_CMD_BUILD_QUERY;
    static constexpr unsigned short ID_SELECT_COLUMNS = QV_CMD_SELECT_COLUMNS;
    static constexpr unsigned short ID_NEW_ISSUE = QV_CMD_NEW_ISSUE;
    static constexpr unsigned short ID_FORMULAS = QV_CMD_FORMULAS;
    static constexpr unsigned short ID_CUSTOMIZE = QV_CMD_CUSTOMIZE;
    static constexpr unsigned short ID_OPTIONS = QV_CMD_OPTIONS;
    // LoadFrame style: an overlapped window with the active document's title added.
    static constexpr unsigned long FRAME_STYLE = 0xCF8000;

    CQVApp();
    ~CQVApp() override;

    bool InitInstance() override;

private:
    void RegisterTasks();

    // Shown while the frame is made; it closes and deletes itself once the frame is up.
    QPointer<kwSplashScreen> _splash;
    // The suite's event channel, listened to while the program runs.
    std::unique_ptr<kwMessageService> _suiteEvents;
    // The Applications task's handler that rebuilds the inquiry and report commands.
    int _appListHandler = 0;
};
