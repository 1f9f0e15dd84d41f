// The query file's in-place changes against rewriting the whole file from memory, and the
// data library's condition evaluation against a hand-written comparison, in the same run.
//
// Query file: 1,000 queries of 5 conditions each are added one by one; then queries at
// random places are rewritten with more conditions (6) and with fewer (4), and the query in
// the middle of the directory is deleted (and a new one added back, not timed). Each
// change brackets its work between _qfi_lock and _qfi_unlock as the Build Query dialog
// does. The baseline keeps every query in memory, applies the same change there and
// writes the whole file anew under the same lock.
//
// Conditions: 1,000,000 issue records are put into the issue file's record buffer and
// tested against five conditions (xc_meets_conditions), and against the same five
// comparisons written out by hand; the time of putting the records alone is measured too
// and taken off both.
//   bench_query_file [--queries N] [--changes M] [--records R]
#include "qvcore/tasks/qvCommands.h"
#include "qvcore/queries/qvQueryFile.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/xio.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Report(const char* what, int operations, double ours, double whole) {
    std::printf("%-36s in place %9.1f us/op   whole file %9.1f us/op   ratio %5.2f\n", what, ours * 1e6 / operations,
                whole * 1e6 / operations, ours / whole);
}

struct Query {
    std::string name;
    int16_t order = 0;
    std::vector<xc_cond_def> conditions;
};

std::vector<xc_cond_def> Conditions(int count, int seed) {
    std::vector<xc_cond_def> conditions(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        xc_cond_def& c = conditions[static_cast<size_t>(i)];
        std::memset(&c, 0, sizeof(c));
        c.field = static_cast<int16_t>(1 + (seed + i) % 71);
        c.comparison = XC_EQUAL;
        std::snprintf(c.text1, sizeof(c.text1), "value %d.%d", seed, i);
    }
    return conditions;
}

// The Build Query dialog's way: one bracket per change, the query replaced by name or
// added, or deleted at its place.
class InPlace {
public:
    InPlace() {
        std::memset(&_info, 0, sizeof(_info));
        _info.handle = -1;
        _info.fileNumber = QV_CMD_BUILD_QUERY;
        _info.lockFlag = 1;
        _qfi_build_path_name(&_info);
    }
    bool Save(const Query& query) {
        if (!_qfi_lock(&_info, 0, 2)) return false;
        std::memset(&_info.query, 0, sizeof(_info.query));
        std::snprintf(_info.query.name, sizeof(_info.query.name), "%s", query.name.c_str());
        _info.query.order = query.order;
        std::memcpy(_info.query.version, QFI_RECORD_VERSION, 4);
        _info.query.condCount = static_cast<int16_t>(query.conditions.size());
        _info.query.conditions = const_cast<xc_cond_def*>(query.conditions.data());
        int32_t length = 0;
        _qfi_get_query_size(&_info.query, &length);
        const short saved = _qfi_rewrite_existing_query(&_info, query.name.c_str(), length);
        _info.query.conditions = nullptr;
        _info.query.condCount = 0;
        _qfi_unlock(&_info);
        return saved == 1;
    }
    bool Delete(const std::string& name) {
        if (!_qfi_lock(&_info, 0, 1)) return false;
        query_dir_def entry{};
        const short index = _qfi_read_query(&_info, name.c_str(), nullptr, &entry, 0);
        const short deleted = index ? _qfi_delete_query(&_info, &entry, static_cast<short>(index - 1)) : 0;
        _qfi_unlock(&_info);
        return deleted == 1;
    }
    std::string Path() const { return _info.fileName; }

private:
    query_file_info _info;
};

// The baseline: every query in memory, the whole file written anew after each change.
class WholeFile {
public:
    explicit WholeFile(std::string path) : _path(std::move(path)) {}
    std::vector<Query>& Queries() { return _queries; } // in order of creation
    bool Write() const {
        std::vector<const Query*> sorted;
        for (const Query& q : _queries) sorted.push_back(&q);
        std::stable_sort(sorted.begin(), sorted.end(), [](const Query* a, const Query* b) {
            return qvQueryNameCompare(a->name.c_str(), b->name.c_str()) < 0;
        });
        const auto count = static_cast<int32_t>(_queries.size());
        std::string bytes(QFI_HEADER_SIZE + QFI_DIR_ENTRY_SIZE * count, '\0');
        std::vector<int32_t> offsets;
        for (const Query& q : _queries) {
            offsets.push_back(static_cast<int32_t>(bytes.size()));
            query_def record{};
            std::snprintf(record.name, sizeof(record.name), "%s", q.name.c_str());
            record.order = q.order;
            std::memcpy(record.version, QFI_RECORD_VERSION, 4);
            record.condCount = static_cast<int16_t>(q.conditions.size());
            bytes.append(reinterpret_cast<const char*>(&record), QFI_QUERY_DEF_DISK_SIZE);
            bytes.append(reinterpret_cast<const char*>(q.conditions.data()), q.conditions.size() * XC_COND_SIZE);
        }
        query_hdr_def header{};
        std::memcpy(header.version, QFI_FILE_VERSION, 6);
        header.count = static_cast<int16_t>(count);
        header.first = QFI_HEADER_SIZE + QFI_DIR_ENTRY_SIZE * count;
        header.length = static_cast<int32_t>(bytes.size());
        std::memcpy(bytes.data(), &header, sizeof(header));
        for (int32_t i = 0; i < count; ++i) {
            const Query* q = sorted[static_cast<size_t>(i)];
            query_dir_def entry{};
            std::snprintf(entry.name, sizeof(entry.name), "%s", q->name.c_str());
            entry.offset = offsets[static_cast<size_t>(q - _queries.data())];
            entry.length = QFI_QUERY_DEF_DISK_SIZE + XC_COND_SIZE * static_cast<int32_t>(q->conditions.size());
            std::memcpy(&bytes[QFI_HEADER_SIZE + QFI_DIR_ENTRY_SIZE * static_cast<size_t>(i)], &entry, sizeof(entry));
        }
        const int fd = ::open(_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        kwFileLock lock;
        lock.Attach(fd);
        bool ok = lock.TryLock(0, true) && ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()) &&
                  ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
        lock.Unlock(0);
        ::close(fd);
        return ok;
    }
    Query* Find(const std::string& name) {
        for (Query& q : _queries)
            if (q.name == name) return &q;
        return nullptr;
    }

private:
    std::string _path;
    std::vector<Query> _queries;
};

std::string Name(int i) {
    char name[32];
    std::snprintf(name, sizeof(name), "Query %04d", i);
    return name;
}

std::string_view Trimmed(const char* text) {
    std::string_view view(text);
    while (!view.empty() && view.back() == ' ') view.remove_suffix(1);
    return view;
}

bool SameText(const char* a, const char* b) {
    const std::string_view x = Trimmed(a), y = Trimmed(b);
    return x.size() == y.size() && strncasecmp(x.data(), y.data(), x.size()) == 0;
}

bool BeginsWith(const char* text, const char* prefix) {
    return strncasecmp(text, prefix, std::strlen(prefix)) == 0;
}

void QueryFileBench(int queries, int changes) {
    InPlace inPlace;
    WholeFile whole(kwCompany::Path("misc/qvquery-whole.dat"));
    std::mt19937 random(7);
    std::vector<int> order(static_cast<size_t>(queries));
    for (int i = 0; i < queries; ++i) order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), random); // names arrive in no order

    auto start = Clock::now();
    for (int i : order)
        if (!inPlace.Save({Name(i), 2, Conditions(5, i)})) std::exit(2);
    const double oursAdd = Seconds(start);
    start = Clock::now();
    for (int i : order) {
        whole.Queries().push_back({Name(i), 2, Conditions(5, i)});
        if (!whole.Write()) std::exit(2);
    }
    const double wholeAdd = Seconds(start);
    std::printf("%d queries x 5 conditions: file of %jd bytes\n", queries, static_cast<intmax_t>(fs::file_size(inPlace.Path())));
    Report("add (all of them, one by one)", queries, oursAdd, wholeAdd);

    std::vector<int> picks(static_cast<size_t>(changes));
    for (int& pick : picks) pick = static_cast<int>(random() % static_cast<unsigned>(queries));
    for (const int count : {6, 4}) {
        start = Clock::now();
        for (int pick : picks)
            if (!inPlace.Save({Name(pick), 2, Conditions(count, pick)})) std::exit(2);
        const double ours = Seconds(start);
        start = Clock::now();
        for (int pick : picks) {
            whole.Find(Name(pick))->conditions = Conditions(count, pick);
            if (!whole.Write()) std::exit(2);
        }
        Report(count == 6 ? "rewrite with more conditions (6)" : "rewrite with fewer conditions (4)", changes, ours,
               Seconds(start));
    }

    // The query in the middle of the directory goes; a new one takes its place untimed.
    std::vector<std::string> names;
    for (int i = 0; i < queries; ++i) names.push_back(Name(i));
    double ours = 0, wholeTime = 0;
    for (int k = 0; k < changes; ++k) {
        const std::string victim = names[names.size() / 2];
        names.erase(names.begin() + static_cast<long>(names.size() / 2));
        start = Clock::now();
        if (!inPlace.Delete(victim)) std::exit(2);
        ours += Seconds(start);
        auto& list = whole.Queries();
        start = Clock::now();
        list.erase(std::find_if(list.begin(), list.end(), [&](const Query& q) { return q.name == victim; }));
        if (!whole.Write()) std::exit(2);
        wholeTime += Seconds(start);
        const std::string replacement = Name(queries + k); // sorts after every other name
        if (!inPlace.Save({replacement, 2, Conditions(5, k)})) std::exit(2);
        list.push_back({replacement, 2, Conditions(5, k)});
        names.push_back(replacement);
    }
    Report("delete one in the middle", changes, ours, wholeTime);
    if (!whole.Write()) std::exit(2); // with the last replacement

    std::string a, b;
    kwStoredFile::Read(inPlace.Path(), &a);
    kwStoredFile::Read(kwCompany::Path("misc/qvquery-whole.dat"), &b);
    // Both ways must end with the same file, byte for byte.
    if (a != b) {
        query_hdr_def ha{}, hb{};
        std::memcpy(&ha, a.data(), std::min(a.size(), sizeof(ha)));
        std::memcpy(&hb, b.data(), std::min(b.size(), sizeof(hb)));
        std::printf("the two files differ: %zu bytes, %d queries in place; %zu bytes, %d queries whole\n", a.size(),
                    ha.count, b.size(), hb.count);
    }
}

void ConditionBench(short file, int records) {
    const short status = xio_num(file, 0, 0, "STATUS"), due = xio_num(file, 0, 0, "DUEDATE"),
                respons = xio_num(file, 0, 0, "RESPONS"), classif = xio_num(file, 0, 0, "CLASSIF"),
                urgency = xio_num(file, 0, 0, "URGENCY");
    // Status is Open and the due date in March, or the responsible person begins with Dana,
    // the classification is not Hardware and the urgency is High.
    xc_cond_init_def def{};
    def.programNumber = QV_CMD_VIEW_ISSUES;
    def.fileNumber = file;
    def.recordType = 1;
    const short set = xc_init_conditions(&def, 1);
    auto add = [&](short field, short comparison, const char* v1, const char* v2, short connector) {
        xc_cond_def c{};
        const x_value_def a = x_value_def::OfText(v1), b = x_value_def::OfText(v2 ? v2 : "");
        if (!xc_make_condition(file, field, comparison, &a, v2 ? &b : nullptr, connector, &c) ||
            !xc_put_condition(set, &c))
            std::exit(3);
    };
    add(status, XC_EQUAL, "Open", nullptr, XC_AND);
    add(due, XC_BETWEEN, "03/01/2026", "03/31/2026", XC_OR);
    add(respons, XC_BEGINS_WITH, "Dana", nullptr, XC_AND);
    add(classif, XC_NOT_EQUAL, "Hardware", nullptr, XC_AND);
    add(urgency, XC_EQUAL, "High", nullptr, XC_AND);

    const char* statuses[] = {"", "Open", "open ", "Closed", "On-Hold"};
    const char* people[] = {"Dana Whitfield", "Lee Okafor", "", "dana w."};
    const char* classes[] = {"Software", "Hardware", "", "Training"};
    const char* urgencies[] = {"Low", "Normal", "High", "Critical"};
    constexpr int kVariants = 1024;
    std::vector<std::array<x_value_def, 5>> variants(kVariants);
    for (int i = 0; i < kVariants; ++i) {
        variants[static_cast<size_t>(i)] = {x_value_def::OfText(statuses[i % 5]),
                                            x_value_def::OfNumber(20260215 + (i * 7) % 60),
                                            x_value_def::OfText(people[(i / 5) % 4]),
                                            x_value_def::OfText(classes[(i / 3) % 4]),
                                            x_value_def::OfText(urgencies[(i / 7) % 4])};
    }
    const short fields[] = {status, due, respons, classif, urgency};
    auto put = [&](int i) {
        const auto& v = variants[static_cast<size_t>(i % kVariants)];
        for (int k = 0; k < 5; ++k) xio_put_field(file, 0, fields[k], &v[static_cast<size_t>(k)]);
    };

    xio_clr_record(file, 1);
    long selected = 0;
    auto start = Clock::now();
    for (int i = 0; i < records; ++i) put(i);
    const double putOnly = Seconds(start);

    start = Clock::now();
    for (int i = 0; i < records; ++i) {
        put(i);
        selected += xc_meets_conditions(set, file, 1, 0, 0, 1) ? 1 : 0;
    }
    const double library = Seconds(start);

    long byHand = 0;
    start = Clock::now();
    for (int i = 0; i < records; ++i) {
        put(i);
        x_value_def s, d, r, c, u;
        xio_get_field(file, 0, status, &s);
        xio_get_field(file, 0, due, &d);
        xio_get_field(file, 0, respons, &r);
        xio_get_field(file, 0, classif, &c);
        xio_get_field(file, 0, urgency, &u);
        const bool first = SameText(s.text, "Open") && d.number >= 20260301 && d.number <= 20260331;
        const bool second = BeginsWith(r.text, "Dana") && !SameText(c.text, "Hardware") && SameText(u.text, "High");
        byHand += first || second ? 1 : 0;
    }
    const double hand = Seconds(start);
    xc_term_conditions(set, 1);
    if (selected != byHand) std::printf("the two selected %ld and %ld records: they disagree\n", selected, byHand);
    std::printf("%d records, 5 conditions, %ld selected (putting the records alone: %.3f s)\n", records, selected,
                putOnly);
    std::printf("%-36s library %9.3f s   by hand %9.3f s   ratio %5.2f   (%.0f ns against %.0f ns a record)\n",
                "condition evaluation", library - putOnly, hand - putOnly, (library - putOnly) / (hand - putOnly),
                (library - putOnly) * 1e9 / records, (hand - putOnly) * 1e9 / records);
}

} // namespace

int main(int argc, char** argv) {
    int queries = 1000, changes = 200, records = 1000000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--queries")) queries = std::max(2, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--changes")) changes = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--records")) records = std::max(1, std::atoi(argv[++i]));
    }
    queries = std::min(queries, QFI_MAX_QUERIES - changes);
    const fs::path folder = fs::temp_directory_path() / ("qvbench-queries-" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(QV_DEMO_DIR)) {
        if (entry.path().filename() == "seed") continue;
        fs::copy(entry.path(), folder / entry.path().filename(), fs::copy_options::recursive);
    }
    std::string error;
    if (!kwCompany::Open(folder.string(), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    QueryFileBench(queries, changes);
    {
        qvIssueFile issues(QV_CMD_VIEW_ISSUES);
        if (!issues.Open()) return 1;
        ConditionBench(issues.Number(), records);
    }
    kwCompany::Close();
    fs::remove_all(folder);
    return 0;
}
