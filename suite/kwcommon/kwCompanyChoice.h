// Which company a program of the suite works on: one rule for every program, the main
// program and the command-line tools alike, and the memory of the company the main program
// opened last.
//
// The company last opened by the main program is kept for the user in
// $XDG_CONFIG_HOME/quorvel/last-company (~/.config/quorvel when the variable is not set):
// one line, the company's absolute folder in UTF-8.
#pragma once

#include <optional>
#include <string>

class kwCompanyChoice {
public:
    kwCompanyChoice() = delete;

    // Where Choose found the company.
    enum class Source { DataOption, Environment, LastOpened, Demo };

    // The company folder to work on: the folder named by --data (dataOption, when the
    // option was given), else $QV_DATA, else the company the main program opened last
    // (while it still is a company), else the demo company, copied on first use into the
    // user's data folder. Naming the demo shipped with the program chooses the user's copy
    // of it (WorkingFolder). An empty --data is refused. false with *error; *source (when
    // given) says where the folder came from.
    static bool Choose(const std::optional<std::string>& dataOption, std::string* folder,
                       Source* source, std::string* error);
    // Refuses a --data that names no folder; true when the option is absent or names one.
    static bool CheckDataOption(const std::optional<std::string>& dataOption, std::string* error);
    // The folder to work in for a company folder: the folder itself, except for the demo
    // company shipped with the program, which is never worked on: its copy in the user's
    // data folder is used (made when missing). Empty, with *error, when the copy fails.
    static std::string WorkingFolder(const std::string& folder, std::string* error);
    // True when folder holds a company: its settings file is there and a JSON object.
    static bool IsCompanyFolder(const std::string& folder);

    // The company the main program opened last, "" when none is kept or it is no longer a
    // company. RememberOpened keeps folder as that company (false when it cannot be kept).
    static std::string LastOpened();
    static bool RememberOpened(const std::string& folder);
    static std::string LastOpenedFile();
};
