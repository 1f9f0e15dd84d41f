// Access to a field of one of the suite's windows (window number, field number), for the
// selection functions that read a file name from a field and write the choice back. By
// default the suite's window layer (xw_get_field, xw_put_field, xw_wr_fields,
// xw_chg_field); tests install their own and give it back by installing an empty one.
#pragma once

#include <functional>
#include <string>

struct kclWindowFieldAccess {
    // The field's current text (the window's xw_get_field); false when there is none.
    std::function<bool(short window, short field, std::string* text)> get;
    // Puts text into the field (xw_put_field); false when the field refuses it.
    std::function<bool(short window, short field, const std::string& text)> put;
    // Shows the field's new text (xw_wr_fields).
    std::function<void(short window, short field)> redisplay;
    // Marks the field changed, as if the user had typed (xw_get_field_def, xw_chg_field).
    std::function<void(short window, short field)> markChanged;

    bool Installed() const { return get && put; }
};

void kclSetWindowFieldAccess(kclWindowFieldAccess access);
const kclWindowFieldAccess& kclWindowFields();
