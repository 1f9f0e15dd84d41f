// The application code is read up to its NUL within its four bytes, so a definition that
// fills them all is still read safely.
#include "kwapp/formulas/xf_formula_setup.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/formulas/xfFormulaEditor.h"
#include "kwapp/frame/kwAppFrame.h"

#include "kwcommon/kwStatus.h"

#include <cstring>

xf_formula_editor_runner& xf_formula_editor_seam() {
    static xf_formula_editor_runner seam;
    return seam;
}

short xf_formula_setup(const xf_setup_def* def, const xf_item_callback& callback) {
    if (!def) return XIO_BAD_VALUE;
    const std::string application(def->application, strnlen(def->application, sizeof def->application));
    if (application.empty()) return XIO_BAD_VALUE;
    if (const auto& runner = xf_formula_editor_seam()) {
        runner(application);
        return XIO_OK;
    }
    kwApplication* app = KWGetApp();
    xfFormulaEditor editor(application, app ? app->MainWindow() : nullptr);
    editor.SetItemCallback(callback);
    editor.DoModal();
    return XIO_OK;
}
