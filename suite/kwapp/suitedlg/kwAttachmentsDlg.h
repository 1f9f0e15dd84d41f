// The suite's attachments dialog: the attachments of one record listed, files added,
// attachments removed and opened with the desktop's handler. Changes go into the record's
// attachment list and stay there until its owner writes the list (or frees it), so the
// dialog itself has only Close. The dialog and its file chooser are each reached through a
// replaceable function so tests and scripted runs can answer them.
#pragma once

#include "kwapp/dialogs/kwDialog.h"
#include "kwcommon/kwSeam.h"

#include <functional>
#include <optional>
#include <string>

class QPushButton;
class QTreeWidget;
class kwioAttachments;

class kwAttachmentsDlg : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        IDC_LIST = 500,
        IDC_ADD = 501,
        IDC_REMOVE = 502,
        IDC_OPEN = 503,
    };

    // attachments: fetched for change by the caller, and outliving the dialog.
    explicit kwAttachmentsDlg(kwioAttachments& attachments, QWidget* parent = nullptr);
    ~kwAttachmentsDlg() override;

    // Shows the dialog (or the replacement) until it is closed.
    int DoModal();
    // True when an attachment was added or removed while the dialog was open.
    bool Changed() const { return _changed; }
    kwioAttachments& Attachments() const { return _attachments; }

    // The buttons' work, also for callers that drive the dialog.
    // Add...: asks for a file and adds it; false when none was chosen or it was refused.
    bool AddChosenFile();
    bool AddFile(const std::string& path);
    bool RemoveAt(int row);
    bool RemoveSelected();
    bool OpenAt(int row) const;
    bool OpenSelected() const;
    int SelectedRow() const;
    void SelectRow(int row);

    // Stands in for the whole dialog: gets it (filled, not shown) and answers how it closed.
    static kwSeam<int(kwAttachmentsDlg& dialog)>& RunnerSeam();
    // Stands in for the file chooser of Add...: the chosen file's path, nullopt for cancel.
    static kwSeam<std::optional<std::string>(QWidget* parent)>& FileChooserSeam();

private:
    void Refill(int selectRow);
    void UpdateButtons();

    kwioAttachments& _attachments;
    bool _changed = false;
    QTreeWidget* _list = nullptr;
    QPushButton* _remove = nullptr;
    QPushButton* _open = nullptr;
};
