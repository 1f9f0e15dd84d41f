// The grid's model on the data source.
#include "kwdm/model/kwdmTableModel.h"

#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/query/kwdmQueryColumn.h"
#include "kwdm/query/kwdmQueryNode.h"

#include "kwcommon/xio_dict.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QStyle>

#include <limits>

namespace {
int Clamp(int64_t rows) {
    return static_cast<int>(std::min<int64_t>(rows, std::numeric_limits<int>::max()));
}
} // namespace

kwdmTableModel::kwdmTableModel(kwdmDataSource& source, const kwdmGridDef& grid, QObject* parent)
    : QAbstractTableModel(parent), _source(source), _readOnly((grid.Style() & kwdmGridDef::READ_ONLY) != 0) {
    for (const kwdmGridDef::Column& column : grid.Columns())
        if (column.column || column.attachments) _columns.push_back(column);
    // An attachments button column shows the node's attachments column.
    for (kwdmGridDef::Column& column : _columns)
        if (column.attachments && !column.column)
            column.column = source.Node().Column(column.attachments->Column());
    connect(&source, &kwdmDataSource::aboutToReset, this, [this] { beginResetModel(); });
    connect(&source, &kwdmDataSource::resetDone, this, [this] { endResetModel(); });
    connect(&source, &kwdmDataSource::rowsInserted, this, [this](qint64 at, qint64 count) {
        if (count <= 0) return;
        beginInsertRows({}, Clamp(at), Clamp(at + count - 1));
        endInsertRows();
    });
    connect(&source, &kwdmDataSource::rowsRemoved, this, [this](qint64 at, qint64 count) {
        if (count <= 0) return;
        beginRemoveRows({}, Clamp(at), Clamp(at + count - 1));
        endRemoveRows();
    });
    connect(&source, &kwdmDataSource::rowChanged, this, [this](qint64 row) {
        if (row < 0 || row >= rowCount() || _columns.empty()) return;
        emit dataChanged(index(Clamp(row), 0), index(Clamp(row), columnCount() - 1));
    });
}

kwdmTableModel::~kwdmTableModel() = default;

int kwdmTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Clamp(_source.RowCount());
}

int kwdmTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(_columns.size());
}

const kwdmQueryColumn* kwdmTableModel::QueryColumn(int column) const {
    if (column < 0 || column >= columnCount()) return nullptr;
    const kwdmGridDef::Column& grid = _columns[static_cast<size_t>(column)];
    return grid.attachments ? nullptr : grid.column;
}

bool kwdmTableModel::IsAttachments(int column) const {
    return column >= 0 && column < columnCount() && _columns[static_cast<size_t>(column)].attachments != nullptr;
}

int kwdmTableModel::ColumnOf(const kwdmQueryColumn& column) const {
    for (size_t i = 0; i < _columns.size(); ++i)
        if (_columns[i].column == &column && !_columns[i].attachments) return static_cast<int>(i);
    return -1;
}

QVariant kwdmTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const kwdmGridDef::Column& grid = _columns[static_cast<size_t>(index.column())];
    const int64_t row = index.row();
    if (grid.attachments) {
        if (role != Qt::DecorationRole && role != Qt::ToolTipRole && role != AttachmentsRole) return {};
        const int count = _source.Attachments(row);
        if (role == AttachmentsRole) return count;
        if (count == 0) return {};
        if (role == Qt::ToolTipRole)
            return count == 1 ? QStringLiteral("1 attachment") : QStringLiteral("%1 attachments").arg(count);
        return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    }
    const kwdmQueryColumn& column = *grid.column;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        QString text = QString::fromStdString(_source.Text(row, column));
        // A long description shows its first line in a row.
        if (role == Qt::DisplayRole && column.Def().longText) text = text.section(QLatin1Char('\n'), 0, 0);
        return text;
    }
    case Qt::ToolTipRole:
        if (column.Def().longText) return QString::fromStdString(_source.Text(row, column));
        return {};
    case Qt::TextAlignmentRole: {
        const int alignment = grid.alignment;
        if (alignment == 2) return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
        if (alignment == 3 || (alignment == 0 && column.Def().type == XIO_NUMBER))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
        if (grid.background != 0xFFFFFF) return QColor::fromRgb(grid.background);
        return {};
    case Qt::FontRole:
        if (row == _source.Focus() && _source.FocusedRow().Changed()) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    default: return {};
    }
}

QVariant kwdmTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole) return _source.IsNewRow(section) ? QStringLiteral("*") : QString();
        return {};
    }
    if (section < 0 || section >= columnCount()) return {};
    const kwdmGridDef::Column& grid = _columns[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole) {
        if (grid.attachments) return QString();
        return QString::fromStdString(grid.label.empty() ? grid.column->Label() : grid.label);
    }
    if (role == Qt::ToolTipRole && grid.attachments) return QStringLiteral("Attachments");
    return {};
}

Qt::ItemFlags kwdmTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const kwdmQueryColumn* column = QueryColumn(index.column());
    if (_readOnly || !column || column->ReadOnly() || column->Computed()) return flags;
    const kwdmQueryNode& node = _source.Node();
    const bool allowed = _source.IsNewRow(index.row()) ? node.Has(kwdmQueryNode::INSERT) : node.Has(kwdmQueryNode::UPDATE);
    if (allowed) flags |= Qt::ItemIsEditable;
    return flags;
}

bool kwdmTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() != _source.Focus()) return false;
    const kwdmQueryColumn* column = QueryColumn(index.column());
    if (!column || !(flags(index) & Qt::ItemIsEditable)) return false;
    return _source.UserEdit(*column, value.toString().toStdString());
}
