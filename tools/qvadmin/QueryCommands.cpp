// qvadmin query list/show/save/delete/check: the saved queries of the company, read and
// written through the query file's functions exactly as the Build Query dialog uses them.
#include "AdminCommand.h"
#include "AdminConditions.h"
#include "AdminInput.h"

#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/queries/qvQueryFile.h"
#include "qvcore/queries/qvQueryFileCheck.h"
#include "qvcore/queries/qvQueryInfo.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

#include <cstring>
#include <ostream>
#include <unistd.h>

namespace {

constexpr short kReadWrite = 0;
constexpr short kReadOnly = 1;
constexpr short kReported = 1;
constexpr short kCreate = 2;
constexpr short kSilent = 3;

// One bracket of work on the query file; the lock is released and the file closed when it
// ends, whatever happened.
class QueryFileBracket {
public:
    QueryFileBracket() {
        std::memset(&_info, 0, sizeof(_info));
        _info.handle = -1;
        _info.fileNumber = kAdminQueryProgram;
        _info.lockFlag = 1;
        _qfi_build_path_name(&_info);
    }
    ~QueryFileBracket() {
        _qfi_free_query_cond(&_info.query);
        _qfi_unlock(&_info);
    }
    QueryFileBracket(const QueryFileBracket&) = delete;
    QueryFileBracket& operator=(const QueryFileBracket&) = delete;

    query_file_info& Info() { return _info; }
    bool Exists() const { return ::access(_info.fileName, F_OK) == 0; }
    bool Lock(short mode, short errorOption) { return _qfi_lock(&_info, mode, errorOption) == 1; }

private:
    query_file_info _info;
};

// The issue file's dictionary: fields, keys and the conditions' texts.
class IssueDictionary {
public:
    bool Open(std::ostream& err) {
        const short status = _dict.Open("QVI");
        if (status) err << "qvadmin: cannot open the issue dictionary: " << xio_status_text(status) << "\n";
        return status == XIO_OK;
    }
    short File() const { return _dict.FileNum(); }

private:
    kwioDictFile _dict;
};

std::string OrderText(short file, short order) {
    for (const qvIssueOrder& offered : qvOfferedOrders(file))
        if (offered.number == order) return std::to_string(order) + " " + offered.name;
    return std::to_string(order) + " (no longer available: the issues are shown in the default order)";
}

std::string OfferedList(short file) {
    std::string list;
    for (const qvIssueOrder& offered : qvOfferedOrders(file))
        list += (list.empty() ? "" : ", ") + std::to_string(offered.number) + " " + offered.name;
    return list;
}

// A query name as the name box takes it: blanks around it dropped, at most 30 bytes of
// one line of UTF-8, and never the word for no query.
bool CheckName(const std::string& given, std::string* name, std::string* error) {
    *name = std::string(x_trim(given));
    if (name->empty()) {
        *error = "a blank query name is not allowed";
        return false;
    }
    if (!AdminIsUtf8(*name) || name->find_first_of("\r\n\t") != std::string::npos) {
        *error = "a query name is one line of UTF-8 text";
        return false;
    }
    if (name->size() > QFI_NAME_SIZE - 1) {
        *error = "a query name holds at most " + std::to_string(QFI_NAME_SIZE - 1) + " characters; " +
                 AdminShown(*name) + " has " + std::to_string(name->size());
        return false;
    }
    if (*name == qvQueryInfo::NoneName) {
        *error = std::string(qvQueryInfo::NoneName) + " stands for no query and cannot be a query's name";
        return false;
    }
    return true;
}

// The query file could not be opened or locked: the library has said why when it could.
int Unreadable(std::ostream& err, query_file_info& info) {
    if (info.damaged) return kAdminDataError;
    err << "qvadmin: the query file " << info.fileName << " could not be read\n";
    return kAdminDataError;
}

// Key number or name (any letter case) of an order the issue file offers.
bool ParseOrder(short file, const std::string& text, short* order, std::string* error) {
    for (const qvIssueOrder& offered : qvOfferedOrders(file)) {
        if (x_equal_nocase(text, offered.name) || text == std::to_string(offered.number)) {
            *order = offered.number;
            return true;
        }
    }
    *error = AdminShown(text) + " is no order of the issue file; the orders are " + OfferedList(file);
    return false;
}

} // namespace

int AdminQueryList(AdminContext& context) {
    if (!context.args.empty()) {
        context.err << "usage: qvadmin query list\n";
        return kAdminUserError;
    }
    IssueDictionary dict;
    if (!dict.Open(context.err)) return kAdminDataError;
    QueryFileBracket file;
    if (!file.Exists()) return kAdminOk; // no query was ever saved
    if (!file.Lock(kReadOnly, kSilent)) return Unreadable(context.err, file.Info());
    query_file_info& info = file.Info();
    query_dir_def* directory = nullptr;
    _qfi_read_dir(&info, &directory);
    for (int i = 0; i < info.header.count && !info.damaged; ++i) {
        query_def query{};
        _qfi_read_this_query(&info, &query, &directory[i], 0);
        if (info.damaged) break;
        context.out << directory[i].name << "\torder " << OrderText(dict.File(), query.order) << "\t"
                    << query.condCount << (query.condCount == 1 ? " condition" : " conditions") << "\n";
    }
    _qfi_free(directory);
    return info.damaged ? kAdminDataError : kAdminOk;
}

int AdminQueryShow(AdminContext& context) {
    if (context.args.size() != 1) {
        context.err << "usage: qvadmin query show NAME\n";
        return kAdminUserError;
    }
    const std::string& name = context.args[0];
    IssueDictionary dict;
    if (!dict.Open(context.err)) return kAdminDataError;
    QueryFileBracket file;
    if (file.Exists() && !file.Lock(kReadOnly, kSilent)) return Unreadable(context.err, file.Info());
    query_file_info& info = file.Info();
    query_def& query = info.query;
    if (!file.Exists() || info.header.count == 0 || !_qfi_read_query(&info, name.c_str(), &query, nullptr, 1)) {
        if (info.damaged) return kAdminDataError;
        context.err << "qvadmin: there is no query " << AdminShown(name) << "\n";
        return kAdminUserError;
    }
    auto& out = context.out;
    out << "Query:\t" << query.name << "\n";
    out << "Order:\t" << OrderText(dict.File(), query.order) << "\n";
    if (query.condCount == 0) {
        out << "Conditions:\tnone (every issue)\n";
        return kAdminOk;
    }
    // The conditions in words, as the Build Query dialog shows them.
    xc_cond_init_def def{};
    def.programNumber = kAdminQueryProgram;
    def.fileNumber = dict.File();
    def.recordType = 1;
    const short set = xc_init_conditions(&def, 1);
    std::vector<bool> taken;
    for (int k = 0; k < query.condCount; ++k)
        taken.push_back(set && xc_put_condition(set, &query.conditions[k]));
    out << "Conditions:\n";
    xc_reset_conditions(set);
    for (int k = 0; k < query.condCount; ++k) {
        char line[XC_ALPHA_CONDITION_MAX + 1] = {};
        if (taken[static_cast<size_t>(k)] && xc_get_alpha_condition(set, line, sizeof(line))) {
            out << "\t" << line << "\n";
        } else {
            const xc_cond_def& c = query.conditions[k];
            out << "\t(condition " << k + 1 << " names the field "
                << std::string(c.fieldName, strnlen(c.fieldName, sizeof(c.fieldName)))
                << ", which the issue file no longer has; it is left out)\n";
        }
    }
    if (set) xc_term_conditions(set, 1);
    return kAdminOk;
}

int AdminQuerySave(AdminContext& context) {
    static const char* usage = "usage: qvadmin query save NAME [--order K] [--cond 'FIELD OP VALUE [and|or]']...\n";
    std::string given, orderText, error;
    bool named = false, ordered = false;
    std::vector<std::string> conditionTexts;
    for (size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        if ((arg == "--order" || arg == "--cond") && i + 1 < context.args.size()) {
            if (arg == "--cond") {
                conditionTexts.push_back(context.args[++i]);
            } else if (ordered) {
                context.err << "qvadmin: --order is given twice\n";
                return kAdminUserError;
            } else {
                ordered = true;
                orderText = context.args[++i];
            }
        } else if (!named && (arg.empty() || arg[0] != '-')) {
            named = true;
            given = arg;
        } else {
            context.err << usage;
            return kAdminUserError;
        }
    }
    std::string name;
    if (!named) {
        context.err << usage;
        return kAdminUserError;
    }
    if (!CheckName(given, &name, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    IssueDictionary dict;
    if (!dict.Open(context.err)) return kAdminDataError;
    short order = 0;
    if (ordered && !ParseOrder(dict.File(), orderText, &order, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    if (conditionTexts.size() > static_cast<size_t>(QFI_MAX_CONDITIONS)) {
        context.err << "qvadmin: a query holds at most " << QFI_MAX_CONDITIONS << " conditions\n";
        return kAdminUserError;
    }
    std::vector<xc_cond_def> conditions(conditionTexts.size());
    for (size_t k = 0; k < conditionTexts.size(); ++k) {
        if (!AdminParseCondition(dict.File(), conditionTexts[k], k + 1 == conditionTexts.size(), &conditions[k],
                                 &error)) {
            context.err << "qvadmin: condition " << k + 1 << " (" << AdminShown(conditionTexts[k]) << "): " << error
                        << "\n";
            return kAdminUserError;
        }
    }

    // As the Build Query dialog saves: the file opened for writing (created when it is
    // missing), the query replaced by name or added.
    QueryFileBracket file;
    if (!file.Lock(kReadWrite, kCreate)) return Unreadable(context.err, file.Info());
    query_file_info& info = file.Info();
    std::memset(&info.query, 0, sizeof(info.query));
    std::memcpy(info.query.name, name.data(), name.size());
    info.query.order = order;
    std::memcpy(info.query.version, QFI_RECORD_VERSION, std::strlen(QFI_RECORD_VERSION) + 1);
    info.query.condCount = static_cast<int16_t>(conditions.size());
    info.query.conditions = conditions.empty() ? nullptr : conditions.data();
    const bool existed = _qfi_read_query(&info, name.c_str(), nullptr, nullptr, 0) != 0;
    int32_t length = 0;
    _qfi_get_query_size(&info.query, &length);
    const short saved = _qfi_rewrite_existing_query(&info, name.c_str(), length);
    // The conditions are ours, not the allocator's.
    info.query.conditions = nullptr;
    info.query.condCount = 0;
    if (!saved) {
        context.err << "qvadmin: the query " << AdminShown(name) << " could not be saved\n";
        return kAdminDataError;
    }
    context.out << (existed ? "replaced" : "added") << " query \"" << name << "\"\n";
    return kAdminOk;
}

int AdminQueryDelete(AdminContext& context) {
    if (context.args.size() != 1) {
        context.err << "usage: qvadmin query delete NAME\n";
        return kAdminUserError;
    }
    const std::string& name = context.args[0];
    QueryFileBracket file;
    if (!file.Exists()) {
        context.err << "qvadmin: there is no query " << AdminShown(name) << "\n";
        return kAdminUserError;
    }
    if (!file.Lock(kReadWrite, kReported)) return Unreadable(context.err, file.Info());
    query_file_info& info = file.Info();
    query_dir_def entry{};
    const short index = info.header.count > 0 ? _qfi_read_query(&info, name.c_str(), nullptr, &entry, 0) : 0;
    if (index == 0) {
        context.err << "qvadmin: there is no query " << AdminShown(name) << "\n";
        return kAdminUserError;
    }
    if (!_qfi_delete_query(&info, &entry, static_cast<short>(index - 1))) {
        context.err << "qvadmin: the query " << AdminShown(name) << " could not be deleted completely\n";
        return kAdminDataError;
    }
    context.out << "deleted query \"" << entry.name << "\"\n";
    return kAdminOk;
}

int AdminQueryCheck(AdminContext& context) {
    if (!context.args.empty()) {
        context.err << "usage: qvadmin query check\n";
        return kAdminUserError;
    }
    IssueDictionary dict;
    if (!dict.Open(context.err)) return kAdminDataError;
    QueryFileBracket file;
    const std::string path = file.Info().fileName;
    const qvQueryFileCheckResult result = qvCheckQueryFile(path, dict.File());
    if (!result.exists) {
        context.out << path << ": no query file (no query has been saved)\n";
        return kAdminOk;
    }
    if (result.locked) {
        context.err << "qvadmin: " << path << " is being changed by another workstation; try again\n";
        return kAdminDataError;
    }
    for (const std::string& problem : result.problems) context.out << path << ": " << problem << "\n";
    if (result.problems.empty()) {
        context.out << path << ": " << result.queries << (result.queries == 1 ? " query" : " queries")
                    << ", no inconsistencies\n";
        return kAdminOk;
    }
    context.out << path << ": " << result.problems.size()
                << (result.problems.size() == 1 ? " inconsistency\n" : " inconsistencies\n");
    return kAdminDataError;
}
