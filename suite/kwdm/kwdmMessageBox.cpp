// Message boxes of the grid framework.
#include "kwdm/kwdmMessageBox.h"

#include "kwcommon/x_message.h"

short kwdmMessageBox(const std::string& text, const std::string& title, unsigned style) {
    short kind = XW_INFO;
    if ((style & 0xF0) == 0x20 || (style & 0x0F) == 4) kind = XW_YESNO;
    else if ((style & 0x0F) == 1) kind = XW_OKCANCEL;
    else if ((style & 0xF0) == 0x10 || (style & 0xF0) == 0x30) kind = XW_ERROR;
    return xw_message_box(kind, title, text);
}
