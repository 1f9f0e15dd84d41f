// Callbacks by event and name.
#include "kwdm/callbacks/kwdmCallbackManager.h"

#include <cctype>

kwdmCallbackManager::Key kwdmCallbackManager::KeyOf(short event, const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return {event, upper};
}

void kwdmCallbackManager::SetViewCallback(short event, kwdmCallback callback) { _view[event] = std::move(callback); }

void kwdmCallbackManager::SetRowCallback(short event, const std::string& node, kwdmCallback callback) {
    _row[KeyOf(event, node)] = std::move(callback);
}

void kwdmCallbackManager::SetColCallback(short event, const std::string& column, kwdmCallback callback) {
    _column[KeyOf(event, column)] = std::move(callback);
}

bool kwdmCallbackManager::HasViewCallback(short event) const {
    auto it = _view.find(event);
    return it != _view.end() && it->second;
}

bool kwdmCallbackManager::HasRowCallback(short event, const std::string& node) const {
    auto it = _row.find(KeyOf(event, node));
    return it != _row.end() && it->second;
}

short kwdmCallbackManager::CallView(short event, kwdmCallbackInfo& info) const {
    auto it = _view.find(event);
    return it != _view.end() && it->second ? it->second(info) : 0;
}

short kwdmCallbackManager::CallRow(short event, const std::string& node, kwdmCallbackInfo& info) const {
    auto it = _row.find(KeyOf(event, node));
    return it != _row.end() && it->second ? it->second(info) : 0;
}

short kwdmCallbackManager::CallColumn(short event, const std::string& column, kwdmCallbackInfo& info) const {
    auto it = _column.find(KeyOf(event, column));
    return it != _column.end() && it->second ? it->second(info) : 0;
}
