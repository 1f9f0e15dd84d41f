// The toolbar of task buttons: first the framework's button that prints the active report
// to the default printer (command 1220), then every task of the application that sits on the toolbar (the
// user's choice, else the task's default), in the order the tasks were registered, with
// the task's bitmap. The user's choices are kept in the user's settings.
#pragma once

#include <QToolBar>

#include <vector>

class kwToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit kwToolBar(QWidget* parent = nullptr);
    ~kwToolBar() override;

    // Rebuilds the buttons from the application's tasks.
    void Update();
    QAction* TaskAction(unsigned short id) const;
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
};
