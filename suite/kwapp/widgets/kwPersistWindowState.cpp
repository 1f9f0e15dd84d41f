// Placements are stored as the toolkit's own geometry blobs, base64 in the settings file;
// restoring one validates it against the screens present now.
#include "kwapp/widgets/kwPersistWindowState.h"

#include "kwapp/app/kwUserSettings.h"

#include <QByteArray>
#include <QMainWindow>
#include <QWidget>

kwPersistWindowState::kwPersistWindowState(QWidget* window, std::string key)
    : _window(window), _key("window." + std::move(key)) {}

bool kwPersistWindowState::Restore() const {
    if (!_window) return false;
    const auto geometry = kwUserSettings::Get(_key + ".geometry");
    if (!geometry) return false;
    if (!_window->restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(*geometry))))
        return false;
    if (auto* main = qobject_cast<QMainWindow*>(_window)) {
        if (const auto state = kwUserSettings::Get(_key + ".state"))
            main->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(*state)));
    }
    return true;
}

bool kwPersistWindowState::Save() const {
    if (!_window) return false;
    bool ok = kwUserSettings::Put(_key + ".geometry", _window->saveGeometry().toBase64().toStdString());
    if (auto* main = qobject_cast<QMainWindow*>(_window))
        ok = kwUserSettings::Put(_key + ".state", main->saveState().toBase64().toStdString()) && ok;
    ok = kwUserSettings::Put(_key + ".maximized", _window->isMaximized() ? "1" : "0") && ok;
    return ok;
}

bool kwPersistWindowState::WasMaximized() const {
    const auto value = kwUserSettings::Get(_key + ".maximized");
    return value && *value == "1";
}
