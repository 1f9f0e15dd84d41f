// The options every program of the suite takes on its command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

class kwCommandLine {
public:
    // Reads the arguments after the program name. false with a message for an unknown
    // option, a missing or bad value.
    bool Parse(const std::vector<std::string>& arguments, std::string* error);
    // The usage text (for --help and after a bad option).
    static std::string Usage(const std::string& program);

    std::optional<std::string> dataFolder; // --data DIR (an empty DIR is kept, to be refused)
    std::string operatorId;   // --operator ID
    int exitAfterMs = -1;     // --exit-after MS: close the frame on its own after MS
    bool background = false;  // --background: no window at all
    std::string macroFile;    // --macro FILE: run the macro's commands without a window
    bool help = false;        // --help
    bool version = false;     // --version

    // --help or --version among raw arguments: they are answered before anything else,
    // without a display.
    static bool AsksForHelp(int argc, char** argv);
    static bool AsksForVersion(int argc, char** argv);
};
