// The Applications task's selection panel: the installed applications, each marked when
// it is offered in the program's inquiry and report commands, and whether those commands
// show the application's name. OK saves; Cancel drops the changes; closing the window with
// changes asks whether to save them ("Do you want to save changes to Applications?").
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Ui {
class DlgApplications;
}

class DlgApplications : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int { IDC_APPLICATIONS = 100, IDC_SHOW_NAMES = 101 };
    static constexpr const char* SAVE_QUESTION = "Do you want to save changes to Applications?";

    // applications: (code, name) in the order shown; notAvailable: codes left unmarked.
    DlgApplications(const std::vector<std::pair<std::string, std::string>>& applications,
                    const std::vector<std::string>& notAvailable, bool showNames, QWidget* parent = nullptr);
    ~DlgApplications() override;

    // After OK: the codes left unmarked (in the order shown) and the show-names choice.
    const std::vector<std::string>& NotAvailable() const { return _notAvailable; }
    bool ShowNames() const { return _showNames; }
    bool Changed() const;

    // The close box (and Escape): with changes, the save question; Cancel keeps the panel.
    void RequestClose();
    void reject() override;

protected:
    bool DoDataExchange(bool save) override;

private:
    std::unique_ptr<Ui::DlgApplications> _ui;
    std::vector<std::pair<std::string, std::string>> _applications;
    std::vector<std::string> _notAvailable;
    bool _showNames;
    std::vector<bool> _initialMarks;
    bool _initialShowNames;
    bool _cancelPressed = false;
};
