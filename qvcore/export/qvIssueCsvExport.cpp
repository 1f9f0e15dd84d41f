// The issue grid's columns written as CSV.
#include "qvcore/export/qvIssueCsvExport.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/store/qvIssue.h"

#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwString.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

namespace {
constexpr const char* kAttachmentsColumn = "IATTACH";
constexpr const char* kIsoDate = "YYYY-MM-DD";
} // namespace

qvIssueCsvExport::qvIssueCsvExport(short issueFile, std::ostream& out, bool isoDates)
    : _writer(out), _isoDates(isoDates) {
    std::vector<std::string> columns;
    Prefs::GetGridColumns(columns);
    if (columns.empty()) Prefs::GetGridColumnDefaults(columns);
    for (const std::string& column : columns) {
        if (x_equal_nocase(column, kAttachmentsColumn)) continue;
        int value = 0;
        for (int n = 1; n < qvIssue::kValueCount && !value; ++n)
            if (x_equal_nocase(column, qvIssue::FieldName(n))) value = n;
        const short field = value ? xio_num(issueFile, 0, 0, qvIssue::FieldName(value)) : 0;
        xio_fld_def def{};
        if (!field || xio_get_fld_def(issueFile, field, &def, 1, 1) != XIO_OK) continue;
        _names.push_back(def.name);
        _labels.push_back(kwString::ReplaceTermCodes(def.description[0] ? def.description : def.name));
        _values.push_back(value);
    }
}

void qvIssueCsvExport::WriteHeader() {
    _writer.WriteRow(_labels);
}

void qvIssueCsvExport::WriteIssue(const qvIssue& issue) {
    std::vector<std::string> fields;
    fields.reserve(_values.size());
    for (int n : _values) {
        const kwData& value = issue.Value(n);
        const auto* date = _isoDates ? dynamic_cast<const kwDate*>(&value) : nullptr;
        fields.push_back(date ? date->Format(kIsoDate) : value.Format());
    }
    _writer.WriteRow(fields);
}
