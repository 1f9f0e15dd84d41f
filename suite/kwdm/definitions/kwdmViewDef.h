// A view definition: a named view on a query, for a window template (its ids), with the definitions of
// the controls it binds by id and the notify-create function that registers the view's
// callbacks each time a view control is created from it.
#pragma once

#include "kwdm/definitions/kwdmControlDef.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class kwdmCallbackManager;
class kwdmQuery;

using kwdmNotifyCreate = std::function<void(kwdmCallbackManager& callbacks)>;

class kwdmViewDef {
public:
    kwdmViewDef(std::string name, kwdmQuery& query, int templateId, int secondId);
    ~kwdmViewDef();
    kwdmViewDef(const kwdmViewDef&) = delete;
    kwdmViewDef& operator=(const kwdmViewDef&) = delete;

    const std::string& Name() const { return _name; }
    kwdmQuery& Query() const { return _query; }
    int TemplateId() const { return _templateId; }
    int SecondId() const { return _secondId; }

    void SetNotifyCreate(kwdmNotifyCreate notify) { _notify = std::move(notify); }
    const kwdmNotifyCreate& NotifyCreate() const { return _notify; }

    // Adds a control definition (the definition of an id already added replaces it); answers it.
    kwdmControlDef* AddControl(std::unique_ptr<kwdmControlDef> control);
    kwdmControlDef* Control(int id) const;
    const std::vector<std::unique_ptr<kwdmControlDef>>& Controls() const { return _controls; }

private:
    std::string _name;
    kwdmQuery& _query;
    int _templateId;
    int _secondId;
    kwdmNotifyCreate _notify;
    std::vector<std::unique_ptr<kwdmControlDef>> _controls;
};
