// The framework's two print commands: Print (1210, through the print dialog) and print to
// the default printer (1220, no questions). Both print "the active report": a window that
// can print takes them over while it is the active window, with a callback and a
// description of its own, and gives them back when another window becomes active. A
// command nobody has taken is disabled and described as the framework's ("Prints the
// active report", "Prints the active report to the default printer").
//
// Where users reach them: Print is the program's File menu item (Ctrl+P); print to the
// default printer is a File menu item right after Print, added by the frame
// ("Print to &Default Printer"), and the first button of the frame's toolbar.
#pragma once

#include <functional>
#include <string>

class kwPrintCommands {
public:
    kwPrintCommands() = delete;

    // Takes command id (1210 or 1220) over: callback runs it, description is its prompt.
    // Another taker's hold ends. false for another id or an empty callback.
    static bool Take(unsigned short id, std::function<void()> callback, const std::string& description);
    // Gives the command back: disabled, the framework's description.
    static void GiveBack(unsigned short id);
    static bool Taken(unsigned short id);
    // The prompt the command shows now.
    static std::string Description(unsigned short id);
};
