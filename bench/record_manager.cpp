// The record manager against raw SQLite doing the same work with prepared statements on
// the same table and key indexes (built from the same dictionary) with the same journal
// and the same synchronous setting: writing issue records (one transaction each), walking
// them by key 0 and by an alternate key, and reading them at random by key. Prints each
// time and the ratio (record manager / raw). The record manager's counts of records,
// kept by triggers in each write's transaction, are work the raw side does not do: they
// count against the record manager.
//   bench_record_manager [--records N] [--full-writes K] [--walk-memory]
// Writes are measured twice: N records with synchronous=NORMAL (a power cut may roll back
// the last commits), then K more with synchronous=FULL (each commit on the disk before
// it answers; the record manager's own setting). Each side's work is done in alternating
// slices, so a change in the machine's load falls on both alike. Times are the process's
// CPU time (user and system), which other programs on a shared machine do not inflate,
// except for the writes with synchronous=FULL, which wait for the disk: elapsed time.
// --walk-memory also walks the file a second time and prints the resident memory
// before and after, to show that a walk runs in constant memory.
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* kStatuses[] = {"", "Open", "On-Hold", "Closed"};
const char* kPeople[] = {"Pat Admin", "Robin Clerk", "Sam Field", "Lee Buyer"};

// A stopwatch of elapsed time or of the process's CPU time.
struct Stopwatch {
    bool cpu = true;
    double Now() const {
        if (!cpu) return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }
};
Stopwatch g_watch;

double Now() { return g_watch.Now(); }
double Seconds(double start) { return Now() - start; }

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

void Report(const char* key, const char* what, double ours, double raw, double target) {
    std::printf("%-40s record manager %8.3f s   raw SQLite %8.3f s   ratio %5.2f   (target <= %.1f, %s)\n", what,
                ours, raw, ours / raw, target, g_watch.cpu ? "CPU time" : "elapsed");
    std::printf("RATIO %s %.3f\n", key, ours / raw);
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
    std::vector<bool> numeric;
    sqlite3_stmt* insert = nullptr;
    std::vector<std::string> texts;
    Raw(const std::string& path, short file) {
        // Opened as the record manager opens its files: one thread, no mutex per call.
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        // The issue record type's table and its keys' indexes, from the dictionary, as the
        // record manager makes them.
        xio_rec_def rec{};
        xio_get_rec_def(file, 1, &rec, 1);
        std::string create = "CREATE TABLE r1(rowid INTEGER PRIMARY KEY";
        for (short n = rec.firstField; n < rec.firstField + rec.fieldCount; ++n) {
            xio_fld_def def{};
            xio_get_fld_def(file, n, &def, 1, 1);
            const bool text = def.type == XIO_TEXT || def.type == XIO_PHONE;
            columns.push_back(def.name);
            numeric.push_back(!text);
            create += ", \"" + std::string(def.name) + "\" " +
                      (text ? (def.caseFlag ? "TEXT NOT NULL DEFAULT '' COLLATE NOCASE" : "TEXT NOT NULL DEFAULT ''")
                            : "REAL NOT NULL DEFAULT 0");
        }
        create += ");";
        for (short key = 0; key <= rec.keyCount + 20; ++key) {
            xio_key_def kd{};
            if (xio_get_key_def(file, key, &kd, 1) != 0) continue;
            create += std::string("CREATE ") + (kd.unique ? "UNIQUE " : "") + "INDEX k1_" + std::to_string(key) +
                      " ON r1(";
            for (int i = 0; i < kd.fieldCount; ++i) {
                xio_fld_def def{};
                xio_get_fld_def(file, kd.fields[i], &def, 1, 1);
                create += std::string(i ? ", " : "") + "\"" + def.name + "\"";
            }
            create += ");";
        }
        if (sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "raw schema: %s\n", sqlite3_errmsg(db));
        // Every column is written, as a record write does.
        std::string sql = "INSERT INTO r1(";
        for (size_t i = 0; i < columns.size(); ++i) sql += (i ? ", \"" : "\"") + columns[i] + "\"";
        sql += ") VALUES (";
        for (size_t i = 0; i < columns.size(); ++i) sql += i ? ",?" : "?";
        sqlite3_prepare_v2(db, (sql + ")").c_str(), -1, &insert, nullptr);
        texts.resize(columns.size());
    }
    ~Raw() {
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }
    void Synchronous(const char* mode) {
        sqlite3_exec(db, (std::string("PRAGMA synchronous=") + mode).c_str(), nullptr, nullptr, nullptr);
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
            else if (numeric[i]) sqlite3_bind_double(insert, at, c == "TIMECRE" || c == "TIMECLO" || c == "TIMECHG" ? -1 : 0);
            else sqlite3_bind_text(insert, at, "", 0, SQLITE_STATIC);
        }
        return sqlite3_step(insert) == SQLITE_DONE;
    }
    // Reads every column of the current row, as the record manager does into its buffer.
    double Take(sqlite3_stmt* stmt, int first) {
        double sum = 0;
        for (size_t i = 0; i < columns.size(); ++i) {
            const int at = first + static_cast<int>(i);
            if (!numeric[i]) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, at));
                texts[i].assign(text, static_cast<size_t>(sqlite3_column_bytes(stmt, at)));
                sum += texts[i].empty() ? 0 : texts[i][0];
            } else {
                sum += sqlite3_column_double(stmt, at);
            }
        }
        return sum;
    }
    // Steps one prepared statement over the rows.
    double Walk(const char* order, long* rows) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = std::string("SELECT * FROM r1 ORDER BY ") + order;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        double sum = 0;
        *rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            sum += Take(stmt, 1);
            ++*rows;
        }
        sqlite3_finalize(stmt);
        return sum;
    }
};

// Writes issues first..last through both sides in alternating slices; answers false on
// a failed write.
bool WriteBoth(Ours& ours, Raw& raw, int first, int last, int slice, double* oursTime, double* rawTime) {
    const int kSlice = slice;
    *oursTime = *rawTime = 0;
    for (int from = first; from <= last; from += kSlice) {
        const int to = std::min(last, from + kSlice - 1);
        double start = Now();
        for (int i = from; i <= to; ++i)
            if (!ours.Write(MakeIssue(i))) return false;
        *oursTime += Seconds(start);
        start = Now();
        for (int i = from; i <= to; ++i)
            if (!raw.Write(MakeIssue(i))) return false;
        *rawTime += Seconds(start);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int records = 100000;
    int fullWrites = 1000;
    bool walkMemory = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--records") && i + 1 < argc) records = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--full-writes") && i + 1 < argc) fullWrites = std::atoi(argv[++i]);
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
    Raw raw((folder / "raw.db").string(), ours.f);
    std::printf("%d issue records, one transaction per write, write-ahead log on both sides\n", records);

    double oursTime = 0, rawTime = 0;
    xio_set_durability(ours.f, XIO_FAST);
    raw.Synchronous("NORMAL");
    if (!WriteBoth(ours, raw, 1, records, 200, &oursTime, &rawTime)) return 2;
    Report("write_normal", "write (synchronous=NORMAL)", oursTime, rawTime, 1.3);

    xio_set_durability(ours.f, XIO_DURABLE);
    raw.Synchronous("FULL");
    g_watch.cpu = false;
    if (!WriteBoth(ours, raw, records + 1, records + fullWrites, 10, &oursTime, &rawTime)) return 2;
    char what[64];
    std::snprintf(what, sizeof(what), "write %d more (synchronous=FULL)", fullWrites);
    Report("write_full", what, oursTime, rawTime, 1.3);
    g_watch.cpu = true;
    const long total = records + fullWrites;

    // Walks: each side twice, alternating, the better time of each.
    volatile double sink = 0;
    auto walkOurs = [&](short key, long* rows) {
        const double start = Now();
        *rows = 0;
        xio_clr_record(ours.f, 1);
        for (short s = xio_rd_first(ours.f, 1, key, 0); s == 0; s = xio_rd_next(ours.f, 1, key, 0)) {
            sink = sink + ours.Touch();
            ++*rows;
        }
        return Seconds(start);
    };
    auto walkRaw = [&](const char* order, long* rows) {
        const double start = Now();
        sink = sink + raw.Walk(order, rows);
        return Seconds(start);
    };
    struct WalkCase {
        const char* key;
        const char* what;
        short number;
        const char* order;
    };
    for (const WalkCase& walk : {WalkCase{"walk_key0", "walk by key 0", 0, "ISSUE"},
                                 WalkCase{"walk_alt", "walk by alternate key (status)", 1, "STATUS, ISSUE"}}) {
        double bestOurs = 1e9, bestRaw = 1e9;
        long oursRows = 0, rawRows = 0;
        for (int round = 0; round < 2; ++round) {
            bestOurs = std::min(bestOurs, walkOurs(walk.number, &oursRows));
            bestRaw = std::min(bestRaw, walkRaw(walk.order, &rawRows));
        }
        if (oursRows != total || rawRows != total) std::printf("walk saw %ld / %ld rows\n", oursRows, rawRows);
        Report(walk.key, walk.what, bestOurs, bestRaw, 1.1);
    }

    // Random reads by key 0, in alternating slices.
    std::mt19937 random(42);
    std::vector<int> keys(static_cast<size_t>(records));
    for (auto& k : keys) k = static_cast<int>(random() % total) + 1;
    sqlite3_stmt* lookup = nullptr;
    sqlite3_prepare_v2(raw.db, "SELECT * FROM r1 WHERE ISSUE = ?", -1, &lookup, nullptr);
    oursTime = rawTime = 0;
    constexpr size_t kSlice = 2000;
    for (size_t from = 0; from < keys.size(); from += kSlice) {
        const size_t to = std::min(keys.size(), from + kSlice);
        double start = Now();
        for (size_t i = from; i < to; ++i) {
            xio_clr_record(ours.f, 1);
            ours.Put(ours.issue, keys[i]);
            if (xio_rd_record(ours.f, 1, 0, 0) != 0) return 3;
            sink = sink + ours.Touch();
        }
        oursTime += Seconds(start);
        start = Now();
        for (size_t i = from; i < to; ++i) {
            sqlite3_reset(lookup);
            sqlite3_bind_double(lookup, 1, keys[i]);
            if (sqlite3_step(lookup) != SQLITE_ROW) return 3;
            sink = sink + raw.Take(lookup, 1);
        }
        rawTime += Seconds(start);
    }
    sqlite3_finalize(lookup);
    Report("random_read", "random reads by key 0", oursTime, rawTime, 1.2);

    // Counting, as a grid asks for its scroll range: read from the file's kept count.
    int64_t count = 0;
    constexpr int kCounts = 1000;
    double start = Now();
    for (int i = 0; i < kCounts; ++i) xio_count_records(ours.f, 1, &count);
    std::printf("count of %lld records: %.1f us per call\n", static_cast<long long>(count),
                Seconds(start) * 1e6 / kCounts);

    if (walkMemory) {
        const long before = ResidentKb();
        long peak = before;
        long rows = 0;
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
