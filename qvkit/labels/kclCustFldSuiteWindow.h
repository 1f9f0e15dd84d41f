// The label updaters for fields of the suite's windows (the xw_* window layer): a button or
// check box's text, a static text at a place, an item of a combo box or radio group, and a
// window's titles. Windows and fields are the window layer's numbers.
#pragma once

#include "qvkit/labels/kclCustomFieldItem.h"

#include <string>

class kclCustFldC3FieldText : public kclCustomFieldItem {
public:
    enum FieldType : short { BUTTON = 0, CHECKBOX = 1 };
    kclCustFldC3FieldText(short window, short field, FieldType type, const std::string& text);
    kclCustFldC3FieldText(const kclCustFldC3FieldText& other) = default;
    kclCustFldC3FieldText& operator=(const kclCustFldC3FieldText& other) = default;
    ~kclCustFldC3FieldText() override;
    void Update() override;

private:
    short _window;
    short _field;
    FieldType _type;
};

// Text written into the window's cells; a shorter text after a longer one clears what the
// longer one wrote first.
class kclCustFldC3StaticText : public kclCustomFieldItem {
public:
    kclCustFldC3StaticText(short window, short row, short column, short attribute1, short attribute2,
                           short attribute3, const std::string& text);
    kclCustFldC3StaticText(const kclCustFldC3StaticText& other) = default;
    kclCustFldC3StaticText& operator=(const kclCustFldC3StaticText& other) = default;
    ~kclCustFldC3StaticText() override;
    void Update() override;
    short WrittenLength() const { return _written; }

private:
    short _window;
    short _row;
    short _column;
    short _attribute1;
    short _attribute2;
    short _attribute3;
    short _written = 0;
};

class kclCustFldC3ChoiceFieldItem : public kclCustomFieldItem {
public:
    enum FieldType : short { COMBO = 0, RADIO = 1 };
    kclCustFldC3ChoiceFieldItem(short window, short field, short item, FieldType type, const std::string& text);
    kclCustFldC3ChoiceFieldItem(const kclCustFldC3ChoiceFieldItem& other) = default;
    kclCustFldC3ChoiceFieldItem& operator=(const kclCustFldC3ChoiceFieldItem& other) = default;
    ~kclCustFldC3ChoiceFieldItem() override;
    void Update() override;

private:
    short _window;
    short _field;
    short _item;
    FieldType _type;
};

class kclCustFldC3WindowTitle : public kclCustomFieldItem {
public:
    kclCustFldC3WindowTitle(short window, const std::string& title, const std::string& secondTitle);
    kclCustFldC3WindowTitle(const kclCustFldC3WindowTitle& other) = default;
    kclCustFldC3WindowTitle& operator=(const kclCustFldC3WindowTitle& other) = default;
    ~kclCustFldC3WindowTitle() override;
    void Update() override;

private:
    short _window;
    std::string _secondTitle;
};
