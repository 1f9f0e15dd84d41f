// The chooser lets the user make a new folder, which New Company needs.
#include "kwapp/dialogs/kwFolderDialog.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"

#include <QFileDialog>

kwFolderDialog::Chooser& kwFolderDialog::ChooserSeam() {
    static Chooser seam;
    return seam;
}

kwFolderDialog::Script::Script(std::vector<std::optional<std::string>> answers)
    : _answers(std::make_shared<std::deque<std::optional<std::string>>>(answers.begin(), answers.end())),
      _guard(ChooserSeam().Replace(
          [answers = _answers, outer = ChooserSeam()](const std::string& caption, const std::string& start)
              -> std::optional<std::string> {
              if (answers->empty()) {
                  // Out of answers: whatever stood in before (an outer script), else the dialog.
                  if (outer) return outer(caption, start);
                  return ShowDialog(caption, start);
              }
              std::optional<std::string> answer = answers->front();
              answers->pop_front();
              return answer;
          })) {}

std::optional<std::string> kwFolderDialog::Choose(const std::string& caption, const std::string& start) {
    if (const auto& seam = ChooserSeam()) return seam(caption, start);
    return ShowDialog(caption, start);
}

std::optional<std::string> kwFolderDialog::ShowDialog(const std::string& caption, const std::string& start) {
    kwApplication* app = KWGetApp();
    const QString folder = QFileDialog::getExistingDirectory(
        app ? app->MainWindow() : nullptr, QString::fromStdString(caption),
        QString::fromStdString(start), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}
