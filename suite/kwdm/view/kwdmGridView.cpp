// The grid control on Qt's table view.
#include "kwdm/view/kwdmGridView.h"

#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/model/kwdmTableModel.h"
#include "kwdm/query/kwdmQueryColumn.h"
#include "kwdm/view/kwdmItemDelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

kwdmGridView::kwdmGridView(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    setTabKeyNavigation(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Rows of one height: the view never measures rows it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("*")) + 12);
    horizontalHeader()->setHighlightSections(false);
}

kwdmGridView::~kwdmGridView() = default;

void kwdmGridView::Attach(kwdmTableModel* model, short gridStyle) {
    _model = model;
    setModel(model);
    QItemSelectionModel* previous = selectionModel();
    setSelectionModel(new kwdmGridSelection(*this, model)); // parented to the view
    delete previous;
    _delegate = new kwdmItemDelegate(*model, this);
    setItemDelegate(_delegate);
    if (gridStyle & kwdmGridDef::ROW_SELECT) setSelectionBehavior(QAbstractItemView::SelectRows);
    if (gridStyle & kwdmGridDef::READ_ONLY) setEditTriggers(QAbstractItemView::NoEditTriggers);

    const int character = fontMetrics().averageCharWidth();
    for (int column = 0; column < model->columnCount(); ++column) {
        const kwdmGridDef::Column& grid = model->GridColumn(column);
        int characters = grid.width > 0 ? grid.width : (grid.column ? grid.column->Width() : 2);
        if (grid.attachments) {
            setColumnWidth(column, std::max<int>(characters, 14) + 10);
            horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
            continue;
        }
        const int header = fontMetrics().horizontalAdvance(model->headerData(column, Qt::Horizontal).toString()) + 16;
        // Dates, times and numbers are digits, wider than the average character.
        const bool digits = grid.column && !grid.column->IsText();
        const int content = digits ? fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('0')))
                                   : characters * character;
        setColumnWidth(column, std::clamp(content + 14, header, 40 * character));
        if (!grid.sizable) horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
    }

    connect(&model->Source(), &kwdmDataSource::focusChanged, this, &kwdmGridView::FollowFocus);
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { KeepPlace(first, last - first + 1); });
    connect(_delegate, &kwdmItemDelegate::refused, this, [this](const QModelIndex& index) {
        const QPersistentModelIndex refused(index);
        QTimer::singleShot(0, this, [this, refused] {
            if (!refused.isValid() || state() == QAbstractItemView::EditingState) return;
            const QModelIndex at = this->model()->index(refused.row(), refused.column());
            selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
            edit(at);
        });
    });
    FollowFocus(model->Source().Focus());
}

int kwdmGridView::FocusRow() const { return _model ? static_cast<int>(_model->Source().Focus()) : -1; }

bool kwdmGridView::CommitEditor() {
    QWidget* editor = _delegate ? _delegate->ActiveEditor() : nullptr;
    if (!editor || state() != QAbstractItemView::EditingState) return true;
    commitData(editor);
    if (!_delegate->LastCommitTaken()) {
        _delegate->ForgetRefused();
        editor->setFocus();
        return false;
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void kwdmGridView::FollowFocus(qint64 row) {
    if (!_model || row < 0 || row >= _model->rowCount()) return;
    const QModelIndex current = currentIndex();
    int column = current.isValid() ? current.column() : 0;
    if (column < 0 || column >= _model->columnCount()) column = 0;
    if (current.isValid() && current.row() == row) return;
    _following = true;
    const QModelIndex target = _model->index(static_cast<int>(row), column);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (selectionBehavior() == QAbstractItemView::SelectRows) flags |= QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(target, flags);
    _following = false;
    scrollTo(target);
}

void kwdmGridView::KeepPlace(int first, int count) {
    const int top = rowAt(0);
    if (top < 0 || first > top || first == 0) return;
    updateGeometries();
    verticalScrollBar()->setValue(verticalScrollBar()->value() + count);
}

void kwdmGridView::keyPressEvent(QKeyEvent* event) {
    if (_model && state() != QAbstractItemView::EditingState) {
        kwdmDataSource& source = _model->Source();
        const bool control = event->modifiers() & Qt::ControlModifier;
        if (event->key() == Qt::Key_Escape && source.FocusedRow().Changed()) {
            source.CancelChanges();
            return;
        }
        if (control && event->key() == Qt::Key_End) {
            source.Last();
            return;
        }
        if (control && event->key() == Qt::Key_Home) {
            source.First();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

kwdmGridSelection::kwdmGridSelection(kwdmGridView& view, QAbstractItemModel* model)
    : QItemSelectionModel(model, &view), _view(view) {}

void kwdmGridSelection::setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) {
    if (!_view._following && _view._model && index.isValid() && index.row() != _view.FocusRow()) {
        if (!_view.CommitEditor()) return;
        kwdmDataSource& source = _view._model->Source();
        if (!source.MoveFocus(index.row())) return;
        const QModelIndex moved = model()->index(static_cast<int>(source.Focus()), index.column());
        QItemSelectionModel::setCurrentIndex(moved, command);
        return;
    }
    QItemSelectionModel::setCurrentIndex(index, command);
}
