// The record manager against raw SQLite doing the same work with prepared statements:
// writing issue records, walking them by key 0 and by an alternate key, and reading
// them at random by key. Prints each time and the ratio (record manager / raw).
//   bench_record_manager [--records N] [--walk-memory]
// --walk-memory also walks the file a second time and prints the resident memory
// before and after, to show that a walk runs in constant memory.
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* kStatuses[] = {"", "Open", "On-Hold", "Closed"};
const char* kPeople[] = {"Pat Admin", "Robin Clerk", "Sam Field", "Lee Buyer"};

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

void Report(const char* what, double ours, double raw, double target) {
    std::printf("%-34s record manager %8.3f s   raw SQLite %8.3f s   ratio %5.2f   (target <= %.1f)\n", what, ours,
                raw, ours / raw, target);
}

struct Issue {
    double number;
    std::string message, status, respons, classif;
    double due;
};

Issue MakeIssue(int i) {
    Issue issue;
    issue.number = i;
    issue.message = "Issue " + std::to_string(i) + ": the invoice total does not match the receiving report";
    issue.status = kStatuses[i % 4];
    issue.respons = kPeople[i % 4];
    issue.classif = i % 3 ? "Software" : "Hardware";
    issue.due = 20260101 + (i % 28);
    return issue;
}

// The same rows through the record manager.
struct Ours {
    short f = 0;
    short issue, formess, status, respons, classif, duedate;
    explicit Ours(short file) : f(file) {
        issue = xio_num(f, 0, 0, "ISSUE");
        formess = xio_num(f, 0, 0, "FORMESS");
        status = xio_num(f, 0, 0, "STATUS");
        respons = xio_num(f, 0, 0, "RESPONS");
        classif = xio_num(f, 0, 0, "CLASSIF");
        duedate = xio_num(f, 0, 0, "DUEDATE");
    }
    void Put(short field, const x_value_def& value) { xio_put_field(f, 0, field, &value); }
    void Put(short field, double value) { Put(field, x_value_def::OfNumber(value)); }
    void Put(short field, const std::string& value) { Put(field, x_value_def::OfText(value)); }
    bool Write(const Issue& item) {
        xio_clr_record(f, 1);
        Put(issue, item.number);
        xio_put_long_text(f, formess, item.message);
        Put(status, item.status);
        Put(respons, item.respons);
        Put(classif, item.classif);
        Put(duedate, item.due);
        return xio_wr_record(f, 1, 0) == 0;
    }
    // Reads every field of the current record out of the buffer, as a view would.
    double Touch() {
        double sum = 0;
        x_value_def v;
        for (short n = 1; n <= 71; ++n) {
            xio_get_field(f, 0, n, &v);
            sum += v.IsNumber() ? v.number : v.text[0];
        }
        return sum;
    }
};

// The same rows through raw SQLite with prepared statements.
struct Raw {
    sqlite3* db = nullptr;
    std::vector<std::string> columns;
    sqlite3_stmt* insert = nullptr;
    std::set<std::string> numeric;
    Raw(const std::string& path, const std::vector<std::string>& names, std::set<std::string> numbers)
        : columns(names), numeric(std::move(numbers)) {
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        std::string create = "CREATE TABLE issue(rowid INTEGER PRIMARY KEY";
        for (const auto& c : columns) {
            const bool text = !numeric.count(c);
            create += ", \"" + c + "\" " + (text ? "TEXT NOT NULL DEFAULT ''" : "REAL NOT NULL DEFAULT 0");
        }
        // The same keys as the issue dictionary.
        create += "); CREATE UNIQUE INDEX k0 ON issue(ISSUE); CREATE INDEX k1 ON issue(STATUS, ISSUE);"
                  "CREATE INDEX k2 ON issue(DUEDATE, ISSUE); CREATE INDEX k3 ON issue(NOTDATE, ISSUE);"
                  "CREATE INDEX k4 ON issue(RESPONS, ISSUE); CREATE INDEX k5 ON issue(CLASSIF, ISSUE);";
        sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr);
        // Every column is written, as a record write does.
        std::string sql = "INSERT INTO issue(";
        for (size_t i = 0; i < columns.size(); ++i) sql += (i ? ", \"" : "\"") + columns[i] + "\"";
        sql += ") VALUES (";
        for (size_t i = 0; i < columns.size(); ++i) sql += i ? ",?" : "?";
        sqlite3_prepare_v2(db, (sql + ")").c_str(), -1, &insert, nullptr);
    }
    ~Raw() {
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }
    bool Write(const Issue& issue) {
        sqlite3_reset(insert);
        for (size_t i = 0; i < columns.size(); ++i) {
            const int at = static_cast<int>(i) + 1;
            const std::string& c = columns[i];
            if (c == "ISSUE") sqlite3_bind_double(insert, at, issue.number);
            else if (c == "DUEDATE") sqlite3_bind_double(insert, at, issue.due);
            else if (c == "FORMESS") sqlite3_bind_text(insert, at, issue.message.c_str(), -1, SQLITE_STATIC);
            else if (c == "STATUS") sqlite3_bind_text(insert, at, issue.status.c_str(), -1, SQLITE_STATIC);
            else if (c == "RESPONS") sqlite3_bind_text(insert, at, issue.respons.c_str(), -1, SQLITE_STATIC);
            else if (c == "CLASSIF") sqlite3_bind_text(insert, at, issue.classif.c_str(), -1, SQLITE_STATIC);
            else if (numeric.count(c)) sqlite3_bind_double(insert, at, 0);
            else sqlite3_bind_text(insert, at, "", 0, SQLITE_STATIC);
        }
        return sqlite3_step(insert) == SQLITE_DONE;
    }
    // Steps one prepared statement over the rows, reading every column as the record
    // manager does into its buffer.
    double Walk(const char* sql, long* rows) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        double sum = 0;
        std::vector<std::string> texts(columns.size());
        *rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (size_t i = 0; i < columns.size(); ++i) {
                if (sqlite3_column_type(stmt, static_cast<int>(i)) == SQLITE_TEXT) {
                    texts[i].assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, static_cast<int>(i))));
                    sum += texts[i].empty() ? 0 : texts[i][0];
                } else {
                    sum += sqlite3_column_double(stmt, static_cast<int>(i));
                }
            }
            ++*rows;
        }
        sqlite3_finalize(stmt);
        return sum;
    }
};

} // namespace

int main(int argc, char** argv) {
    int records = 100000;
    bool walkMemory = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--records") && i + 1 < argc) records = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--walk-memory")) walkMemory = true;
    }
    const fs::path folder = fs::temp_directory_path() / ("qvbench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::copy(QV_DEMO_DIR, folder, fs::copy_options::recursive);
    std::string error;
    if (!kwCompany::Open(folder.string(), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    kwioDataFile file;
    if (file.PromptedOpen("QVI", 1, "", 0, true, true, false) != 0) {
        std::fprintf(stderr, "cannot create the issue file\n");
        return 1;
    }
    Ours ours(file.FileNum());
    std::vector<std::string> names;
    std::set<std::string> numbers;
    for (short n = 1; n <= 71; ++n) {
        xio_fld_def def{};
        xio_get_fld_def(ours.f, n, &def, 1, 1);
        names.push_back(def.name);
        if (def.type != XIO_TEXT && def.type != XIO_PHONE) numbers.insert(def.name);
    }
    Raw raw((folder / "raw.db").string(), names, numbers);
    std::printf("%d issue records, one transaction per write\n", records);

    auto start = Clock::now();
    for (int i = 1; i <= records; ++i)
        if (!ours.Write(MakeIssue(i))) return 2;
    const double oursWrite = Seconds(start);
    start = Clock::now();
    for (int i = 1; i <= records; ++i)
        if (!raw.Write(MakeIssue(i))) return 2;
    const double rawWrite = Seconds(start);
    Report("write", oursWrite, rawWrite, 2.0);

    volatile double sink = 0;
    long rows = 0;
    start = Clock::now();
    xio_clr_record(ours.f, 1);
    for (short s = xio_rd_first(ours.f, 1, 0, 0); s == 0; s = xio_rd_next(ours.f, 1, 0, 0)) {
        sink = sink + ours.Touch();
        ++rows;
    }
    const double oursWalk = Seconds(start);
    long rawRows = 0;
    start = Clock::now();
    sink = sink + raw.Walk("SELECT * FROM issue ORDER BY ISSUE", &rawRows);
    const double rawWalk = Seconds(start);
    if (rows != records || rawRows != records) std::printf("walk saw %ld / %ld rows\n", rows, rawRows);
    Report("walk by key 0", oursWalk, rawWalk, 1.5);

    rows = 0;
    start = Clock::now();
    xio_clr_record(ours.f, 1);
    for (short s = xio_rd_first(ours.f, 1, 1, 0); s == 0; s = xio_rd_next(ours.f, 1, 1, 0)) {
        sink = sink + ours.Touch();
        ++rows;
    }
    const double oursAlt = Seconds(start);
    start = Clock::now();
    sink = sink + raw.Walk("SELECT * FROM issue ORDER BY STATUS, ISSUE", &rawRows);
    const double rawAlt = Seconds(start);
    Report("walk by alternate key (status)", oursAlt, rawAlt, 1.5);

    std::mt19937 random(42);
    std::vector<int> keys(records);
    for (auto& k : keys) k = static_cast<int>(random() % records) + 1;
    start = Clock::now();
    for (int k : keys) {
        xio_clr_record(ours.f, 1);
        ours.Put(ours.issue, k);
        if (xio_rd_record(ours.f, 1, 0, 0) != 0) return 3;
        sink = sink + ours.Touch();
    }
    const double oursRandom = Seconds(start);
    sqlite3_stmt* lookup = nullptr;
    sqlite3_prepare_v2(raw.db, "SELECT * FROM issue WHERE ISSUE = ?", -1, &lookup, nullptr);
    std::vector<std::string> texts(names.size());
    start = Clock::now();
    for (int k : keys) {
        sqlite3_reset(lookup);
        sqlite3_bind_double(lookup, 1, k);
        if (sqlite3_step(lookup) != SQLITE_ROW) return 3;
        for (size_t i = 0; i < names.size(); ++i) {
            if (sqlite3_column_type(lookup, static_cast<int>(i)) == SQLITE_TEXT) {
                texts[i].assign(reinterpret_cast<const char*>(sqlite3_column_text(lookup, static_cast<int>(i))));
                sink = sink + (texts[i].empty() ? 0 : texts[i][0]);
            } else {
                sink = sink + sqlite3_column_double(lookup, static_cast<int>(i));
            }
        }
    }
    sqlite3_finalize(lookup);
    const double rawRandom = Seconds(start);
    Report("random reads by key 0", oursRandom, rawRandom, 1.5);

    if (walkMemory) {
        const long before = ResidentKb();
        long peak = before;
        rows = 0;
        xio_clr_record(ours.f, 1);
        for (short s = xio_rd_first(ours.f, 1, 0, 0); s == 0; s = xio_rd_next(ours.f, 1, 0, 0)) {
            if (++rows % 10000 == 0) peak = std::max(peak, ResidentKb());
        }
        std::printf("walk of %ld records: resident memory %ld kB before, at most %ld kB during\n", rows, before,
                    peak);
    }
    file.Close();
    kwCompany::Close();
    fs::remove_all(folder);
    return 0;
}
