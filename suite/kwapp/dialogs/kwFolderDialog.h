// The suite's folder chooser. Tests (and scripted runs) answer it through its seam, or
// with a script of answers taken in order.
#pragma once

#include "kwcommon/kwSeam.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class kwFolderDialog {
public:
    kwFolderDialog() = delete;

    // The folder the user chose; nullopt when the chooser was cancelled.
    static std::optional<std::string> Choose(const std::string& caption, const std::string& start);

    using Chooser = kwSeam<std::optional<std::string>(const std::string& caption, const std::string& start)>;
    static Chooser& ChooserSeam();

    // Answers the chooser in order while it lives (nullopt: cancelled); once they have run
    // out, the dialog shows again.
    class Script {
    public:
        explicit Script(std::vector<std::optional<std::string>> answers);
        size_t Left() const { return _answers->size(); }

    private:
        std::shared_ptr<std::deque<std::optional<std::string>>> _answers;
        Chooser::Guard _guard;
    };

private:
    static std::optional<std::string> ShowDialog(const std::string& caption, const std::string& start);
};
