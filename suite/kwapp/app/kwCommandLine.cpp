// Both "--name value" and "--name=value" are accepted, as users type either.
#include "kwapp/app/kwCommandLine.h"

#include <charconv>
#include <string_view>

namespace {
bool TakeValue(const std::vector<std::string>& arguments, size_t& i, const std::string& name,
               std::string* value, std::string* error, bool mayBeEmpty = false) {
    const std::string& argument = arguments[i];
    if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
        *value = argument.substr(name.size() + 1);
    } else if (i + 1 < arguments.size()) {
        *value = arguments[++i];
    } else {
        *error = "The option " + name + " needs a value.";
        return false;
    }
    if (value->empty() && !mayBeEmpty) {
        *error = "The option " + name + " needs a value.";
        return false;
    }
    return true;
}

bool Is(const std::string& argument, const std::string& name) {
    return argument == name || argument.compare(0, name.size() + 1, name + "=") == 0;
}
} // namespace

bool kwCommandLine::Parse(const std::vector<std::string>& arguments, std::string* error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (Is(argument, "--data")) {
            // An empty folder name is the company rule's to refuse, in the same words for
            // every program.
            std::string folder;
            if (!TakeValue(arguments, i, "--data", &folder, error, true)) return false;
            dataFolder = folder;
        } else if (Is(argument, "--operator")) {
            if (!TakeValue(arguments, i, "--operator", &operatorId, error)) return false;
        } else if (Is(argument, "--exit-after")) {
            if (!TakeValue(arguments, i, "--exit-after", &value, error)) return false;
            int ms = -1;
            auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), ms);
            if (ec != std::errc() || end != value.data() + value.size() || ms < 0) {
                *error = "--exit-after needs a number of milliseconds, not \"" + value + "\".";
                return false;
            }
            exitAfterMs = ms;
        } else if (argument == "--background") {
            background = true;
        } else if (Is(argument, "--macro")) {
            if (!TakeValue(arguments, i, "--macro", &macroFile, error)) return false;
        } else if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else {
            *error = "Unknown option \"" + argument + "\".";
            return false;
        }
    }
    return true;
}

bool kwCommandLine::AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") return true;
    return false;
}

bool kwCommandLine::AsksForVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--version") return true;
    return false;
}

std::string kwCommandLine::Usage(const std::string& program) {
    return "Usage: " + program +
           " [--data DIR] [--operator ID] [--exit-after MS] [--background] [--macro FILE]\n"
           "       " + program + " --help | --version\n"
           "  --data DIR       the company folder (else $QV_DATA, else the last one opened,\n"
           "                   else the demo company)\n"
           "  --operator ID    the operator to work as\n"
           "  --exit-after MS  close on its own after MS milliseconds\n"
           "  --background     run without any window\n"
           "  --macro FILE     run the commands of FILE without a window, then end\n"
           "  --help           show this text\n"
           "  --version        show the program's version\n";
}
