// Button definitions: push buttons with the application's action, the row buttons (first,
// previous, next, last), the delete button and the attachments button. A button's
// enabler runs whenever the focused row changes.
#pragma once

#include "kwdm/callbacks/kwdmCallbackInfo.h"
#include "kwdm/definitions/kwdmControlDef.h"

#include <functional>
#include <memory>
#include <string>

using kwdmButtonEnabler = std::function<bool(kwdmCallbackInfo& info)>;

// What a push button does: the application derives its action classes from this.
class kwdmButtonActionBase {
public:
    kwdmButtonActionBase() = default;
    virtual ~kwdmButtonActionBase() = default;
    kwdmButtonActionBase(const kwdmButtonActionBase&) = delete;
    kwdmButtonActionBase& operator=(const kwdmButtonActionBase&) = delete;

    // Runs when the button is pressed; the answer is the action's own.
    virtual short Action(kwdmCallbackInfo& info) = 0;
    // Decides whether the button is enabled; the base enables it always.
    virtual kwdmButtonEnabler MakeButtonEnabler();
};

class kwdmPushButtonDef : public kwdmControlDef {
public:
    kwdmPushButtonDef(int id, std::unique_ptr<kwdmButtonActionBase> action, short bitmap = 0)
        : kwdmControlDef(id, PUSH_BUTTON), _action(std::move(action)), _bitmap(bitmap) {}
    kwdmButtonActionBase* Action() const { return _action.get(); }
    short Bitmap() const { return _bitmap; }

private:
    std::unique_ptr<kwdmButtonActionBase> _action;
    short _bitmap;
};

class kwdmRowButtonDef : public kwdmControlDef {
public:
    enum Move : short { FIRST, PREVIOUS, NEXT, LAST };
    kwdmRowButtonDef(int id, Move move) : kwdmControlDef(id, ROW_BUTTON), _move(move) {}
    Move GetMove() const { return _move; }

private:
    Move _move;
};

class kwdmDeleteButtonDef : public kwdmControlDef {
public:
    explicit kwdmDeleteButtonDef(int id) : kwdmControlDef(id, DELETE_BUTTON) {}
};

// Opens the focused record's attachments (kwdmAttachmentsQueryColumn's seam).
class kwdmAttachmentsButtonDef : public kwdmControlDef {
public:
    kwdmAttachmentsButtonDef(int id, std::string column, std::string text = {})
        : kwdmControlDef(id, ATTACHMENTS_BUTTON), _column(std::move(column)), _text(std::move(text)) {}
    const std::string& Column() const { return _column; }
    const std::string& Text() const { return _text; }

private:
    std::string _column;
    std::string _text;
};
