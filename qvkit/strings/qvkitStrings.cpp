// The texts of the component library's string table, registered while the library is
// loaded.
#include "qvkit/strings/qvkitStrings.h"

#include "kwcommon/strings/kwStringTableRegistrar.h"

namespace {
const kwStringEntry qvkitTable[] = {
    {KCLS_REPORT_DESIGNS, "Report Designs"},
};

const kwStringTableRegistrar registrar(QVKIT_MODULE, qvkitTable);
} // namespace
