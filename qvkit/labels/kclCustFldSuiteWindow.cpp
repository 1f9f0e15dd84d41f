// The suite window layer takes the replaced texts; the static text keeps the length it
// wrote, counted in characters, the window's cells.
#include "qvkit/labels/kclCustFldSuiteWindow.h"

#include "kwapp/suitewin/xw.h"

#include <QString>

namespace {
short Cells(const std::string& text) {
    return static_cast<short>(QString::fromStdString(text).size());
}
} // namespace

kclCustFldC3FieldText::kclCustFldC3FieldText(short window, short field, FieldType type, const std::string& text)
    : kclCustomFieldItem(text), _window(window), _field(field), _type(type) {
    Register();
    Update();
}
kclCustFldC3FieldText::~kclCustFldC3FieldText() = default;

void kclCustFldC3FieldText::Update() {
    if (_type == BUTTON) xw_chg_button(_window, _field, Replaced().c_str());
    else if (_type == CHECKBOX) xw_chg_checkbox_alpha(_window, _field, Replaced().c_str());
}

kclCustFldC3StaticText::kclCustFldC3StaticText(short window, short row, short column, short attribute1,
                                               short attribute2, short attribute3, const std::string& text)
    : kclCustomFieldItem(text), _window(window), _row(row), _column(column), _attribute1(attribute1),
      _attribute2(attribute2), _attribute3(attribute3) {
    Register();
    Update();
}
kclCustFldC3StaticText::~kclCustFldC3StaticText() = default;

void kclCustFldC3StaticText::Update() {
    if (_written > 0)
        xw_clr_part(_window, _row, _row, _column, static_cast<short>(_column + _written - 1), 0);
    const std::string text = Replaced();
    xw_wr_string(_window, _row, _column, _attribute1, _attribute2, _attribute3, text.c_str());
    _written = Cells(text);
}

kclCustFldC3ChoiceFieldItem::kclCustFldC3ChoiceFieldItem(short window, short field, short item, FieldType type,
                                                         const std::string& text)
    : kclCustomFieldItem(text), _window(window), _field(field), _item(item), _type(type) {
    Register();
    Update();
}
kclCustFldC3ChoiceFieldItem::~kclCustFldC3ChoiceFieldItem() = default;

void kclCustFldC3ChoiceFieldItem::Update() {
    if (_type == COMBO) xw_chg_combo_alpha(_window, _field, _item, Replaced().c_str());
    else if (_type == RADIO) xw_chg_radio_alpha(_window, _field, _item, Replaced().c_str());
}

kclCustFldC3WindowTitle::kclCustFldC3WindowTitle(short window, const std::string& title,
                                                 const std::string& secondTitle)
    : kclCustomFieldItem(title), _window(window), _secondTitle(secondTitle) {
    Register();
    Update();
}
kclCustFldC3WindowTitle::~kclCustFldC3WindowTitle() = default;

void kclCustFldC3WindowTitle::Update() {
    const std::string second = Replaced(_secondTitle);
    xw_chg_title(_window, Replaced().c_str(), second.empty() ? nullptr : second.c_str());
}
