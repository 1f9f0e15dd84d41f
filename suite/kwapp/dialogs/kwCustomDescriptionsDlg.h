// Company Settings > Custom Descriptions: the company's names for its custom fields (the
// descriptions that term codes such as "<262F>" stand for). OK writes the changed ones and
// then tells everyone who asked (AddChangedHandler), so labels on screen follow at once.
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class kwCustomDescriptionsDlg;
}

class kwCustomDescriptionsDlg : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int { IDC_DESCRIPTIONS = 100 };
    enum Column : int { COLUMN_CODE = 0, COLUMN_DESCRIPTION = 1 };
    // The most a description holds: a field description's room in the dictionaries.
    static constexpr int MAX_LENGTH = 40;

    explicit kwCustomDescriptionsDlg(QWidget* parent = nullptr);
    ~kwCustomDescriptionsDlg() override;

    // Called, in the order added, after OK wrote changed descriptions (a library adds its
    // own when it loads). The id answered removes the handler again.
    static int AddChangedHandler(std::function<void()> handler);
    static void RemoveChangedHandler(int id);
    // Runs the handlers (also for other editors of the descriptions).
    static void DescriptionsChanged();

    // The row of a code ("262", "8.1"); -1 when the company has no description for it.
    int RowOf(const std::string& code) const;

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    struct Row {
        short code;
        short sub;
        std::string text;
    };
    std::unique_ptr<Ui::kwCustomDescriptionsDlg> _ui;
    std::vector<Row> _rows;
};
