// A choice whose items are the field's items in the dictionary of an open file.
#pragma once

#include "kwcommon/values/kwChoice.h"

class qvChoice : public kwChoice {
public:
    // Items 1 to the field's item count; no items when the file is not open.
    qvChoice(short fileNumber, short field);
    // Selects the item with exactly this text; any other text selects item 1 and fails.
    bool Set(std::string_view text) override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<qvChoice>(*this); }
};
