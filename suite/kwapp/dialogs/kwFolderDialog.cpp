// The chooser lets the user make a new folder, which New Company needs.
#include "kwapp/dialogs/kwFolderDialog.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"

#include <QFileDialog>

#include <deque>

namespace {
std::deque<std::optional<std::string>>& Script() {
    static std::deque<std::optional<std::string>> script;
    return script;
}
} // namespace

std::optional<std::string> kwFolderDialog::Choose(const std::string& caption, const std::string& start) {
    if (!Script().empty()) {
        std::optional<std::string> answer = Script().front();
        Script().pop_front();
        return answer;
    }
    kwApplication* app = KWGetApp();
    const QString folder = QFileDialog::getExistingDirectory(
        app ? app->MainWindow() : nullptr, QString::fromStdString(caption),
        QString::fromStdString(start), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

void kwFolderDialog::ScriptAnswers(const std::vector<std::optional<std::string>>& answers) {
    for (const auto& answer : answers)
        Script().push_back(answer);
}

size_t kwFolderDialog::ScriptedAnswersLeft() { return Script().size(); }
void kwFolderDialog::ClearScript() { Script().clear(); }
