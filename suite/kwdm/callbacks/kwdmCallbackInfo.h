// What a callback is told: the view control that calls, the focused row, the control that
// raised the event (a button) or the column that changed, and the application's data.
#pragma once

class kwdmAppEventData;
class kwdmControl;
class kwdmQueryColumn;
class kwdmQueryRow;
class kwdmViewCtrl;

class kwdmCallbackInfo {
public:
    kwdmCallbackInfo(kwdmViewCtrl& control, kwdmQueryRow& row, kwdmAppEventData* appData)
        : _viewCtrl(control), _row(row), _appData(appData) {}

    kwdmViewCtrl& ControlMgr() const { return _viewCtrl; }
    kwdmQueryRow& QueryRow() const { return _row; }
    kwdmAppEventData* AppData() const { return _appData; }
    // The control that raised the event, null when none did.
    kwdmControl* Control() const { return _control; }
    // The column whose value changed (column events), else null.
    kwdmQueryColumn* Column() const { return _column; }
    // A qualification callback asked whether it may skip records at all.
    bool Probe() const { return _probe; }

    kwdmCallbackInfo& WithControl(kwdmControl* control) {
        _control = control;
        return *this;
    }
    kwdmCallbackInfo& WithColumn(kwdmQueryColumn* column) {
        _column = column;
        return *this;
    }
    kwdmCallbackInfo& AsProbe() {
        _probe = true;
        return *this;
    }

private:
    kwdmViewCtrl& _viewCtrl;
    kwdmQueryRow& _row;
    kwdmAppEventData* _appData;
    kwdmControl* _control = nullptr;
    kwdmQueryColumn* _column = nullptr;
    bool _probe = false;
};
