// Tools > File Doctor: checks a data file of the company for damage, or rebuilds a
// damaged one from every record that can still be read, with a progress dialog, and
// shows the report.
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include <memory>
#include <string>

namespace Ui {
class kwFileDoctorDlg;
}

struct xio_file_report;

class kwFileDoctorDlg : public kwDialog {
    Q_OBJECT
public:
    static constexpr int IDC_FILE_LIST = 1001;
    static constexpr int IDC_CHECK = 1002;
    static constexpr int IDC_REPAIR = 1003;
    static constexpr int IDC_REPORT = 1004;

    explicit kwFileDoctorDlg(QWidget* parent = nullptr);
    ~kwFileDoctorDlg() override;

    // The abbreviation of the chosen file ("" when none).
    std::string ChosenFile() const;
    // Chooses a file by abbreviation; false when the company has no such file.
    bool ChooseFile(const std::string& abbrev);

    void OnCheck();
    void OnRepair();

private:
    void FillFiles();
    void UpdateButtons();
    // Runs check or repair under a progress dialog; answers its status.
    short Run(bool repair, xio_file_report* report);
    // The verdict first, then the report's lines.
    void ShowReport(const QString& verdict, const xio_file_report& report, bool withDetails);

    std::unique_ptr<Ui::kwFileDoctorDlg> _ui;
};
