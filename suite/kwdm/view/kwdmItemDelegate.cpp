// Cell editors of the grid.
#include "kwdm/view/kwdmItemDelegate.h"

#include "kwdm/model/kwdmTableModel.h"
#include "kwdm/view/kwdmComboText.h"
#include "kwdm/query/kwdmQueryColumn.h"

#include "kwcommon/xk.h"

#include <QComboBox>
#include <QLineEdit>

kwdmItemDelegate::kwdmItemDelegate(kwdmTableModel& model, QObject* parent) : QStyledItemDelegate(parent), _model(model) {}

QWidget* kwdmItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const kwdmQueryColumn* column = _model.QueryColumn(index.column());
    QWidget* editor = nullptr;
    if (column && column->CustomList()) {
        auto* box = new QComboBox(parent); // the view owns its editors
        box->setEditable(!column->ListOnly());
        std::vector<std::string> entries;
        xk_get_custom_list(column->CustomList(), &entries);
        for (const std::string& entry : entries) box->addItem(QString::fromStdString(entry));
        editor = box;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && column && column->IsText() && column->Def().width > 0 &&
                                                           !column->Def().formatFlag)
            line->setMaxLength(column->Def().width);
    }
    _editor = editor;
    return editor;
}

void kwdmItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    QString text = index.data(Qt::EditRole).toString();
    if (_refusedIndex.isValid() && _refusedIndex == index) {
        text = _refusedText;
        _refusedIndex = QPersistentModelIndex();
    }
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        kwdmSetComboText(box, text);
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void kwdmItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    QString text;
    if (auto* box = qobject_cast<QComboBox*>(editor)) text = box->currentText();
    else if (auto* line = qobject_cast<QLineEdit*>(editor)) text = line->text();
    else text = editor->property("text").toString();
    if (text == index.data(Qt::EditRole).toString()) {
        _taken = true;
        return;
    }
    _taken = model->setData(index, text, Qt::EditRole);
    if (!_taken) {
        _refusedIndex = index;
        _refusedText = text;
        emit refused(index);
    }
}
