// The log-on of a company with operator security: when the current operator is not one of
// the company's operators, the user chooses one of them (operators carry no passwords) or
// opens another company, instead of the program shutting. Reached through a replaceable
// runner so tests and scripted runs can answer it.
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include "kwcommon/kwSeam.h"

#include <functional>
#include <memory>
#include <string>

namespace Ui {
class kwLogOnDlg;
}

class kwLogOnDlg : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        IDC_MESSAGE = 100,
        IDC_COMPANY = 101,
        IDC_OPERATORS = 102,
        IDC_OPEN_COMPANY = 103,
    };

    explicit kwLogOnDlg(QWidget* parent = nullptr);
    ~kwLogOnDlg() override;

    // The runner when one is set, else the dialog modally: IDOK once the chosen operator
    // (or the other company's) may work, IDCANCEL when the user gave up.
    int DoModal();

    int OperatorCount() const;
    // Selects the operator with the id (case-insensitive); false when none has it.
    bool Select(const std::string& id);
    // Open Another Company...: a folder chooser, then the company, or a message saying why
    // not. A company the current operator may work on ends the dialog (IDOK); another one
    // with security fills the list with its operators.
    void OnOpenCompany();

    // Stands in for the modal run: gets the dialog (filled, not shown) and answers how it
    // closed.
    static kwSeam<int(kwLogOnDlg& dialog)>& RunnerSeam();

    // Operator security is off, or the current operator is an operator of the company.
    static bool OperatorMayWork();
    // "The operator "X" is not an operator of <company>."
    static std::string NotAnOperatorText();
    // Asks until the current operator may work on the current company (possibly another
    // one the user opened); false when the user gave up.
    static bool LogOn(QWidget* parent);

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    // The texts and the operator list of the current company.
    void Refill();

    std::unique_ptr<Ui::kwLogOnDlg> _ui;
};
