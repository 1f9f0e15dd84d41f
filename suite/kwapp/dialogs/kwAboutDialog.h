// Help > About: the program's name and version, the company and the operator, and the
// versions of Qt and SQLite the program runs on.
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include <memory>

namespace Ui {
class kwAboutDialog;
}

class kwAboutDialog : public kwDialog {
    Q_OBJECT
public:
    // Control ids.
    static constexpr int IDC_NAME = 100;
    static constexpr int IDC_VERSION = 101;
    static constexpr int IDC_COMPANY = 102;
    static constexpr int IDC_FOLDER = 103;
    static constexpr int IDC_OPERATOR = 104;
    static constexpr int IDC_DATA_VERSION = 105;
    static constexpr int IDC_QT_VERSION = 106;
    static constexpr int IDC_SQLITE_VERSION = 107;

    explicit kwAboutDialog(QWidget* parent = nullptr);
    ~kwAboutDialog() override;

private:
    std::unique_ptr<Ui::kwAboutDialog> _ui;
};
