// Grid columns.
#include "kwdm/definitions/kwdmGridDef.h"

void kwdmGridDef::AddColumn(kwdmQueryColumn* column, short style, short width, const std::string& label,
                             short alignment, short sizable, unsigned background) {
    if (!column) return;
    Column added;
    added.column = column;
    added.style = style;
    added.width = width;
    added.label = label;
    added.alignment = alignment;
    added.sizable = sizable;
    added.background = background;
    _columns.push_back(added);
}

void kwdmGridDef::AddColumn(std::unique_ptr<kwdmAttachmentsButtonDef> button, short style, short width,
                             int helpId, short alignment, unsigned background) {
    if (!button) return;
    Column added;
    added.attachments = button.get();
    _buttons.push_back(std::move(button));
    added.style = style;
    added.width = width;
    added.helpId = helpId;
    added.alignment = alignment;
    added.background = background;
    _columns.push_back(added);
}
