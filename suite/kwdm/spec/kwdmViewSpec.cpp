// View specs.
#include "kwdm/spec/kwdmViewSpec.h"

kwdmViewSpec::kwdmViewSpec(std::string name, kwdmQuery& query, int templateId, int secondId)
    : _name(std::move(name)), _query(query), _templateId(templateId), _secondId(secondId) {}

kwdmViewSpec::~kwdmViewSpec() = default;

kwdmControlSpec* kwdmViewSpec::AddControl(std::unique_ptr<kwdmControlSpec> control) {
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

kwdmControlSpec* kwdmViewSpec::Control(int id) const {
    for (const auto& control : _controls)
        if (control->Id() == id) return control.get();
    return nullptr;
}
