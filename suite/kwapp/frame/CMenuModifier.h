// Changes a program makes to the frame's menu resource: menus and items added in named
// groups. The frame rebuilds its menu bar from the resource and replays every modification
// whenever the menus are updated, so a group can be replaced or removed at any time.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class QString;

class CMenuModifier {
public:
    // Where a menu or item goes.
    enum Order : short {
        ORDER_APPEND = 0,   // at the end
        ORDER_POSITION = 1, // at the position given (0 = first entry; separators count)
        ORDER_BEFORE = 2,   // before the reference menu or item
        ORDER_AFTER = 3,    // after the reference menu or item
    };
    // Item flags.
    static constexpr unsigned short MF_SEPARATOR = 0x0800;

    // Later modifications belong to the group; starting a group again replaces what it held.
    void StartNewMenuGroup(const std::string& group);
    void RemoveMenuGroup(const std::string& group);
    const std::string& CurrentGroup() const { return _group; }

    // A menu titled `title` in the menu `parent` ("" for the menu bar), placed by order
    // relative to the menu `reference`. Nothing is added when the menu exists already.
    void AppendAddMenuModification(const std::string& parent, const std::string& title,
                                   short order, const std::string& reference,
                                   unsigned short flags);
    // An item (command id, text) in the menu titled `menu` (any depth), placed by order: at
    // `position`, or before/after the item with command `referenceId`. Nothing is added when
    // the menu already holds the command.
    void AppendAddItemModification(const std::string& menu, unsigned short id,
                                   const std::string& text, short order, unsigned short flags,
                                   unsigned short referenceId, short position);

    size_t ModificationCount() const { return _modifications.size(); }

    // Makes the action for a command item (not yet in any menu); owner keeps it.
    using ItemFactory = std::function<QAction*(QObject* owner, unsigned short id, const QString& text)>;
    void Apply(QMenuBar* bar, const ItemFactory& makeItem) const;

    // The menu titled `title`: the menu bar's first, then submenus depth first. Titles
    // match exactly, else without "&" and letter case.
    static QMenu* FindMenu(QMenuBar* bar, const std::string& title);

private:
    struct Modification {
        std::string group;
        bool isMenu;
        std::string parent; // menu: parent menu; item: its menu
        std::string title;  // menu title or item text
        short order;
        std::string reference;
        unsigned short id;
        unsigned short flags;
        unsigned short referenceId;
        short position;
    };
    std::string _group;
    std::vector<Modification> _modifications;
};
