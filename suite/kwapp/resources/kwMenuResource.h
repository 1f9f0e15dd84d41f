// Menu and accelerator resources of the suite's modules. A module describes its menus as a
// flat table (popups open and end around their items) and its accelerator tables as key /
// command pairs, registers them under a resource id while it is loaded, and the frame loads
// them by id through the resource chain.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct kwMenuEntry {
    enum Kind : unsigned char {
        Item,      // a command: id and text
        Popup,     // opens a submenu: text; the entries up to its End belong to it
        End,       // closes the innermost open Popup
        Separator,
    };
    Kind kind;
    unsigned short id;
    // Menu text with "&" before the access key. A tab separates the text from the key hint
    // shown at the right ("&Print...\tCtrl+P"); the keys themselves come from the
    // accelerator table.
    const char* text;
};

struct kwAccelEntry {
    const char* keys; // portable key text: "Ctrl+C"
    unsigned short id;
};

class kwMenuResource {
public:
    kwMenuResource() = delete;

    static void RegisterMenu(const std::string& module, unsigned short id,
                             const kwMenuEntry* entries, size_t count);
    static void RegisterAccelerators(const std::string& module, unsigned short id,
                                     const kwAccelEntry* entries, size_t count);
    // Removes every menu and accelerator table of the module.
    static void Unregister(const std::string& module);

    // The menu or accelerator table `id` of the first module in the resource chain that has
    // one (see kwDynLinkLibrary::SearchOrder), or of the named module.
    static std::optional<std::vector<kwMenuEntry>> FindMenu(unsigned short id,
                                                            const std::string& module = {});
    static std::optional<std::vector<kwAccelEntry>> FindAccelerators(unsigned short id,
                                                                     const std::string& module = {});

    // Checks that every Popup has its End and nothing ends that was not opened.
    static bool WellFormed(const std::vector<kwMenuEntry>& entries);
};
