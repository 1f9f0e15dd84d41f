// The toolbar of task buttons: first the framework's button that prints the active report
// to the default printer (command 1220), then every task of the application that sits on the toolbar (the
// user's choice, else the task's default), in the order the tasks were registered, with
// the task's bitmap. The user's choices are kept in the user's settings. After the task
// buttons come the drop-downs that libraries put on the frame (the inquiry and report
// drop-downs): a button with a menu of commands, grouped in submenus.
#pragma once

#include <QToolBar>

#include <string>
#include <utility>
#include <vector>

// A drop-down of the toolbar: its commands in groups (a group with a title is a submenu;
// one without stands directly in the menu).
struct kwToolDropDown {
    struct Group {
        std::string title;
        std::vector<std::pair<unsigned short, std::string>> commands; // (command id, text)
    };
    std::string key;   // names it for replacing and removing ("inquiries")
    std::string title; // the button's text and tip
    unsigned short bitmap = 0;
    std::vector<Group> groups;
};

class kwToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit kwToolBar(QWidget* parent = nullptr);
    ~kwToolBar() override;

    // Rebuilds the buttons from the application's tasks.
    void Update();
    QAction* TaskAction(unsigned short id) const;
    // Puts a drop-down on the toolbar, replacing one with the same key; the drop-downs
    // stay across Update.
    void SetDropDown(const kwToolDropDown& dropDown);
    // false when there was none with the key.
    bool RemoveDropDown(const std::string& key);
    const std::vector<kwToolDropDown>& DropDowns() const { return _dropDowns; }
    // The button's action of a drop-down (its menu holds the commands), null when none.
    QAction* DropDownAction(const std::string& key) const;
    // The tasks' buttons, in order (the framework's print button is not one).
    std::vector<unsigned short> TaskIds() const;

    // The stored toolbar choices, applied to tasks that have no choice yet; and storing the
    // tasks' choices.
    static void LoadChoices();
    static bool SaveChoices();
    // The icon a task shows: its bitmap, else a letter drawn from its name.
    static QIcon TaskIcon(unsigned short bitmap, const QString& name);
    // The print button's icon: the desktop theme's, else one drawn here.
    static QIcon PrintIcon();

private:
    void AddDropDownButtons();
    std::vector<kwToolDropDown> _dropDowns;
};
