// The program's menu group "QV" puts the issue tools at the top of the Tools menu, under
// Applications; the framework replays it whenever it rebuilds the menus.
#include "QV/app/CMainFrame.h"

#include "QV/app/CQVApp.h"
#include "kwapp/app/kwApplication.h"
#include "kwapp/tasks/kwDocViewTask.h"

CMainFrame::CMainFrame() : kwAppFrame(0, 0, true) {}

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate() {
    if (kwAppFrame::OnCreate() == -1) return -1;
    CMenuModifier& menus = MenuModifier();
    menus.StartNewMenuGroup("QV");
    menus.AppendAddMenuModification({}, _toolsMenu, CMenuModifier::ORDER_BEFORE, _windowMenu, 0);
    menus.AppendAddItemModification(_toolsMenu, CQVApp::ID_VIEW_ISSUES, "&View Issues...",
                                    CMenuModifier::ORDER_POSITION, 0, 0, 1);
    menus.AppendAddItemModification(_toolsMenu, CQVApp::ID_BUILD_QUERY, "&Build Query...",
                                    CMenuModifier::ORDER_POSITION, 0, 0, 2);
    menus.AppendAddItemModification(_toolsMenu, CQVApp::ID_SELECT_COLUMNS, "&Select Grid Columns...",
                                    CMenuModifier::ORDER_POSITION, 0, 0, 3);
    UpdateMenus();
    return 0;
}

bool CMainFrame::OnClose() {
    // A View Issues window with unsaved work may keep the program open.
    if (kwApplication* app = KWGetApp()) {
        auto* viewIssues = dynamic_cast<kwDocViewTask*>(app->FindTask(CQVApp::ID_VIEW_ISSUES));
        if (viewIssues && viewIssues->Status() == kwTask::RUNNING && !viewIssues->Shutdown())
            return false;
    }
    return kwAppFrame::OnClose();
}
