// The inquiry chooser (xi_list_inquiry): the applications that have inquiries, and the
// inquiries of the one chosen; OK (or a double click on an inquiry) takes the selected
// inquiry. The applications offered are the company's installed ones that are not
// hidden, by name; an application with a definition but not installed is not offered.
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include "kwcommon/kwSeam.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class kwInqDefinitions;
namespace Ui {
class kwInqChooser;
}

class kwInqChooser : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        IDC_APPLICATION = 100,
        IDC_INQUIRIES = 101,
        IDC_DRIVING = 102,
    };

    // Filled at once, starting at application (code; "" or unknown: the first one) and
    // the inquiry name (selected when it is there, else the first inquiry).
    kwInqChooser(const std::string& title, const std::string& application, const std::string& name,
                 QWidget* parent = nullptr);
    ~kwInqChooser() override;

    int DoModal();
    // Stands in for the modal run: gets the filled dialog and answers how it closed.
    static kwSeam<int(kwInqChooser& dialog)>& RunnerSeam();

    // Applications offered (code, name) and whether any inquiry can be chosen.
    const std::vector<std::pair<std::string, std::string>>& Applications() const { return _applications; }
    bool HasInquiries() const { return !_applications.empty(); }
    void SelectApplication(const std::string& code);
    bool SelectInquiry(const std::string& name);
    // After OK: the choice.
    const std::string& ChosenApplication() const { return _chosenApplication; }
    const std::string& ChosenName() const { return _chosenName; }

protected:
    void OnOK() override;

private:
    void FillInquiries(const std::string& select);
    void ShowDriving();

    std::unique_ptr<Ui::kwInqChooser> _ui;
    std::shared_ptr<const kwInqDefinitions> _definitions;
    std::vector<std::pair<std::string, std::string>> _applications;
    std::string _chosenApplication;
    std::string _chosenName;
};
