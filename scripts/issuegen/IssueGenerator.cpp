// Bulk issue generation straight into the issue file's SQLite database.
#include "IssueGenerator.h"

#include "kwcommon/xio.h"
#include "kwcommon/xk.h"
#include "kwcommon/xs.h"

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <random>

namespace {

constexpr const char* kAbbrev = "QVI";
constexpr short kIssue = 1;

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

std::string Quote(const std::string& name) { return "\"" + name + "\""; }

const char* const kSubjects[] = {"Invoice", "Payment", "Vendor statement", "Purchase order", "Bank deposit",
                                 "Payroll run", "Job cost entry", "Credit memo", "Journal entry", "Lease charge"};
const char* const kProblems[] = {"was posted twice", "is missing its approval", "does not match the receipt",
                                 "was charged to the wrong account", "shows an old price", "has no supporting document",
                                 "was entered for the wrong period", "needs a second signature"};
const char* const kActions[] = {"please check and correct", "call the vendor back", "hold until the audit is done",
                                "reverse and post again", "send a copy to accounting", "review with the controller"};

long DateNumber(int year, int dayOfYear) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (month < 11 && dayOfYear >= days[month]) dayOfYear -= days[month++];
    return year * 10000L + (month + 1) * 100L + (dayOfYear + 1);
}

} // namespace

std::string IssueFilePath(std::string* error) {
    xio_open_def def{};
    std::snprintf(def.abbrev, sizeof(def.abbrev), "%s", kAbbrev);
    def.programNumber = 7010;
    def.create = 1;
    short file = 0;
    short status = xio_open_file(&def, &file);
    if (status != XIO_OK) {
        *error = std::string("cannot open the issue file: ") + xio_status_text(status);
        return {};
    }
    xio_def info{};
    xio_get_def(file, &info, 0);
    xio_cls_file(file);
    return info.path;
}

bool GenerateIssues(const IssueGeneratorOptions& options, std::string* error) {
    const std::string path = IssueFilePath(error);
    if (path.empty()) return false;

    // The field names and types of the issue record, from the dictionary.
    short dictionary = 0;
    if (xio_open_dictionary(kAbbrev, &dictionary) != XIO_OK) {
        *error = "cannot read the issue dictionary";
        return false;
    }
    xio_rec_def rec{};
    xio_get_rec_def(dictionary, kIssue, &rec, 1);
    std::vector<xio_fld_def> fields(static_cast<size_t>(rec.fieldCount));
    for (short i = 0; i < rec.fieldCount; ++i) xio_get_fld_def(dictionary, static_cast<short>(rec.firstField + i), &fields[i], 1, 1);
    xio_cls_file(dictionary);
    auto indexOf = [&](const char* name) {
        for (size_t i = 0; i < fields.size(); ++i)
            if (std::string(fields[i].name) == name) return static_cast<int>(i);
        return -1;
    };

    std::vector<std::string> people = options.responsible;
    std::vector<std::string> operatorIds;
    for (const xs_oper_def& oper : xs_all_operators()) operatorIds.emplace_back(oper.id);
    if (people.empty()) {
        for (const xs_oper_def& oper : xs_all_operators()) people.emplace_back(oper.name);
        people.insert(people.end(), {"Sam Porter", "Kim Nguyen", ""});
    }
    if (operatorIds.empty()) operatorIds.emplace_back("ADMIN");
    auto list = [](short number, std::vector<std::string> fallback) {
        std::vector<std::string> entries;
        xk_get_custom_list(number, &entries);
        std::erase(entries, std::string());
        return entries.empty() ? fallback : entries;
    };
    const auto classifications = list(262, {"Accounting", "Software"});
    const auto followUps = list(264, {"Call back", "E-mail"});
    const auto problems = list(266, {"Posting error", "Other"});

    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        *error = "cannot open " + path + ": " + sqlite3_errmsg(raw);
        sqlite3_close_v2(raw);
        return false;
    }
    std::unique_ptr<sqlite3, Closer> db(raw);
    sqlite3_busy_timeout(db.get(), 10000);
    // A bulk load of made-up issues: nothing is lost that a rerun would not make again,
    // so it waits for no disk flush, and a large cache keeps the indexes' pages at hand.
    sqlite3_exec(db.get(), "PRAGMA synchronous=OFF; PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    double last = 0;
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db.get(), "SELECT max(\"ISSUE\") FROM r1", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            last = sqlite3_column_double(stmt, 0);
        sqlite3_finalize(stmt);
    }
    std::string sql = "INSERT INTO r1(";
    for (size_t i = 0; i < fields.size(); ++i) sql += (i ? ", " : "") + Quote(fields[i].name);
    sql += ") VALUES (";
    for (size_t i = 0; i < fields.size(); ++i) sql += i ? ", ?" : "?";
    sql += ")";
    sqlite3_stmt* rawInsert = nullptr;
    if (sqlite3_exec(db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &rawInsert, nullptr) != SQLITE_OK) {
        *error = std::string("cannot write ") + path + ": " + sqlite3_errmsg(db.get());
        return false;
    }
    std::unique_ptr<sqlite3_stmt, Closer> insert(rawInsert);

    std::mt19937 random(options.seed);
    auto pick = [&](const auto& from) -> const auto& { return from[random() % std::size(from)]; };
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };

    std::vector<std::string> text(fields.size());
    std::vector<double> number(fields.size());
    const int issue = indexOf("ISSUE"), message = indexOf("FORMESS"), classif = indexOf("CLASSIF"),
              urgency = indexOf("URGENCY"), followUp = indexOf("FOLLOWU"), status = indexOf("STATUS"),
              problem = indexOf("PROBLEM"), reviewed = indexOf("REVIEWE"), responsible = indexOf("RESPONS"),
              due = indexOf("DUEDATE"), notify = indexOf("NOTDATE"), createdBy = indexOf("OPERCRE"),
              created = indexOf("DATECRE"), createdAt = indexOf("TIMECRE"), closedBy = indexOf("OPERCLO"),
              closed = indexOf("DATECLO"), closedAt = indexOf("TIMECLO");
    for (int64_t n = 1; n <= options.count; ++n) {
        for (size_t i = 0; i < fields.size(); ++i) {
            text[i].clear();
            number[i] = fields[i].type == XIO_TIME ? -1 : 0;
        }
        const double id = last + static_cast<double>(n);
        const int year = 2023 + static_cast<int>(random() % 3);
        const int day = static_cast<int>(random() % 365);
        if (issue >= 0) number[issue] = id;
        if (message >= 0)
            text[message] = std::string(pick(kSubjects)) + " " + std::to_string(1000 + random() % 9000) + " " +
                            pick(kProblems) + "; " + pick(kActions) + ".";
        if (classif >= 0) text[classif] = pick(classifications);
        if (urgency >= 0) {
            static const char* const calm[] = {"Low", "Normal", "Normal", "High"};
            text[urgency] = static_cast<int64_t>(id) % 10 == 7 ? "Critical" : pick(calm);
        }
        if (followUp >= 0 && chance(60)) text[followUp] = pick(followUps);
        if (problem >= 0 && chance(70)) text[problem] = pick(problems);
        const int roll = static_cast<int>(random() % 100);
        const std::string state = roll < 40 ? "Open" : roll < 75 ? "Closed" : roll < 90 ? "On-Hold" : "";
        if (status >= 0) text[status] = state;
        if (reviewed >= 0) number[reviewed] = chance(50) ? 1 : 0;
        if (responsible >= 0) text[responsible] = pick(people);
        if (created >= 0) number[created] = static_cast<double>(DateNumber(year, day));
        if (createdAt >= 0) number[createdAt] = (8 + random() % 10) * 10000 + (random() % 60) * 100 + random() % 60;
        if (createdBy >= 0) text[createdBy] = pick(operatorIds);
        if (due >= 0) number[due] = static_cast<double>(DateNumber(year, std::min(364, day + 14)));
        if (notify >= 0 && chance(40)) number[notify] = static_cast<double>(DateNumber(year, std::min(364, day + 7)));
        if (state == "Closed") {
            if (closedBy >= 0) text[closedBy] = pick(operatorIds);
            if (closed >= 0) number[closed] = static_cast<double>(DateNumber(year, std::min(364, day + 20)));
            if (closedAt >= 0) number[closedAt] = 163000;
        }
        sqlite3_reset(insert.get());
        for (size_t i = 0; i < fields.size(); ++i) {
            const int at = static_cast<int>(i) + 1;
            if (fields[i].type == XIO_TEXT || fields[i].type == XIO_PHONE)
                sqlite3_bind_text(insert.get(), at, text[i].c_str(), static_cast<int>(text[i].size()), SQLITE_STATIC);
            else
                sqlite3_bind_double(insert.get(), at, number[i]);
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            *error = std::string("cannot write ") + path + ": " + sqlite3_errmsg(db.get());
            sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
    }
    const std::string header = "UPDATE kw_header SET \"LASTID\" = " + std::to_string(static_cast<long long>(last) + options.count);
    if (sqlite3_exec(db.get(), header.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        *error = std::string("cannot write ") + path + ": " + sqlite3_errmsg(db.get());
        sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}
