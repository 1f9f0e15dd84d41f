// The dialog behind xs_select_access: the company's operators by id and name; OK (or a
// double click) takes the selected one.
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include <string>

class QTreeWidget;

class xsSelectAccessDlg : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        IDC_OPERATORS = 300,
    };

    xsSelectAccessDlg(unsigned short command, const std::string& startId,
                      QWidget* parent = nullptr);
    ~xsSelectAccessDlg() override;

    int OperatorCount() const;
    // Selects the operator with the id (case-insensitive); false when none has it.
    bool Select(const std::string& id);
    const std::string& ChosenId() const { return _chosenId; }
    const std::string& ChosenName() const { return _chosenName; }

protected:
    bool DoDataExchange(bool save) override;

private:
    QTreeWidget* _list = nullptr;
    std::string _chosenId;
    std::string _chosenName;
};
