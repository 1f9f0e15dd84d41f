// The Notify page of the New Issue sheet: the issue's responsible person (typed, or chosen
// among the operators when operator security is on), whether that person is mailed when
// the sheet is confirmed, and others to notify.
#pragma once

#include "qvcore/tasks/qvCommands.h"

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <string>

class qvIssue;
namespace Ui {
class _niNotify;
}

class _niNotify : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8771;
    // The command whose operators the pick button offers: New Issue.
    static constexpr unsigned short PICK_COMMAND = QV_CMD_NEW_ISSUE;
    static constexpr size_t OPERATOR_ID_MAX = 20;
    enum ControlId : int {
        IDC_PICK = 147,
        IDC_RESPONSIBLE = 158,
        IDC_NOTIFY = 160,
        IDC_OTHERS = 161,
    };

    // The notify value starts from the preferences (new or changed issues), so it decides
    // about the mail even when the page is never shown.
    _niNotify(qvIssue* issue, bool newMode);
    ~_niNotify() override;

    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    bool OnApply() override;
    // The pick button (control 147).
    void OnPick();

    bool Notify() const { return _notify == 1; }
    const std::string& Responsible() const { return _responsible; }
    const std::string& Others() const { return _others; }
    const std::string& OperatorId() const { return _operatorId; }
    bool SecurityOn() const { return _securityOn; }

private:
    std::unique_ptr<Ui::_niNotify> _ui;
    qvIssue* _issue;
    std::string _responsible;
    int _notify;
    std::string _others;
    std::string _operatorId;
    bool _securityOn = false;
};
