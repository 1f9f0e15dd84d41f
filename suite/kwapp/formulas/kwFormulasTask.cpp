// Formulas are set-up: under operator security only privileged operators change them.
#include "kwapp/formulas/kwFormulasTask.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/formulas/xf_formula_setup.h"
#include "kwapp/suitewin/xw.h"

#include <cstdio>

kwFormulasTask::kwFormulasTask(unsigned short id) : kwTask("Formulas", COMMON | SETUP, id, 0, {}, {}) {}

kwFormulasTask::~kwFormulasTask() = default;

void kwFormulasTask::Start() {
    const kwApplication* app = KWGetApp();
    xf_setup_def def{};
    def.kind = 7;
    def.mode = 'd';
    def.filler = ' ';
    std::snprintf(def.application, sizeof def.application, "%s", app ? app->Abbreviation().c_str() : "");
    NotifyStart();
    xf_formula_setup(&def, {});
    xw_refresh();
    End();
}
