// Screen files: the panels of an application's suite windows, read by xw_open_screen_file.
//
// A screen file is JSON, named <name in lower case>.scr ("qv.scr" for screen file "QV"):
// {
//   "screen": "QV",
//   "groups": [
//     { "name": "TOOLS",                               group name, 1 to 8 characters
//       "panels": [
//         { "name": "APPLS",                           panel name, 1 to 8 characters
//           "title": "Applications",                   window title
//           "width": 50, "height": 19,                 size in cells (columns, rows)
//           "modal": true,                             optional (true): other windows wait
//           "closeBox": true,                          optional (true)
//           "texts": [ { "row": 1, "column": 2, "text": "...", "style": 1 } ],
//                                                      written text; style as xw_wr_string's
//                                                      first attribute (optional, 1)
//           "boxes": [ { "row": 1, "column": 1, "width": 20, "height": 5, "text": "Range" } ],
//                                                      framed boxes with an optional caption
//           "fields": [
//             { "number": 1,                           1 to 999, unique in the panel
//               "type": "list",                        text | number | check | radio |
//                                                      combo | list | button
//               "row": 3, "column": 2,                 top left cell
//               "width": 46, "height": 10,             in cells (height: lists only, else 1)
//               "text": "~Save",                       caption (button, check box)
//               "label": { "text": "~From:", "column": 3, "row": 7 },
//                                                      optional label in front of the field
//                                                      (row: the field's row when left out)
//               "enabled": true,                       optional (true)
//               "help": "...",                         optional: the field's tooltip
//               "exitKey": 13, "action": 1,            buttons: the exit key and action they
//                                                      end a read with (none: the button
//                                                      ends it with XW_EXIT_BUTTON)
//               "default": true,                       buttons: the one Enter presses
//               "exitOnChange": true,                  a change by the user ends the read
//               "maxLength": 30,                       text: characters accepted
//               "decimals": 0,                         number: decimals
//               "editable": false,                     combo: free text besides the items
//               "items": ["Printer", ...],             combo: the items
//               "items": [ { "text": "~Printer", "row": 2, "column": 16 }, ... ],
//                                                      radio: one button per item, each in
//                                                      its own place (width: its text + 4)
//               "checks": true,                        list: rows carry check marks
//               "headers": [ { "text": "Application", "width": 34 }, ... ]
//                                                      list: its columns (widths in cells)
//             } ] } ] } ]
// }
// Rows and columns count from 1; everything must lie inside the panel. Names compare
// without regard to case. A damaged file is refused as a whole with the file and the
// JSON path of the fault ("qv.scr: groups[0].panels[1].fields[3].row: must lie between 1
// and 18"); nothing in a screen file can crash the loader.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct xwTextDef {
    short row = 1;
    short column = 1;
    std::string text;
    short style = 1;
};

struct xwBoxDef {
    short row = 1;
    short column = 1;
    short width = 1;
    short height = 1;
    std::string text;
};

struct xwItemDef {
    std::string text;
    short row = 0;    // radio items only
    short column = 0; // radio items only
};

struct xwListColumnDef {
    std::string text;
    short width = 1;
};

struct xwLabelDef {
    std::string text;
    short row = 1;
    short column = 1;
};

struct xwFieldDef {
    short number = 0;
    short type = 0; // xw_field_type
    short row = 1;
    short column = 1;
    short width = 1;
    short height = 1;
    std::string text;
    std::optional<xwLabelDef> label;
    bool enabled = true;
    std::string help;
    short exitKey = 0;
    short action = 0;
    bool isDefault = false;
    bool exitOnChange = false;
    short maxLength = 0;
    short decimals = 0;
    bool editable = false;
    bool checks = false;
    std::vector<xwItemDef> items;
    std::vector<xwListColumnDef> headers;
};

struct xwPanelDef {
    std::string name;
    std::string title;
    short width = 1;
    short height = 1;
    bool modal = true;
    bool closeBox = true;
    std::vector<xwTextDef> texts;
    std::vector<xwBoxDef> boxes;
    std::vector<xwFieldDef> fields;
};

struct xwScreenGroup {
    std::string name;
    std::vector<xwPanelDef> panels;
};

struct xwScreen {
    std::string name;
    std::string origin; // the file it was read from, for messages
    std::vector<xwScreenGroup> groups;

    // nullptr when there is no such panel (names compared without regard to case).
    const xwPanelDef* Panel(const std::string& group, const std::string& panel) const;
};

class xwScreenFile {
public:
    // Finds and reads screen file `name`: <name in lower case>.scr in the screen folders in
    // their order, then the built-in screens. nullptr with *error naming the file and the
    // place when it cannot be read.
    static std::shared_ptr<const xwScreen> Load(const std::string& name, std::string* error);
    static std::shared_ptr<const xwScreen> LoadFile(const std::string& path, std::string* error);
    // From JSON text; origin names it in errors.
    static std::shared_ptr<const xwScreen> Parse(const std::string& text, const std::string& origin,
                                                 std::string* error);

    static void SetFolders(std::vector<std::string> folders);
    // The resource folder of the built-in screens.
    static const char* BuiltInFolder();
};
