// With no application to offer the program's own formulas are edited; with one, that
// one's; with more, the user chooses, and a cancelled choice ends the task quietly.
#include "qvcore/tasks/TaskFormulas.h"

#include "qvcore/tasks/TaskApplications.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/formulas/xf_formula_setup.h"
#include "kwapp/suitewin/xw.h"

#include "kwinq/kwInqApplList.h"

#include <cstdio>
#include <cstring>

namespace {
// The program's abbreviation (string 4 of the main program, "QV").
std::string OwnAbbreviation() {
    const kwApplication* app = KWGetApp();
    return app ? app->Abbreviation() : std::string("QV");
}
} // namespace

TaskFormulas::TaskFormulas() : kwTask("Formula Setup", FLAGS, ID, 0, {}, {}) {}

TaskFormulas::~TaskFormulas() = default;

void TaskFormulas::FillSetup(xf_setup_def* def, const std::string& application) {
    std::memset(def, 0, sizeof *def);
    def->kind = 7;
    def->mode = 'd';
    def->filler = ' ';
    std::snprintf(def->application, sizeof def->application, "%s", application.c_str());
}

void TaskFormulas::Start() {
    TaskApplications::AppList list;
    TaskApplications::FillAppList(&list);
    std::string code;
    bool chooserAsked = false;
    int chosen = 0;
    if (list.empty()) {
        code = OwnAbbreviation();
    } else if (list.size() == 1) {
        code = list.front().first;
    } else {
        chooserAsked = true;
        chosen = GetInqRptApplList(list, PURPOSE);
        if (chosen >= 0) code = list[static_cast<size_t>(chosen)].first;
    }
    NotifyStart();
    if (!code.empty()) {
        xf_setup_def def{};
        FillSetup(&def, code);
        xf_formula_setup(&def, {});
        xw_refresh();
    } else if (!chooserAsked || chosen == 0) {
        InqNoApplMessage();
    }
    End();
}
