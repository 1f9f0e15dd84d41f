// The document of the View Issues task: defines, once per object manager, the issue
// query "QV - View Issues Query" and its two views (the grid and the form), owns the live
// grid and form view controls, and answers whether its window may close.
#pragma once

#include "kwapp/tasks/kwDocument.h"

#include <memory>
#include <string>

class QWidget;
class TaskViewIssues;
class kwdmObjectManager;
class kwdmViewCtrl;
class viAppData;

class viDocument : public kwDocument {
public:
    static constexpr const char* QueryName = "QV - View Issues Query";
    static constexpr const char* GridViewName = "QV - View Issues Grid";
    static constexpr const char* FormViewName = "QV - View Issues Form";
    static constexpr int GridTemplate = 25000;
    static constexpr int FormTemplate = 25040;

    explicit viDocument(TaskViewIssues& task);
    ~viDocument() override;

    // A new View Issues window opens the document.
    bool OnNewDocument() override;
    // Takes the task's object manager, checks that the issue file opens and defines the
    // query and the views where the manager lacks them. false when the base open fails.
    bool OnOpenDocument(const std::string& path);
    // The window may close: not while a print job of this window runs; otherwise when the
    // grid's pending edit could be written.
    bool SaveModified() override;
    // The close check alone (the print rule).
    bool CanCloseFrame() const;

    // Makes the grid's view control on the grid view's window (once). false when the
    // issue file would not open.
    bool CreateGridControl(QWidget* view);
    // The form view's control on its dialog, merged on the grid's.
    bool CreateFormControl(QWidget* dialog);
    void DestroyFormControl();

    // Reads the grid's rows again (another task changed issues).
    void RefreshData();
    // Closes the grid control (writing its pending edit) and the window; false when the
    // edit could not be written.
    bool Shutdown();

    bool PrintAllowed() const { return _printAllowed; }
    void SetPrintAllowed(bool allowed) { _printAllowed = allowed; }
    TaskViewIssues& Task() const { return _task; }
    kwdmViewCtrl* GridControl() const { return _grid.get(); }
    kwdmViewCtrl* FormControl() const { return _form.get(); }
    viAppData* AppData() const;

private:
    // issueFile: the open issue file the order is checked against (0: not checked).
    void DefineQuery(short issueFile);
    void DefineGridView();
    void DefineFormView();

    TaskViewIssues& _task;
    kwdmObjectManager* _manager = nullptr;
    std::unique_ptr<kwdmViewCtrl> _grid;
    std::unique_ptr<kwdmViewCtrl> _form;
    bool _printAllowed = true;
};
