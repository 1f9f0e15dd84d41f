// The formula editor of one application: its formulas listed on the left; the one chosen
// (or a new one) on the right with its name, the data file whose fields it names, its
// expression and a description. Save checks the expression (syntax, field names, types)
// and refuses it with the position of the error, the cursor put there; Delete asks first.
#pragma once

#include "kwapp/dialogs/kwDialog.h"
#include "kwapp/formulas/xf_formula_setup.h"

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class xfFormulaEditor;
}

class xfFormulaEditor : public kwDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        IDC_FORMULAS = 100,
        IDC_NEW = 101,
        IDC_SAVE = 102,
        IDC_DELETE = 103,
        IDC_NAME = 110,
        IDC_FILE = 111,
        IDC_EXPRESSION = 112,
        IDC_DESCRIPTION = 113,
        IDC_FIELDS = 114,
        IDC_CHECK = 115,
        IDC_RESULT = 120,
    };

    xfFormulaEditor(const std::string& application, QWidget* parent = nullptr);
    ~xfFormulaEditor() override;

    void SetItemCallback(xf_item_callback callback) { _callback = std::move(callback); }
    const std::string& Application() const { return _application; }
    // The application's data files (abbreviations) offered for formulas.
    const std::vector<std::string>& Files() const { return _files; }

    // The buttons' work, also for callers that drive the editor.
    void OnNew();
    // Checks and writes the formula shown; false (the user told why) when it was refused.
    bool OnSave();
    void OnDelete();
    // Checks the expression shown; the answer is shown under it. true when it holds.
    bool OnCheck();

protected:
    bool OnInitDialog() override;
    void OnCancel() override;

private:
    void Reload(const std::string& select);
    void ShowFormula(int row);
    void FillFields();
    // Asks about unsaved changes: true to go on (saved or dropped), false to stay.
    bool LeaveCurrent();
    bool Modified() const;

    std::unique_ptr<Ui::xfFormulaEditor> _ui;
    std::string _application;
    std::vector<std::string> _files;
    std::string _shownName; // "" for a new formula
    int _shownRow = -1;
    std::string _shownText; // name, file, expression, description as shown, to see changes
    xf_item_callback _callback;
    bool _switching = false;
};
