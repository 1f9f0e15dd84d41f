// Help > System Log: the company's log, newest lines last, to read (not to change).
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include <memory>
#include <string>

namespace Ui {
class kwLogDialog;
}

class kwLogDialog : public kwDialog {
    Q_OBJECT
public:
    static constexpr int IDC_LOG_TEXT = 200;
    // The most of the log's end shown, in bytes (a log grows for years).
    static constexpr long long SHOWN_BYTES = 512 * 1024;

    explicit kwLogDialog(QWidget* parent = nullptr);
    ~kwLogDialog() override;

    // The text shown for a log file: its end when it is long, a note when it is missing.
    static QString LogText(const std::string& path);

private:
    std::unique_ptr<Ui::kwLogDialog> _ui;
};
