// The print hub's range dialog (button 7 of the print dialog): the lowest and the highest
// value of one field, either left empty for an open end. OK puts them into the range set
// as the field's range (none when both are empty); Cancel changes nothing.
#pragma once

#include "kwapp/dialogs/kwDialog.h"
#include "kwcommon/x_value_def.h"

#include <memory>
#include <string>

namespace Ui {
class xhRangeDialog;
}

class xhRangeDialog : public kwDialog {
    Q_OBJECT
public:
    static constexpr int IDC_EXPLANATION = 100;
    static constexpr int IDC_FROM = 101;
    static constexpr int IDC_TO = 102;
    static constexpr int IDC_CLEAR = 103;

    xhRangeDialog(short rangeSet, const std::string& field, QWidget* parent = nullptr);
    ~xhRangeDialog() override;

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    // The text a field's value shows as ("" for an open end).
    std::string Shown(const x_value_def& value) const;

    std::unique_ptr<Ui::xhRangeDialog> _ui;
    short _rangeSet;
    std::string _field;
    short _fieldNumber = 0;
    short _fieldType = 0;
    std::string _description;
};
