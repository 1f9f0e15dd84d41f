// The print commands are ordinary commands of the application while taken and absent
// otherwise, so "nothing handles it" keeps its meaning (disabled); their prompts are the
// taker's while taken, else the string tables'.
#include "kwapp/app/kwPrintCommands.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/frame/kwAppFrame.h"

#include <QAction>

namespace {

bool IsPrintCommand(unsigned short id) {
    return id == kwCommonCommands::ID_FILE_PRINT || id == kwCommonCommands::ID_FILE_PRINT_DEFAULT;
}

// Menu items and toolbar buttons of the command show its state and prompt at once, and the
// status bar gives way to the new prompt.
void ShowState(kwApplication& app, unsigned short id) {
    kwAppFrame* frame = app.MainWindow();
    if (!frame) return;
    const QString prompt = QString::fromStdString(app.CommandPrompt(id));
    for (QAction* action : frame->findChildren<QAction*>()) {
        if (action->property("cmdId").toUInt() != id) continue;
        action->setStatusTip(prompt);
        action->setEnabled(app.IsCommandEnabled(id));
    }
    frame->SetMessageText(frame->IdleMessage());
}

} // namespace

bool kwPrintCommands::Take(unsigned short id, std::function<void()> callback, const std::string& description) {
    kwApplication* app = KWGetApp();
    if (!app || !IsPrintCommand(id) || !callback) return false;
    app->AddCommand(id, std::move(callback));
    app->SetCommandPrompt(id, description);
    ShowState(*app, id);
    return true;
}

void kwPrintCommands::GiveBack(unsigned short id) {
    kwApplication* app = KWGetApp();
    if (!app || !IsPrintCommand(id)) return;
    app->RemoveCommand(id);
    app->SetCommandPrompt(id, "");
    ShowState(*app, id);
}

bool kwPrintCommands::Taken(unsigned short id) {
    const kwApplication* app = KWGetApp();
    return app && IsPrintCommand(id) && app->HasHandler(id);
}

std::string kwPrintCommands::Description(unsigned short id) {
    const kwApplication* app = KWGetApp();
    return app ? app->CommandPrompt(id) : kwApplication::PromptFromTables(id);
}
