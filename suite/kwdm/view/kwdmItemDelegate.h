// Editors of the grid's cells: a drop-down of the custom list for list columns (free text
// allowed unless the field takes list entries only), a line edit limited to the field's
// width otherwise. A value the model refuses (not valid, said in a message) is not lost:
// the editor opens again on the cell with the text the user typed.
#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class kwdmTableModel;

class kwdmItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit kwdmItemDelegate(kwdmTableModel& model, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // The open editor, null when none.
    QWidget* ActiveEditor() const { return _editor; }
    // Whether the last value handed to the model was taken.
    bool LastCommitTaken() const { return _taken; }
    // The refused text is still in the open editor: nothing to bring back.
    void ForgetRefused() const { _refusedIndex = QPersistentModelIndex(); }

signals:
    // The model refused the text typed into a cell: the view edits it again.
    void refused(const QModelIndex& index) const;

private:
    kwdmTableModel& _model;
    mutable QPointer<QWidget> _editor;
    mutable bool _taken = true;
    mutable QPersistentModelIndex _refusedIndex;
    mutable QString _refusedText;
};
