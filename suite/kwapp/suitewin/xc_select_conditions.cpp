// Puts the condition editor into a suite window and turns its end into the window's event.
#include "kwapp/suitewin/xc_select_conditions.h"

#include "kwapp/suitewin/xcConditionEditor.h"
#include "kwapp/suitewin/xwRegistry.h"
#include "kwapp/suitewin/xwWindow.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_text.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <cstring>
#include <string>

namespace {

xc_condition_editor& Editor() {
    static xc_condition_editor editor;
    return editor;
}

short Refuse(const std::string& why) {
    x_log(0, ("xc_select_conditions: " + why).c_str());
    return 0;
}

// Runs the stand-in editor on the set, keeping the promise of the real one: a cancel
// leaves the set as it was.
bool RunStandIn(const xc_condition_editor& editor, short handle) {
    xc_cond_init_def def;
    std::memset(&def, 0, sizeof(def));
    xc_get_conditions_def(handle, &def);
    const short copy = xc_init_conditions(&def, 1);
    if (copy) xc_copy_conditions(handle, copy);
    const bool accepted = editor(handle);
    if (copy) {
        if (!accepted) xc_copy_conditions(copy, handle);
        xc_term_conditions(copy, 1);
    }
    return accepted;
}

} // namespace

void xc_set_condition_editor(xc_condition_editor editor) {
    Editor() = std::move(editor);
}

short xc_select_conditions(short handle, short mode, short /*reserved*/, const char* format, short window) {
    xc_cond_init_def def;
    if (!xc_get_conditions_def(handle, &def)) return Refuse("no condition set " + std::to_string(handle));
    if (format && *format && !x_equal_nocase(format, "display"))
        return Refuse(std::string("no value format \"") + format + "\"");
    if (mode != XC_SELECT_MODAL && mode != XC_SELECT_IN_WINDOW) return Refuse("no mode " + std::to_string(mode));

    short ownWindow = 0;
    if (window == 0 && mode == XC_SELECT_MODAL) {
        xw_window_def own;
        std::memset(&own, 0, sizeof(own));
        own.centreVertically = own.centreHorizontally = 1;
        own.kind = XW_KIND_DIALOG_HOST;
        own.modal = 1;
        own.closeBox = 1;
        ownWindow = window = xw_open_window(&own);
    }
    QPointer<xwWindow> host = xw_find_window(window);
    if (!host || host->Kind() != XW_KIND_DIALOG_HOST || host->Hosting()) {
        if (ownWindow) xw_cls_window(ownWindow);
        return Refuse("window " + std::to_string(window) + " cannot take the editor");
    }

    if (const xc_condition_editor standIn = Editor()) {
        auto run = [host, handle, standIn]() -> bool {
            const bool accepted = RunStandIn(standIn, handle);
            if (host) host->Fire(accepted ? XW_EVENT_ACCEPTED : XW_EVENT_CANCELLED, 0, 0, 0, 1);
            return accepted;
        };
        if (mode == XC_SELECT_IN_WINDOW) {
            QTimer::singleShot(0, host.data(), run);
            return 1;
        }
        const bool accepted = run();
        if (ownWindow) xw_cls_window(ownWindow);
        return accepted ? 1 : 0;
    }

    // The window owns the editor from here on; the editor ends before the window does.
    auto* editor = new xcConditionEditor(handle);
    QPointer<xcConditionEditor> guard(editor);
    host->Host(editor, [guard] {
        if (guard) guard->Cancel();
    });
    QObject::connect(editor, &xcConditionEditor::finished, host.data(), [host](bool ok) {
        if (host) host->EndHosted(ok ? XW_EVENT_ACCEPTED : XW_EVENT_CANCELLED);
    });
    if (mode == XC_SELECT_IN_WINDOW) return 1;

    bool accepted = false;
    QEventLoop loop;
    QObject::connect(editor, &xcConditionEditor::finished, &loop, [&accepted, &loop](bool ok) {
        accepted = ok;
        loop.quit();
    });
    QObject::connect(editor, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    if (ownWindow) xw_cls_window(ownWindow);
    return accepted ? 1 : 0;
}
