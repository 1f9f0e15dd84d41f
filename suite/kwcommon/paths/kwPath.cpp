// Folders of the current company.
#include "kwcommon/paths/kwPath.h"

#include "kwcommon/kwCompany.h"

std::string kwPath::Miscellaneous(const std::string& name) {
    return kwCompany::MiscellaneousFolder() + "/" + name;
}
