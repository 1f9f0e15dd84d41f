// Pages are made afresh for every run: nothing a page holds survives its sheet.
#include "kwapp/tasks/kwPropertySheetTask.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/sheets/kwPropertySheet.h"
#include "kwcommon/x_message.h"

kwPropertySheetTask::kwPropertySheetTask(const std::string& name, FlagsType flags,
                                         unsigned short id, unsigned short bitmap)
    : kwTask(name, flags, id, bitmap, {}, {}) {}

kwPropertySheetTask::~kwPropertySheetTask() = default;

void kwPropertySheetTask::AddFrameworkPages(kwPropertySheet& /*sheet*/) {}
bool kwPropertySheetTask::HasFrameworkPages() const { return false; }

bool kwPropertySheetTask::IsEnabled() const { return HasFrameworkPages() || HasCreateCallback(); }

void kwPropertySheetTask::BuildSheet(kwPropertySheet& sheet) {
    AddFrameworkPages(sheet);
    if (_create) _create(&sheet);
}

void kwPropertySheetTask::Start() {
    kwApplication* app = KWGetApp();
    kwPropertySheet sheet(QString::fromStdString(Name()), app ? app->MainWindow() : nullptr);
    sheet.setObjectName(QStringLiteral("sheet%1").arg(ID()));
    BuildSheet(sheet);
    if (sheet.PageCount() == 0) {
        const std::string text = "\"" + Name() + "\" has no settings to show.";
        xw_wr_message(0, XW_INFO, text.c_str(), 0);
        return;
    }
    NotifyStart();
    _lastResult = sheet.DoModal();
    End();
}
