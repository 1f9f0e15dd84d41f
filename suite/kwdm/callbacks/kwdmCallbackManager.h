// The callbacks of a view control, registered by the view's notify-create function, by
// event kind, number and the node or column they watch (kwdmEvents.h). A callback answers
// a short whose meaning its event gives; an event nobody registered answers 0.
#pragma once

#include "kwdm/callbacks/kwdmCallbackInfo.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

using kwdmCallback = std::function<short(kwdmCallbackInfo&)>;

class kwdmCallbackManager {
public:
    explicit kwdmCallbackManager(kwdmAppEventData* appData = nullptr) : _appData(appData) {}

    kwdmAppEventData* AppData() const { return _appData; }
    void SetAppData(kwdmAppEventData* appData) { _appData = appData; }

    void SetViewCallback(short event, kwdmCallback callback);
    void SetRowCallback(short event, const std::string& node, kwdmCallback callback);
    void SetColCallback(short event, const std::string& column, kwdmCallback callback);

    bool HasViewCallback(short event) const;
    bool HasRowCallback(short event, const std::string& node) const;
    short CallView(short event, kwdmCallbackInfo& info) const;
    short CallRow(short event, const std::string& node, kwdmCallbackInfo& info) const;
    short CallColumn(short event, const std::string& column, kwdmCallbackInfo& info) const;

private:
    using Key = std::pair<short, std::string>; // event, upper-case node or column name
    static Key KeyOf(short event, const std::string& name);

    kwdmAppEventData* _appData;
    std::map<short, kwdmCallback> _view;
    std::map<Key, kwdmCallback> _row;
    std::map<Key, kwdmCallback> _column;
};
