// qvadmin file check ABBR and file repair ABBR: a data file's damage found and mended
// through the data library's check and repair.
#include "AdminCommand.h"

#include "kwcommon/xio.h"

#include <ostream>

namespace {

bool OneAbbreviation(AdminContext& context, const char* command, std::string* abbrev) {
    if (context.args.size() != 1 || context.args[0].empty() || context.args[0][0] == '-') {
        context.err << "usage: qvadmin [--data DIR] file " << command << " ABBR\n";
        return false;
    }
    *abbrev = context.args[0];
    return true;
}

// A status that names no damage is the user's (unknown file) or the data's.
int ExitOfFailure(AdminContext& context, const std::string& abbrev, short status, const xio_file_report& report) {
    context.err << "qvadmin: " << abbrev << ": " << xio_status_text(status) << "\n";
    for (const auto& problem : report.problems)
        if (!problem.empty()) context.err << "  " << problem << "\n";
    return status == XIO_ABSENT || status == XIO_DICTIONARY ? kAdminUserError : kAdminDataError;
}

} // namespace

int AdminFileCheck(AdminContext& context) {
    std::string abbrev;
    if (!OneAbbreviation(context, "check", &abbrev)) return kAdminUserError;
    xio_file_report report;
    const short status = xio_check_file(abbrev.c_str(), &report);
    if (status != XIO_OK && status != XIO_CORRUPT) return ExitOfFailure(context, abbrev, status, report);
    context.out << report.Text();
    if (status == XIO_CORRUPT) {
        context.err << "qvadmin: " << report.abbrev << " is damaged; qvadmin file repair " << report.abbrev
                    << " rebuilds it from every record that can be read\n";
        return kAdminDataError;
    }
    return kAdminOk;
}

int AdminFileRepair(AdminContext& context) {
    std::string abbrev;
    if (!OneAbbreviation(context, "repair", &abbrev)) return kAdminUserError;
    xio_file_report report;
    const short status = xio_repair_file(abbrev.c_str(), &report);
    if (!report.repaired && status != XIO_OK) return ExitOfFailure(context, abbrev, status, report);
    if (!report.repaired) {
        context.out << report.Text() << "The file is sound; nothing was changed.\n";
        return kAdminOk;
    }
    context.out << report.Text();
    if (!report.everythingReadableSaved) {
        context.err << "qvadmin: " << report.abbrev << ": some records that could be read were not saved; "
                    << "the damaged file keeps them\n";
        return kAdminDataError;
    }
    return kAdminOk;
}
