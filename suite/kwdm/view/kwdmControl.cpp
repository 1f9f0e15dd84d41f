// Live controls.
#include "kwdm/view/kwdmControl.h"

#include "kwdm/model/kwdmTableModel.h"
#include "kwdm/definitions/kwdmControlDef.h"
#include "kwdm/view/kwdmGridView.h"


kwdmControl::kwdmControl(kwdmControlDef& definition, QWidget* widget, kwdmViewCtrl& owner)
    : _definition(definition), _widget(widget), _owner(owner) {}

kwdmControl::~kwdmControl() = default;

int kwdmControl::Id() const { return _definition.Id(); }

void kwdmControl::SetFocus() {
    if (_widget) _widget->setFocus(Qt::OtherFocusReason);
}

void kwdmControl::Enable() {
    if (_widget) _widget->setEnabled(true);
}

void kwdmControl::Disable() {
    if (_widget) _widget->setEnabled(false);
}

bool kwdmControl::IsEnabled() const { return _widget && _widget->isEnabled(); }

kwdmGridView* kwdmControl::Grid() const { return qobject_cast<kwdmGridView*>(_widget); }

std::vector<std::string> kwdmControl::CurrentRowTexts() const {
    std::vector<std::string> texts;
    kwdmGridView* grid = Grid();
    if (!grid || !grid->Model()) return texts;
    const kwdmTableModel& model = *grid->Model();
    const int row = grid->FocusRow();
    for (int column = 0; column < model.columnCount(); ++column)
        texts.push_back(model.data(model.index(row, column), Qt::DisplayRole).toString().toStdString());
    return texts;
}
