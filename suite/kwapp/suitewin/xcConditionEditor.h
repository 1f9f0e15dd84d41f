// The condition editor's dialog: the conditions of one set, each line as the set reads it
// with its "and"/"or" to the next, and a condition being edited below (field chosen by its
// description, operator, one or two values typed as the field shows them, and/or).
// Add, Change, Remove and Move edit the set at once; the editor keeps a copy of the set as
// it found it and puts it back on Cancel (or when it is closed without OK). A condition
// whose field the dictionary no longer has is listed marked, and can only be removed.
#pragma once

#include "kwcommon/conditions/xc_cond_def.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xio_dict.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
namespace Ui {
class xcConditionEditor;
}

class xcConditionEditor : public QWidget {
    Q_OBJECT
public:
    enum ControlId : int {
        IDOK = 1,
        IDCANCEL = 2,
        IDC_CONDITIONS = 301,
        IDC_FIELD = 302,
        IDC_COMPARISON = 303,
        IDC_VALUE1 = 304,
        IDC_VALUE2 = 305,
        IDC_AND = 306,
        IDC_OR = 307,
        IDC_ADD = 308,
        IDC_CHANGE = 309,
        IDC_REMOVE = 310,
        IDC_MOVE_UP = 311,
        IDC_MOVE_DOWN = 312,
        IDC_NEW = 313,
        IDC_VALUE_AND = 314,
    };

    // handle: a condition set (xc_init_conditions). The editor edits it in place.
    explicit xcConditionEditor(short handle, QWidget* parent = nullptr);
    ~xcConditionEditor() override;

    // The buttons' work, also for callers that drive the editor. Each answers whether it
    // did something; a value that does not parse is told to the user and changes nothing.
    bool AddCondition();
    bool ChangeCondition();
    bool RemoveCondition();
    bool MoveCondition(int direction);
    void NewCondition();
    void Accept();
    void Cancel();

    // The description the editor shows for a field (custom descriptions filled in).
    static std::string FieldDescription(const xio_fld_def& def);

signals:
    // Once: true for OK, false for Cancel (the set is then as it was).
    void finished(bool accepted);

private:
    struct FieldChoice {
        xio_fld_def def;
        std::string description;
    };

    void LoadFields();
    void Refresh(int selectRow);
    // The field a condition names today (0 when the dictionary no longer has it).
    short FieldOf(const xc_cond_def& condition) const;
    std::string LineOf(const xc_cond_def& condition, bool last) const;
    const FieldChoice* ChosenField() const;
    short ChosenComparison() const;
    void FieldChosen();
    void ComparisonChosen();
    void PrepareValue(QComboBox* box, const FieldChoice* field, short comparison);
    void LoadCondition(int row);
    void UpdateButtons();
    void MarkEdited();
    // The condition being edited, made from the boxes; nullopt after telling the user why.
    std::optional<xc_cond_def> Edited();
    std::optional<x_value_def> ParseValue(const FieldChoice& field, short comparison, QComboBox* box);
    void Problem(QComboBox* box, const std::string& text);
    void Finish(bool accepted);

    std::unique_ptr<Ui::xcConditionEditor> _ui;
    short _handle;
    short _copy = 0;
    short _file = 0;
    short _recordType = 1;
    std::vector<FieldChoice> _fields;
    bool _loading = false;
    bool _edited = false;
    bool _finished = false;
};
