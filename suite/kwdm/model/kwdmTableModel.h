// The grid's model: a lazy QAbstractTableModel over a data source. Rows are the data
// source's (the records known so far, then the new row); columns are the grid definition's.
// Nothing is copied here: every call asks the data source, which reads blocks of records
// around what is shown.
#pragma once

#include "kwdm/definitions/kwdmGridDef.h"

#include <QAbstractTableModel>

#include <vector>

class kwdmDataSource;
class kwdmQueryColumn;

class kwdmTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Roles beyond Qt's: the number of attachments of a row (the attachments column).
    static constexpr int AttachmentsRole = Qt::UserRole + 1;

    kwdmTableModel(kwdmDataSource& source, const kwdmGridDef& grid, QObject* parent = nullptr);
    ~kwdmTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A user's value for a cell of the focused row; false (with a message) when refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Rows are written when they are left, never on the view's request.
    bool submit() override { return true; }

    kwdmDataSource& Source() const { return _source; }
    const kwdmGridDef::Column& GridColumn(int column) const { return _columns.at(static_cast<size_t>(column)); }
    // The query column of a grid column (null for an attachments column).
    const kwdmQueryColumn* QueryColumn(int column) const;
    bool IsAttachments(int column) const;
    // The grid column that shows a query column, -1 when none.
    int ColumnOf(const kwdmQueryColumn& column) const;

private:
    kwdmDataSource& _source;
    std::vector<kwdmGridDef::Column> _columns;
    bool _readOnly;
};
