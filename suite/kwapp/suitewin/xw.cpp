// The xw_* calls: screen files and windows by handle. Windows belong to this table and go
// when the program closes them (xw_cls_window). They have no Qt parent: a program may
// disable its own window while a suite window it opened takes input (Build Query does),
// and a Qt child would be disabled with it.
#include "kwapp/suitewin/xw.h"

#include "kwapp/suitewin/xwFields.h"
#include "kwapp/suitewin/xwRegistry.h"
#include "kwapp/suitewin/xwWindow.h"
#include "kwapp/suitewin/xw_qt.h"

#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <cstring>
#include <map>
#include <memory>

namespace {

std::map<short, QPointer<xwWindow>>& Windows() {
    static std::map<short, QPointer<xwWindow>> windows;
    return windows;
}

std::map<short, std::shared_ptr<const xwScreen>>& Screens() {
    static std::map<short, std::shared_ptr<const xwScreen>> screens;
    return screens;
}

short& Active() {
    static short active = 0;
    return active;
}

std::string& LastScreenError() {
    static std::string error;
    return error;
}

xw_panel_driver& Driver() {
    static xw_panel_driver driver;
    return driver;
}

// Handles are not handed out again at once, so that a late event of a closed window
// cannot reach the window opened after it.
template <class Map> short NextHandle(const Map& map, short& last) {
    for (int tries = 0; tries < 32767; ++tries) {
        last = static_cast<short>(last >= 32767 ? 1 : last + 1);
        if (map.find(last) == map.end()) return last;
    }
    return 0;
}

short NewWindowHandle() {
    static short last = 0;
    // Forget windows deleted behind the table's back.
    for (auto it = Windows().begin(); it != Windows().end();) {
        it = it->second ? std::next(it) : Windows().erase(it);
    }
    return NextHandle(Windows(), last);
}

xwField* FindField(short window, short field, xwWindow** owner = nullptr) {
    xwWindow* w = xw_find_window(window);
    if (owner) *owner = w;
    return w ? w->Field(field) : nullptr;
}

// The status of a call on a field: no window, or no field of that type.
short Missing(short window) {
    return xw_find_window(window) ? XW_NO_FIELD : XW_NO_WINDOW;
}

QWidget* ParentFor(short parent) {
    if (xwWindow* window = xw_find_window(parent)) return window;
    return QApplication::activeWindow();
}

void Tell(const std::string& text) {
    x_log(0, text.c_str());
    xw_wr_message(0, XW_ERROR, text.c_str(), 0);
}

void CopyText(char* target, size_t size, const std::string& text) {
    std::memset(target, 0, size);
    const std::string cut = x_utf8_cut(text, size - 1);
    std::memcpy(target, cut.data(), cut.size());
}

} // namespace

xwWindow* xw_find_window(short window) {
    auto it = Windows().find(window);
    if (it == Windows().end()) return nullptr;
    if (!it->second) {
        Windows().erase(it);
        return nullptr;
    }
    return it->second.data();
}

void xw_note_active_window(short window) {
    Active() = window;
}

void xw_start_panel_driver(short window, QWidget* context) {
    if (!Driver()) return;
    QTimer::singleShot(0, context, [window] {
        const xw_panel_driver driver = Driver();
        if (driver) driver(window);
    });
}

QWidget* xw_window_widget(short window) {
    return xw_find_window(window);
}

QWidget* xw_field_widget(short window, short field, short item) {
    xwField* found = FindField(window, field);
    return found ? found->Widget(item) : nullptr;
}

void xw_set_panel_driver(xw_panel_driver driver) {
    Driver() = std::move(driver);
}

// --- screen files -------------------------------------------------------------------------

short xw_open_screen_file(const char* name) {
    std::string error;
    auto screen = xwScreenFile::Load(name ? name : "", &error);
    if (!screen) {
        LastScreenError() = error;
        Tell("The screen file \"" + std::string(name ? name : "") + "\" cannot be used. " + error);
        return 0;
    }
    static short last = 0;
    const short handle = NextHandle(Screens(), last);
    if (handle == 0) return 0;
    LastScreenError().clear();
    Screens()[handle] = std::move(screen);
    return handle;
}

short xw_cls_screen_file(short screen) {
    return Screens().erase(screen) ? XW_OK : XW_NO_WINDOW;
}

std::string xw_screen_file_error() {
    return LastScreenError();
}

void xw_set_screen_folders(std::vector<std::string> folders) {
    xwScreenFile::SetFolders(std::move(folders));
}

// --- windows ------------------------------------------------------------------------------

short xw_display_panel(short screen, const char* group, const char* panel, short flags,
                       xw_window_proc callback, void* appData) {
    auto it = Screens().find(screen);
    if (it == Screens().end()) return 0; // the failed open was told already
    const std::string groupName = group ? group : "", panelName = panel ? panel : "";
    const xwPanelDef* def = it->second->Panel(groupName, panelName);
    if (!def) {
        Tell("The screen file " + it->second->origin + " has no panel " + panelName + " in group " +
             groupName + ".");
        return 0;
    }
    const short handle = NewWindowHandle();
    if (handle == 0) return 0;
    auto* window = new xwWindow(handle, XW_KIND_PANEL, QApplication::activeWindow());
    Windows()[handle] = window;
    xw_window_def windowDef;
    std::memset(&windowDef, 0, sizeof(windowDef));
    windowDef.centreVertically = 1;
    windowDef.centreHorizontally = 1;
    windowDef.rows = def->height;
    windowDef.columns = def->width;
    windowDef.kind = XW_KIND_PANEL;
    windowDef.modal = def->modal ? 1 : 0;
    windowDef.closeBox = def->closeBox ? 1 : 0;
    CopyText(windowDef.title, sizeof(windowDef.title), def->title);
    windowDef.callback = callback;
    windowDef.appData = appData;
    window->ApplyDef(windowDef);
    window->BuildPanel(*def, screen);
    Active() = handle;
    if ((flags & XW_PANEL_HIDDEN) == 0) window->show();
    QPointer<xwWindow> alive(window);
    window->Fire(XW_EVENT_PANEL_SHOWN, 0, 0, 0, 1);
    return alive ? handle : 0;
}

short xw_open_window(const xw_window_def* def) {
    if (!def || (def->kind != XW_KIND_PLAIN && def->kind != XW_KIND_DIALOG_HOST)) return 0;
    const short handle = NewWindowHandle();
    if (handle == 0) return 0;
    auto* window = new xwWindow(handle, def->kind, ParentFor(def->parent));
    Windows()[handle] = window;
    window->ApplyDef(*def);
    Active() = handle;
    if (def->kind == XW_KIND_PLAIN) window->show();
    return handle;
}

short xw_cls_window(short window) {
    xwWindow* found = xw_find_window(window);
    if (!found) return XW_NO_WINDOW;
    Windows().erase(window);
    if (Active() == window) Active() = 0;
    found->CloseForGood();
    return XW_OK;
}

short xw_get_window_def(short window, xw_window_def* def) {
    xwWindow* found = xw_find_window(window);
    if (!found) return XW_NO_WINDOW;
    if (!def) return XW_BAD_VALUE;
    found->FillDef(def);
    return XW_OK;
}

short xw_chg_window(short window, const xw_window_def* def) {
    xwWindow* found = xw_find_window(window);
    if (!found) return XW_NO_WINDOW;
    if (!def) return XW_BAD_VALUE;
    found->ApplyDef(*def);
    return XW_OK;
}

short xw_active_window() {
    return xw_find_window(Active()) ? Active() : 0;
}

short xw_rd_panel(short window, xw_read_def* read) {
    if (!read) return XW_BAD_VALUE;
    xwWindow* found = xw_find_window(window);
    if (!found) {
        read->exitKey = XW_EXIT_ENTER;
        read->action = XW_ACTION_DISCARD;
        read->field = 0;
        read->changed = 0;
        return XW_NO_WINDOW;
    }
    Active() = window;
    return found->Read(read);
}

short xw_panel_changed(short window) {
    xwWindow* found = xw_find_window(window);
    return found && found->Changed() ? 1 : 0;
}

short xw_wr_fields(short window, short firstField, short lastField) {
    xwWindow* found = xw_find_window(window);
    if (!found) return XW_NO_WINDOW;
    for (const auto& field : found->Fields()) {
        if (field->Number() >= firstField && field->Number() <= lastField) field->Show();
    }
    return XW_OK;
}

short xw_get_field(short window, short field, x_value_def* value) {
    xwField* found = FindField(window, field);
    if (!found) return Missing(window);
    if (!value) return XW_BAD_VALUE;
    return found->Get(value);
}

short xw_put_field(short window, short field, const x_value_def* value) {
    xwField* found = FindField(window, field);
    if (!found) return Missing(window);
    if (!value) return XW_BAD_VALUE;
    return found->Put(*value);
}

short xw_get_field_def(short window, short field, xw_field_def* def) {
    xwField* found = FindField(window, field);
    if (!found) return Missing(window);
    if (!def) return XW_BAD_VALUE;
    *def = found->FieldDef();
    return XW_OK;
}

short xw_chg_field(short window, short field, const xw_field_def* def) {
    xwField* found = FindField(window, field);
    if (!found) return Missing(window);
    if (!def) return XW_BAD_VALUE;
    found->ChangeDef(*def);
    return XW_OK;
}

short xw_set_active_field(short window, short field) {
    xwWindow* owner = nullptr;
    if (!FindField(window, field, &owner)) return Missing(window);
    owner->Focus(field);
    return XW_OK;
}

short xw_ins_list(short window, short field, short row, const xw_list_entry* entries, short count) {
    xwField* found = FindField(window, field);
    if (!found) return Missing(window);
    return found->InsertRows(row, entries, count);
}

short xw_get_list(short window, short field, short row, xw_list_entry* entry) {
    xwField* found = FindField(window, field);
    if (!found) return Missing(window);
    return found->GetRow(row, entry);
}

short xw_del_list(short window, short field, short row, short count) {
    xwField* found = FindField(window, field);
    if (!found) return Missing(window);
    return found->DeleteRows(row, count);
}

short xw_list_count(short window, short field) {
    xwField* found = FindField(window, field);
    return found ? found->RowCount() : 0;
}

void xw_refresh() {
    for (const auto& [handle, window] : Windows()) {
        if (window && window->isVisible()) window->update();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// --- labels -------------------------------------------------------------------------------

namespace {

short ChangeCaption(short window, short field, short type, const char* text) {
    xwField* found = FindField(window, field);
    if (!found || found->Type() != type) return Missing(window);
    return found->SetCaption(text ? text : "");
}

short ChangeItem(short window, short field, short type, short item, const char* text) {
    xwField* found = FindField(window, field);
    if (!found || found->Type() != type) return Missing(window);
    return found->SetItemText(item, text ? text : "");
}

} // namespace

short xw_chg_button(short window, short field, const char* text) {
    return ChangeCaption(window, field, XW_FIELD_BUTTON, text);
}

short xw_chg_checkbox_alpha(short window, short field, const char* text) {
    return ChangeCaption(window, field, XW_FIELD_CHECK, text);
}

short xw_chg_combo_alpha(short window, short field, short item, const char* text) {
    return ChangeItem(window, field, XW_FIELD_COMBO, item, text);
}

short xw_chg_radio_alpha(short window, short field, short item, const char* text) {
    return ChangeItem(window, field, XW_FIELD_RADIO, item, text);
}

short xw_chg_title(short window, const char* title, const char* secondTitle) {
    xwWindow* found = xw_find_window(window);
    if (!found) return XW_NO_WINDOW;
    found->SetTitles(title ? title : "", secondTitle ? secondTitle : "");
    return XW_OK;
}

short xw_wr_string(short window, short row, short column, short attribute1, short /*attribute2*/,
                   short /*attribute3*/, const char* text) {
    xwWindow* found = xw_find_window(window);
    if (!found) return XW_NO_WINDOW;
    if (row < 1 || column < 1 || !text) return XW_BAD_VALUE;
    found->WriteString(row, column, attribute1, text);
    return XW_OK;
}

short xw_clr_part(short window, short firstRow, short lastRow, short firstColumn, short lastColumn,
                  short /*attribute*/) {
    xwWindow* found = xw_find_window(window);
    if (!found) return XW_NO_WINDOW;
    found->ClearPart(firstRow, lastRow, firstColumn, lastColumn);
    return XW_OK;
}
