// The grid control: a QTableView on the data source's model. Moving to another row first
// writes the focused row (through the data source); when that is refused the focus stays.
// Esc (not editing) undoes the focused row's changes; Ctrl+Home and Ctrl+End go to the
// first and last record (End reading backwards from the last record while counting still
// runs). Rows that become known above the first visible row keep the visible rows where
// they are.
#pragma once

#include <QItemSelectionModel>
#include <QTableView>

class kwdmDataSource;
class kwdmItemDelegate;
class kwdmTableModel;

class kwdmGridView : public QTableView {
    Q_OBJECT
public:
    explicit kwdmGridView(QWidget* parent = nullptr);
    ~kwdmGridView() override;

    // Shows the model (the view does not own it); grid styles of kwdmGridDef.
    void Attach(kwdmTableModel* model, short gridStyle);
    kwdmTableModel* Model() const { return _model; }
    kwdmItemDelegate* Delegate() const { return _delegate; }
    // Hands the open cell editor's text to the model; false (the editor stays open) when
    // it was refused.
    bool CommitEditor();
    // The row the view shows focused.
    int FocusRow() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class kwdmGridSelection;
    // The data source moved the focus: the view follows without asking again.
    void FollowFocus(qint64 row);
    void KeepPlace(int first, int count);
    bool _following = false;
    kwdmTableModel* _model = nullptr;
    kwdmItemDelegate* _delegate = nullptr;
};

// The grid's selection model: a change of the current row goes through the data source.
class kwdmGridSelection : public QItemSelectionModel {
    Q_OBJECT
public:
    kwdmGridSelection(kwdmGridView& view, QAbstractItemModel* model);
    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;

private:
    kwdmGridView& _view;
};
