// A node's record filter: items that compare a column with a value, joined by "and" (0) or
// "or" (1), "and" binding tighter. Comparison 0 is equality as stored: letter case counts,
// trailing blanks do not (kwdmFilter::Equal). A filter of one column equal to one of several values is a selection an
// index can serve (see xio_selection).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class kwdmFilter {
public:
    enum Comparison : short { EQUAL = 0 };
    enum Join : short { AND = 0, OR = 1 };

    struct Item {
        std::string column;
        short comparison = EQUAL;
        std::string value;
        short join = OR; // joins this item to the next
    };

    void AddItem(const std::string& column, short comparison, const std::string& value, short join = OR);
    const std::vector<Item>& Items() const { return _items; }
    bool Empty() const { return _items.empty(); }

    // True when the filter is one column equal to one of some values; fills them in.
    bool AsSelection(std::string* column, std::vector<std::string>* values) const;
    // The filter's equality of two texts: letter case counts, trailing blanks do not.
    static bool Equal(std::string_view stored, std::string_view value);
    // Tests a record: equal(column, value) answers whether the record's column holds it.
    bool Passes(const std::function<bool(const std::string& column, const std::string& value)>& equal) const;

private:
    std::vector<Item> _items;
};
