// qvadmin print: issues printed through a report design without a window, for scheduled
// reports. The issues are walked in issue-number order (within --range when given) and
// handed to the design printer one at a time, as the View Issues window hands them.
#include "AdminCommand.h"

#include "qvcore/store/qvIssueFile.h"
#include "qvkit/paths/kclPaths.h"

#include "kwcommon/paths/kwPath.h"
#include "kwcommon/xio.h"
#include "kwprint/trCommandLineSession.h"
#include "kwprint/tr_design.h"

#include <cstring>
#include <filesystem>
#include <limits>
#include <ostream>

namespace {

constexpr short kViewIssuesTask = 7010;
constexpr short kIssueRecord = 1;
constexpr short kIssueNumberKey = 0;

void Usage(std::ostream& err) {
    err << "usage: qvadmin print --design NAME [--range FROM-TO] [--pdf FILE]\n"
           "  NAME   a report design of the company's reports folder (\"QV Table View\")\n"
           "  FROM-TO  issue numbers, either end may be left open (\"10-\", \"-25\", \"7\")\n"
           "  FILE   the PDF to write; without it the default printer prints\n";
}

bool ParseWhole(const std::string& text, double* number) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *number = std::stod(text);
    return true;
}

// "FROM-TO", "FROM-", "-TO" or a single number.
bool ParseRange(const std::string& text, double* from, double* to) {
    *from = 0;
    *to = std::numeric_limits<double>::max();
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        if (!ParseWhole(text, from)) return false;
        *to = *from;
        return true;
    }
    const std::string low = text.substr(0, dash), high = text.substr(dash + 1);
    if (low.empty() && high.empty()) return false;
    if (!low.empty() && !ParseWhole(low, from)) return false;
    if (!high.empty() && !ParseWhole(high, to)) return false;
    return *from <= *to;
}

// The issues of a range in issue-number order.
struct RangeWalk {
    short issueField = 0;
    double from = 0, to = 0;
};

short ReadRange(void* job, short file, short recordType, short first) {
    auto* walk = static_cast<RangeWalk*>(job);
    short status;
    if (first) {
        xio_clr_record(file, recordType);
        x_value_def start;
        start.SetNumber(walk->from);
        xio_put_field(file, 0, walk->issueField, &start);
        status = xio_rd_ge(file, recordType, kIssueNumberKey, 0);
    } else {
        status = xio_rd_next(file, recordType, kIssueNumberKey, 0);
    }
    if (status != XIO_OK) return status;
    x_value_def number;
    if (xio_get_field(file, 0, walk->issueField, &number) == XIO_OK && number.AsNumber() > walk->to)
        return XIO_NO_RECORD;
    return XIO_OK;
}

} // namespace

int AdminPrint(AdminContext& context) {
    std::string design, range, pdf;
    bool haveDesign = false;
    for (size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        std::string* value = arg == "--design" ? &design : arg == "--range" ? &range : arg == "--pdf" ? &pdf : nullptr;
        if (arg == "--query") {
            context.err << "qvadmin: print --query is not available yet: print a --range of issues\n";
            return kAdminUserError;
        }
        if (!value || i + 1 >= context.args.size()) {
            Usage(context.err);
            return kAdminUserError;
        }
        *value = context.args[++i];
        if (arg == "--design") haveDesign = true;
    }
    if (!haveDesign || design.empty()) {
        Usage(context.err);
        return kAdminUserError;
    }
    RangeWalk walk;
    if (!range.empty() && !ParseRange(range, &walk.from, &walk.to)) {
        context.err << "qvadmin: \"" << range << "\" is not a range of issue numbers (FROM-TO)\n";
        return kAdminUserError;
    }
    if (range.empty()) walk.to = std::numeric_limits<double>::max();
    if (!pdf.empty()) {
        std::error_code ec;
        const std::filesystem::path folder = std::filesystem::path(pdf).parent_path();
        if (std::filesystem::is_directory(pdf, ec) || (!folder.empty() && !std::filesystem::is_directory(folder, ec))) {
            context.err << "qvadmin: cannot write \"" << pdf << "\": "
                        << (std::filesystem::is_directory(pdf, ec) ? "it is a folder" : "its folder does not exist")
                        << "\n";
            return kAdminUserError;
        }
    }

    // The design is found as the window finds it: a name in the reports folder, or a path.
    char designPath[kclPathBufferSize] = {};
    if (design.size() >= sizeof designPath) {
        context.err << "qvadmin: the design name is longer than " << sizeof designPath - 1 << " characters\n";
        return kAdminUserError;
    }
    std::memcpy(designPath, design.data(), design.size());
    if (!kclValidateDesignNameAndAddPath(designPath, true)) {
        context.err << "qvadmin: the report design \"" << design << "\" was not found in " << kwPath::Reports("")
                    << "\n";
        return kAdminUserError;
    }

    trCommandLineSession session;
    qvIssueFile file(kViewIssuesTask);
    if (!file.Open()) {
        context.err << "qvadmin: unable to open the issue file\n";
        return kAdminDataError;
    }
    walk.issueField = xio_num(file.Number(), 0, 0, "ISSUE");

    tr_print_result result;
    tr_print_def def{};
    std::memcpy(def.designName, designPath, sizeof def.designName);
    def.taskId = kViewIssuesTask;
    def.recordType = kIssueRecord;
    def.orderKey = kIssueNumberKey;
    def.flags = TR_QUIET;
    def.fileNumber = file.Number();
    std::memcpy(def.fileName, "QVI", 4);
    def.job = &walk;
    def.read = &ReadRange;
    def.pdfPath = pdf.empty() ? nullptr : pdf.c_str();
    def.result = &result;

    const short handle = tr_init_design(0);
    if (!tr_print_design(handle, &def)) {
        tr_term_design(handle);
        context.err << "qvadmin: " << result.error << "\n";
        return kAdminDataError;
    }
    context.out << result.records << (result.records == 1 ? " issue" : " issues") << " printed on " << result.pages
                << (result.pages == 1 ? " page" : " pages") << " to " << result.output << "\n";
    return kAdminOk;
}
