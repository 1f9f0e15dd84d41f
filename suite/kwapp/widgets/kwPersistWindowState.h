// Keeps a window's placement (size, position, maximized, and a main window's toolbars)
// across runs in the user's settings, under a key naming the window.
#pragma once

#include <string>

class QWidget;

class kwPersistWindowState {
public:
    kwPersistWindowState(QWidget* window, std::string key);

    // Puts the window where it was; false when nothing is stored or the stored placement is
    // unreadable (the window keeps its own).
    bool Restore() const;
    bool Save() const;
    // True when the stored placement was maximized.
    bool WasMaximized() const;

private:
    QWidget* _window;
    std::string _key;
};
