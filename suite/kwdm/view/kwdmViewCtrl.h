// A view control: a view definition made live on a window. Create finds the window's controls by
// their "ctrlId", binds each to its definition (the grid to a model of the root node's rows,
// edits and lists to columns of the focused row, buttons to their actions), opens the
// node's file, runs the view's notify-create function and the view-open callback, and
// reads the rows.
//
// A view control made on a base control (merged) has no data of its own: it shows and
// edits the base's focused row with the base's callbacks and application data, so a form
// and the grid it was opened from edit one row.
//
// Close and CommitData write the focused row's changes first and answer false, changing
// nothing, when they cannot be written.
#pragma once

#include "kwdm/callbacks/kwdmAppEventData.h"
#include "kwdm/callbacks/kwdmCallbackManager.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class kwdmAudit;
class kwdmControl;
class kwdmControlDef;
class kwdmDataSource;
class kwdmFileManager;
class kwdmGridView;
class kwdmQueryColumn;
class kwdmTableModel;
class kwdmViewDef;

class kwdmViewCtrl : public QObject {
    Q_OBJECT
public:
    // A view control of its own: it keeps the application data and the audit object, and
    // opens files with the program number.
    kwdmViewCtrl(kwdmViewDef& definition, std::unique_ptr<kwdmAppEventData> appData, short programNumber,
                 std::unique_ptr<kwdmAudit> audit);
    // A view control merged on a base control. mergeMethod and flags are kept for callers.
    kwdmViewCtrl(kwdmViewDef& definition, kwdmViewCtrl& base, short mergeMethod, short flags,
                 std::unique_ptr<kwdmAudit> audit);
    ~kwdmViewCtrl() override;

    // Makes the view live on a window. files: the file manager to work with (null: one of
    // its own). false when the node's file would not open (the user was told).
    bool Create(QWidget* host, kwdmFileManager* files, short flags);
    bool Close(short flags);
    bool CommitData();
    // Hands the text being typed into a cell or a bound control to the focused row;
    // false (the editor keeps it) when it was refused.
    bool WriteActiveColumn();

    kwdmDataSource* RootDataBuffer() const;
    kwdmControl* FindControl(int id) const;
    kwdmCallbackManager& Callbacks() const;
    kwdmAppEventData* AppData() const;
    kwdmViewDef& Definition() const { return _definition; }
    QWidget* Host() const { return _host; }
    kwdmViewCtrl* Base() const { return _base; }
    bool IsCreated() const { return _created && !_closed; }
    // The first grid control's view, null when the view has none.
    kwdmGridView* GridView() const;
    // Brings the bound controls and the buttons' enabled state up to date.
    void UpdateControls();
    // Opens the focused record's attachments (the attachments button).
    void OpenAttachments();

private:
    struct Bound {
        kwdmControl* control = nullptr;
        const kwdmQueryColumn* column = nullptr;
    };
    void Bind(kwdmControlDef& definition, QWidget* widget);
    void BindGrid(kwdmControlDef& definition, QWidget* widget);
    void BindEdit(kwdmControl& control, const kwdmQueryColumn& column);
    void BindList(kwdmControl& control, const kwdmQueryColumn& column);
    void BindButton(kwdmControl& control);
    void ShowBound(const Bound& bound);
    bool CommitBound(const Bound& bound);
    void Connect();
    void Release();

    kwdmViewDef& _definition;
    kwdmViewCtrl* _base = nullptr;
    std::unique_ptr<kwdmAppEventData> _appData;
    std::unique_ptr<kwdmAudit> _audit;
    short _programNumber = 0;
    std::unique_ptr<kwdmCallbackManager> _callbacks;
    std::unique_ptr<kwdmFileManager> _ownFiles;
    std::unique_ptr<kwdmDataSource> _source;
    std::vector<std::unique_ptr<kwdmTableModel>> _models;
    std::vector<std::unique_ptr<kwdmControl>> _controls;
    std::vector<Bound> _bound;
    std::vector<kwdmViewCtrl*> _merged;
    QPointer<QWidget> _host;
    bool _created = false;
    bool _closed = false;
    bool _showing = false;
};
