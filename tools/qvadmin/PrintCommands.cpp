// qvadmin print: issues printed through a report design without a window, for scheduled
// reports. Without a query the issues are read in issue-number order (within --range when
// given); with --query or --operator they are the View Issues window's selection (the
// saved query's order and conditions, the responsible-person filter), and the printer
// walks them in that order, as it does for the window.
#include "AdminCommand.h"
#include "AdminSelection.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/tasks/qvCommands.h"
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

constexpr short kViewIssuesTask = QV_CMD_VIEW_ISSUES;
constexpr short kIssueRecord = 1;
constexpr short kIssueNumberKey = 0;

void Usage(std::ostream& err) {
    err << "usage: qvadmin print --design NAME [--query NAME] [--operator ID] [--range FROM-TO] [--pdf FILE]\n"
           "  --design   a report design of the company's reports folder (\"QV Table View\")\n"
           "  --query    the issues a saved query selects, in its order, as operator ID's View\n"
           "             Issues window shows them (ID: the current operator when not given)\n"
           "  --range    issue numbers; either end may be left open (\"10-\", \"-25\", \"7\")\n"
           "  --pdf      the PDF to write; without it the default printer prints\n";
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

// The issues of a range, and the selection they must belong to when there is one.
struct RangeWalk {
    short issueField = 0;
    double from = 0, to = 0;
    const qvIssueSelection* selection = nullptr;
};

// The record-selection callback of a query's print: the selection's rule and the range.
short SelectInRange(void* job, void*, short file, short status) {
    if (status != XIO_OK) return 1;
    auto* walk = static_cast<RangeWalk*>(job);
    x_value_def number;
    xio_get_field(file, 0, walk->issueField, &number);
    if (number.AsNumber() < walk->from || number.AsNumber() > walk->to) return 0;
    return walk->selection->Selects() ? 1 : 0;
}

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
    AdminSelectionOptions selecting;
    std::string error;
    if (!AdminTakeSelectionOptions(context.args, &selecting, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    std::string design, range, pdf;
    bool haveDesign = false;
    for (size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        std::string* value = arg == "--design" ? &design : arg == "--range" ? &range : arg == "--pdf" ? &pdf : nullptr;
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
    // The responsible-person filter's switches are preferences.
    Prefs::Load();
    qvIssueSelection selection(file.Number(), kViewIssuesTask);
    if (selecting.Selecting()) {
        if (const int code = AdminPrepareSelection(selection, selecting, context.err)) return code;
        walk.selection = &selection;
    }

    tr_print_result result;
    tr_print_def def{};
    std::memcpy(def.designName, designPath, sizeof def.designName);
    def.taskId = kViewIssuesTask;
    def.recordType = kIssueRecord;
    def.orderKey = walk.selection ? selection.Order() : kIssueNumberKey;
    def.flags = TR_QUIET;
    def.fileNumber = file.Number();
    std::memcpy(def.fileName, "QVI", 4);
    def.job = &walk;
    // A selection is walked by the printer in its order; a plain range is read from its start.
    if (walk.selection) def.select = &SelectInRange;
    else def.read = &ReadRange;
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
