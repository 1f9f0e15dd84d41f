// Both "--name value" and "--name=value" are accepted, as users type either.
#include "kwapp/app/kwCommandLine.h"

#include <charconv>

namespace {
bool TakeValue(const std::vector<std::string>& arguments, size_t& i, const std::string& name,
               std::string* value, std::string* error) {
    const std::string& argument = arguments[i];
    if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
        *value = argument.substr(name.size() + 1);
    } else if (i + 1 < arguments.size()) {
        *value = arguments[++i];
    } else {
        *error = "The option " + name + " needs a value.";
        return false;
    }
    if (value->empty()) {
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
            if (!TakeValue(arguments, i, "--data", &dataFolder, error)) return false;
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
        } else {
            *error = "Unknown option \"" + argument + "\".";
            return false;
        }
    }
    return true;
}

std::string kwCommandLine::Usage(const std::string& program) {
    return "Usage: " + program +
           " [--data DIR] [--operator ID] [--exit-after MS] [--background] [--macro FILE]\n"
           "  --data DIR       the company folder (else $QV_DATA, else the last one opened,\n"
           "                   else the demo company)\n"
           "  --operator ID    the operator to work as\n"
           "  --exit-after MS  close on its own after MS milliseconds\n"
           "  --background     run without any window\n"
           "  --macro FILE     run the commands of FILE without a window, then end\n";
}
