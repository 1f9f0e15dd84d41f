// A live control of a view control: the window's widget of an id with the definition that binds
// it. Callbacks reach it through kwdmCallbackInfo::Control() and kwdmViewCtrl::FindControl.
#pragma once

#include "kwdm/callbacks/kwdmCallbackManager.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class kwdmControlDef;
class kwdmGridView;
class kwdmViewCtrl;

class kwdmControl {
public:
    kwdmControl(kwdmControlDef& definition, QWidget* widget, kwdmViewCtrl& owner);
    ~kwdmControl();
    kwdmControl(const kwdmControl&) = delete;
    kwdmControl& operator=(const kwdmControl&) = delete;

    int Id() const;
    kwdmControlDef& Definition() const { return _definition; }
    QWidget* Widget() const { return _widget; }
    kwdmViewCtrl& Owner() const { return _owner; }

    void SetFocus();
    void Enable();
    void Disable();
    bool IsEnabled() const;
    // The control's own callback, run after its definition's work (a push button's action).
    void SetCallback(kwdmCallback callback) { _callback = std::move(callback); }
    const kwdmCallback& Callback() const { return _callback; }

    // The grid's view, null for other controls.
    kwdmGridView* Grid() const;
    // A grid: the texts of the focused row, one per grid column, as shown.
    std::vector<std::string> CurrentRowTexts() const;

private:
    kwdmControlDef& _definition;
    QPointer<QWidget> _widget; // the window may go first
    kwdmViewCtrl& _owner;
    kwdmCallback _callback;
};
