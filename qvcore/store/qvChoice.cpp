// Dictionary-backed choices.
#include "qvcore/store/qvChoice.h"

#include "kwcommon/xio.h"

qvChoice::qvChoice(short fileNumber, short field) {
    std::vector<std::string> items;
    xio_fld_def def{};
    if (fileNumber && xio_get_fld_def(fileNumber, field, &def, 1, 1) == XIO_OK) {
        for (short item = 1; item <= def.itemCount; ++item) {
            char text[256];
            if (xio_get_item_alpha(fileNumber, field, item, text, sizeof(text)) == XIO_OK) items.push_back(text);
        }
    }
    const bool any = !items.empty();
    SetItems(std::move(items));
    Select(any ? 1 : 0);
}

bool qvChoice::Set(std::string_view text) {
    if (const int item = Find(text)) {
        Select(item);
        return true;
    }
    Select(Count() > 0 ? 1 : 0);
    return false;
}
