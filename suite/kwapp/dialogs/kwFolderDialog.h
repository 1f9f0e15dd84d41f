// The suite's folder chooser. Tests (and scripted runs) answer it through a queue instead
// of the dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

class kwFolderDialog {
public:
    kwFolderDialog() = delete;

    // The folder the user chose; nullopt when the chooser was cancelled.
    static std::optional<std::string> Choose(const std::string& caption, const std::string& start);

    // Answers taken in order before any dialog is shown (nullopt: cancelled).
    static void ScriptAnswers(const std::vector<std::optional<std::string>>& answers);
    static size_t ScriptedAnswersLeft();
    static void ClearScript();
};
