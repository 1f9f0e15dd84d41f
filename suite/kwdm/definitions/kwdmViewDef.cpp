// View definitions.
#include "kwdm/definitions/kwdmViewDef.h"

kwdmViewDef::kwdmViewDef(std::string name, kwdmQuery& query, int templateId, int secondId)
    : _name(std::move(name)), _query(query), _templateId(templateId), _secondId(secondId) {}

kwdmViewDef::~kwdmViewDef() = default;

kwdmControlDef* kwdmViewDef::AddControl(std::unique_ptr<kwdmControlDef> control) {
    if (!control) return nullptr;
    for (auto& existing : _controls) {
        if (existing->Id() == control->Id()) {
            existing = std::move(control);
            return existing.get();
        }
    }
    _controls.push_back(std::move(control));
    return _controls.back().get();
}

kwdmControlDef* kwdmViewDef::Control(int id) const {
    for (const auto& control : _controls)
        if (control->Id() == id) return control.get();
    return nullptr;
}
