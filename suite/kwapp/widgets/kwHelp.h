// The program's help: topics by help id, shown from the help folder when one is installed.
// The folder is $QV_HELP_DIR, else "help" beside the program. Without it, help commands are
// disabled rather than doing nothing.
#pragma once

#include <string>

class kwHelp {
public:
    kwHelp() = delete;

    static std::string Folder();
    // True when the help folder holds the contents page (index.html).
    static bool Available();
    // The topic file of a help id ("<id>.html"); empty when it is not installed.
    static std::string TopicFile(unsigned int helpId);
    // Opens the topic (the contents page for 0 or a topic that is not installed). false when
    // there is no help at all or it could not be shown.
    static bool ShowTopic(unsigned int helpId);
    static bool ShowContents() { return ShowTopic(0); }
};
