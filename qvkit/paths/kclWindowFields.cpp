// The access to the suite windows' fields: the suite's window layer unless a caller (a
// test) installs another.
#include "qvkit/paths/kclWindowFields.h"

#include "kwapp/suitewin/xw.h"
#include "kwcommon/x_value_def.h"

#include <utility>

namespace {

kclWindowFieldAccess SuiteWindowFields() {
    kclWindowFieldAccess access;
    access.get = [](short window, short field, std::string* text) {
        x_value_def value{};
        if (xw_get_field(window, field, &value) != XW_OK) return false;
        *text = value.AsText();
        return true;
    };
    access.put = [](short window, short field, const std::string& text) {
        x_value_def value{};
        value.SetText(text);
        // A path the field's value cannot hold whole is refused, never stored cut.
        if (value.AsText() != text) return false;
        return xw_put_field(window, field, &value) == XW_OK;
    };
    access.redisplay = [](short window, short field) { xw_wr_fields(window, field, field); };
    access.markChanged = [](short window, short field) {
        xw_field_def def{};
        if (xw_get_field_def(window, field, &def) != XW_OK) return;
        def.changed = 1;
        xw_chg_field(window, field, &def);
    };
    return access;
}

kclWindowFieldAccess& Access() {
    static kclWindowFieldAccess access = SuiteWindowFields();
    return access;
}

} // namespace

void kclSetWindowFieldAccess(kclWindowFieldAccess access) {
    Access() = access.Installed() ? std::move(access) : SuiteWindowFields();
}

const kclWindowFieldAccess& kclWindowFields() {
    return Access();
}
