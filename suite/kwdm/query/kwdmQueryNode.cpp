// Query nodes: columns made from the file's dictionary.
#include "kwdm/query/kwdmQueryNode.h"

#include "kwdm/query/kwdmTable.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/values/kwString.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

kwdmQueryNode::kwdmQueryNode(kwdmTable* table, std::string fileAbbrev, std::string name, short style, short order)
    : _table(table), _fileAbbrev(std::move(fileAbbrev)), _name(std::move(name)), _style(style), _order(order) {}

kwdmQueryNode::~kwdmQueryNode() = default;

short kwdmQueryNode::RecordType() const { return _table ? _table->Number() : 1; }

bool kwdmQueryNode::AddAllColumns(short recordType, short style, short withLabels) {
    kwioDictFile dictionary;
    if (dictionary.Open(_fileAbbrev) != XIO_OK) return false;
    const short file = dictionary.FileNum();
    xio_rec_def rec{};
    if (xio_get_rec_def(file, recordType, &rec, 1) != XIO_OK) return false;
    for (short i = 0; i < rec.fieldCount; ++i) {
        xio_fld_def def{};
        if (xio_get_fld_def(file, static_cast<short>(rec.firstField + i), &def, 1, 1) != XIO_OK) continue;
        std::vector<std::string> items;
        char item[X_VALUE_TEXT_MAX + 1];
        for (short n = 1; n <= def.itemCount; ++n)
            if (xio_get_item_alpha(file, def.number, n, item, sizeof(item)) == XIO_OK) items.emplace_back(item);
        const std::string label = withLabels ? kwString::ReplaceTermCodes(def.description) : std::string(def.name);
        AddColumn(std::make_unique<kwdmQueryColumn>(def, label, style, std::move(items)));
    }
    return true;
}

kwdmQueryColumn* kwdmQueryNode::AddColumn(std::unique_ptr<kwdmQueryColumn> column) {
    if (!column) return nullptr;
    for (auto& existing : _columns) {
        if (x_equal_nocase(existing->Name(), column->Name())) {
            existing = std::move(column);
            return existing.get();
        }
    }
    _columns.push_back(std::move(column));
    return _columns.back().get();
}

kwdmQueryColumn* kwdmQueryNode::Column(const std::string& name) const {
    for (const auto& column : _columns)
        if (x_equal_nocase(column->Name(), name)) return column.get();
    return nullptr;
}
