// Where the build keeps the demo company, handed to the data library.
#include "qvkit/paths/kclDemoCompany.h"

#include "kwcommon/kwCompany.h"

std::string kclDemoCompanyFolder() { return QV_DEMO_DIR; }

void kclUseDemoCompany() { kwCompany::SetDemoSourceFolder(kclDemoCompanyFolder()); }
