// A choice among fixed items (the dictionary's choice fields, type codes 7 to 9): item
// texts numbered from 1 and the number of the selected item, 0 when none is selected.
// In the value carrier it is the item number.
#pragma once

#include "kwcommon/values/kwData.h"

#include <vector>

class kwChoice : public kwData {
public:
    // selected outside 0..count becomes 0 (none). typeCode is 7, 8 or 9 (else 7).
    explicit kwChoice(std::vector<std::string> items = {}, int selected = 1, short typeCode = 7);

    const std::vector<std::string>& Items() const { return _items; }
    // New items; the selection is kept when still within them, else it becomes 0.
    void SetItems(std::vector<std::string> items);
    int Count() const { return static_cast<int>(_items.size()); }
    // The text of item n (1-based); "" outside 1..Count().
    std::string Item(int n) const;
    int Selected() const { return _selected; }
    // Selects item n; 0 selects none. false (unchanged) outside 0..Count().
    bool Select(int n);
    // The number of the first item with exactly this text, 0 when none.
    int Find(std::string_view text) const;

    short TypeCode() const override { return _typeCode; }
    // The selected item's text; "" when none is selected.
    std::string Format() const override { return Item(_selected); }
    // Selects the first item whose text is exactly text; else, when text is a decimal number
    // (blanks around allowed) within 1..Count(), that item. Anything else answers false and
    // leaves the selection unchanged.
    bool Set(std::string_view text) override;
    // True when no item is selected.
    bool IsNull() const override { return _selected == 0; }
    // Selects none.
    void Clear() override { _selected = 0; }
    // Against another choice: by item number. Other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwChoice>(*this); }
    // The item number.
    void ToXval(x_value_def& value) const override { value.SetNumber(_selected); }
    // A number: a whole item number within 0..Count(), else false. A text: as Set reads it.
    bool FromXval(const x_value_def& value) override;
    // From another choice: its item number, when within 0..Count() of this one (else false,
    // unchanged). False for other kinds.
    bool CopyFrom(const kwData& other) override;

protected:
    std::vector<std::string> _items;
    int _selected = 0;
    short _typeCode = 7;
};
