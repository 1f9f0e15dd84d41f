// The dialog behind xcl_edit_custom_list: the default and the entries of one custom list.
// OK checks and saves the list and stays open when the list is refused.
#pragma once

#include "kwapp/dialogs/kwDialog.h"

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class xclCustomListDlg : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        IDC_DEFAULT = 401,
        IDC_ENTRIES = 402,
        IDC_NEW_ENTRY = 403,
        IDC_ADD = 404,
        IDC_REMOVE = 405,
        IDC_MOVE_UP = 406,
        IDC_MOVE_DOWN = 407,
    };

    // entries: the stored list, default first.
    xclCustomListDlg(short list, const std::vector<std::string>& entries,
                     QWidget* parent = nullptr);
    ~xclCustomListDlg() override;

    // The list as it now stands, default first.
    std::vector<std::string> Entries() const;
    // The status of the last save (XIO_CANCELLED before one).
    short SaveStatus() const { return _saveStatus; }

    // The buttons' work, also for callers that drive the dialog.
    bool AddEntry(const std::string& text);
    bool RemoveSelected();
    bool MoveSelected(int direction);

protected:
    bool DoDataExchange(bool save) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateButtons();

    short _list;
    short _saveStatus;
    QComboBox* _default = nullptr;
    QListWidget* _entries = nullptr;
    QLineEdit* _newEntry = nullptr;
    QPushButton* _add = nullptr;
    QPushButton* _remove = nullptr;
    QPushButton* _up = nullptr;
    QPushButton* _down = nullptr;
};
