// bench_grid: the View Issues grid through its model, as a view asks for rows, against the
// raw SQLite query that returns the same rows, measured side by side in one run.
//
//   bench_grid [SIZE...]          sizes of the issue file (default 10000 100000)
//
// For each size a company with that many generated issues is made (scripts/issuegen),
// then, without a filter and with the responsible-person filter of an ordinary operator:
//   open         the window's document and grid made, the first page read
//   first page   the rows read again (Refresh) and the first 30 rows asked for
//   End          the last 30 rows (End reads backwards from the last record)
//   middle       30 rows asked for in the middle, nothing of them read before
//   re-sort      the order switched to the status key, the focused issue kept in view
//   condition    a query condition one issue in ten meets: the first 30 rows
// Each figure is the median of five runs; the raw side runs the same SQL on its own
// connection. Then the counting under the condition runs to its end in idle slices
// (longest slice reported) and the whole file is scrolled through page by page, with the
// resident memory reported before and after.
#include "IssueGenerator.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/tasks/TaskViewIssues.h"
#include "qvcore/viewissues/viAppData.h"
#include "qvcore/viewissues/viDocument.h"
#include "qvcore/viewissues/viPlainGridView.h"

#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/model/kwdmTableModel.h"
#include "kwdm/view/kwdmGridView.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"
#include "kwcommon/xio_dict.h"

#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPage = 30;
constexpr int kRuns = 5;

using Clock = std::chrono::steady_clock;

double Milliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MedianOf(const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        runs.push_back(Milliseconds(work));
    }
    return Median(runs);
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// The raw side: the same rows straight from SQLite, every column read as the grid reads it.
class Raw {
public:
    explicit Raw(const std::string& path) { sqlite3_open_v2(path.c_str(), &_db, SQLITE_OPEN_READONLY, nullptr); }
    ~Raw() { sqlite3_close_v2(_db); }
    int Rows(const std::string& sql, const std::vector<std::string>& texts = {}) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(_db));
            return 0;
        }
        for (size_t i = 0; i < texts.size(); ++i)
            sqlite3_bind_text(stmt, static_cast<int>(i) + 1, texts[i].c_str(), -1, SQLITE_TRANSIENT);
        int rows = 0;
        std::vector<std::string> values;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(stmt);
            values.resize(static_cast<size_t>(columns));
            for (int c = 0; c < columns; ++c) {
                const unsigned char* text = sqlite3_column_text(stmt, c);
                values[static_cast<size_t>(c)] = text ? reinterpret_cast<const char*>(text) : "";
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
        return rows;
    }
    double Number(const std::string& sql, const std::vector<std::string>& texts = {}) {
        sqlite3_stmt* stmt = nullptr;
        double value = 0;
        if (sqlite3_prepare_v2(_db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            for (size_t i = 0; i < texts.size(); ++i)
                sqlite3_bind_text(stmt, static_cast<int>(i) + 1, texts[i].c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(stmt) == SQLITE_ROW) value = sqlite3_column_double(stmt, 0);
        }
        sqlite3_finalize(stmt);
        return value;
    }

private:
    sqlite3* _db = nullptr;
};

// Asks for a page of rows as the view does when it paints them.
void AskPage(kwdmTableModel& model, int first) {
    for (int row = first; row < std::min(first + kPage, model.rowCount()); ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            (void)model.data(model.index(row, column), Qt::DisplayRole);
}

void Report(const char* what, double grid, double raw) {
    std::printf("  %-12s grid %9.2f ms   raw %9.2f ms   ratio %6.2f\n", what, grid, raw, raw > 0 ? grid / raw : 0.0);
}

// Runs the event loop until counting ends; answers the longest time the loop was held.
double CountToTheEnd(kwdmDataSource& source, double* total) {
    double longest = 0;
    QElapsedTimer clock;
    clock.start();
    auto last = Clock::now();
    while (source.Counting()) {
        QApplication::processEvents(QEventLoop::AllEvents);
        const auto now = Clock::now();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    *total = static_cast<double>(clock.elapsed());
    return longest;
}

void Measure(const std::string& path, int64_t size, bool filtered) {
    Prefs::SetDefaults();
    Prefs::SetAutoFilter(filtered);
    kwCompany::SetCurrentOperatorId(filtered ? "DANA" : "ADMIN");
    std::printf("\n%lld issues, %s\n", static_cast<long long>(size),
                filtered ? "responsible-person filter (operator DANA)" : "no filter (operator ADMIN)");
    Raw raw(path);
    const std::string where = filtered ? " WHERE \"RESPONS\" IN ('Dana Whitfield', '')" : "";
    const std::string andWhere = filtered ? " AND \"RESPONS\" IN ('Dana Whitfield', '')" : "";

    TaskViewIssues task;
    std::unique_ptr<viDocument> document;
    std::unique_ptr<viPlainGridView> view;
    const double open = Milliseconds([&] {
        document = std::make_unique<viDocument>(task);
        document->OnNewDocument();
        view = std::make_unique<viPlainGridView>(*document);
        AskPage(*view->findChild<kwdmGridView*>()->Model(), 0);
    });
    kwdmViewCtrl* grid = document->GridControl();
    kwdmDataSource& source = *grid->RootDataBuffer();
    kwdmTableModel& model = *view->findChild<kwdmGridView*>()->Model();
    std::printf("  open         %9.2f ms (document, grid control, count, first page); %s, %lld rows\n", open,
                source.Indexed() ? "placed by the index" : "counted by walking", static_cast<long long>(source.RecordCount()));

    const auto again = [&] { source.Refresh(1, 1, 0); };
    Report("first page", MedianOf(again, [&] { AskPage(model, 0); }),
           MedianOf([] {}, [&] { raw.Rows("SELECT * FROM r1" + where + " ORDER BY \"ISSUE\" LIMIT 30"); }));

    Report("End",
           MedianOf([&] { source.First(); again(); },
                    [&] {
                        source.Last();
                        AskPage(model, std::max(0, static_cast<int>(source.RecordCount()) - kPage));
                    }),
           MedianOf([] {}, [&] { raw.Rows("SELECT * FROM r1" + where + " ORDER BY \"ISSUE\" DESC LIMIT 30"); }));

    const int middle = static_cast<int>(source.RecordCount() / 2);
    Report("middle", MedianOf([&] { source.First(); again(); }, [&] { AskPage(model, middle); }),
           MedianOf([] {}, [&] {
               raw.Rows("SELECT * FROM r1" + where + " ORDER BY \"ISSUE\" LIMIT 30 OFFSET " + std::to_string(middle));
           }));

    // Re-sort by status keeping the focused issue (the first one) in view; the raw side
    // counts the rows before it and reads the page from it.
    std::string status, issue;
    const double resort = MedianOf(
        [&] {
            source.SetIndex(0);
            source.First();
            status = source.FocusedRow().Data("STATUS")->NewText();
            issue = source.FocusedRow().Data("ISSUE")->NewText();
        },
        [&] {
            source.SetIndex(1);
            AskPage(model, static_cast<int>(source.Focus()));
        });
    const double resortRaw = MedianOf([] {}, [&] {
        raw.Number("SELECT count(*) FROM r1 WHERE (\"STATUS\" < ?1 COLLATE NOCASE OR (\"STATUS\" = ?1 AND \"ISSUE\" < ?2))" +
                       andWhere,
                   {status, issue});
        raw.Rows("SELECT * FROM r1 WHERE (\"STATUS\", \"ISSUE\") >= (?1, ?2)" + andWhere +
                     " ORDER BY \"STATUS\", \"ISSUE\" LIMIT 30",
                 {status, issue});
    });
    Report("re-sort", resort, resortRaw);
    source.SetIndex(0);

    // A condition one issue in ten meets: Urgency is Critical.
    viAppData* data = document->AppData();
    const short file = source.FileNumber();
    xc_cond_def critical{};
    const x_value_def value = x_value_def::OfText("Critical");
    xc_make_condition(file, xio_num(file, 0, 0, "URGENCY"), XC_EQUAL, &value, nullptr, XC_AND, &critical);
    xc_clear_conditions(data->Conditions());
    xc_put_condition(data->Conditions(), &critical);
    Report("condition", MedianOf([&] { source.First(); }, [&] {
               source.Requery();
               AskPage(model, 0);
           }),
           MedianOf([] {}, [&] {
               raw.Rows("SELECT * FROM r1 WHERE \"URGENCY\" = 'Critical'" + andWhere + " ORDER BY \"ISSUE\" LIMIT 30");
           }));
    double counted = 0;
    const double longest = CountToTheEnd(source, &counted);
    std::printf("  counting     %9.0f ms to count %lld rows under the condition; longest hold of the loop %.1f ms\n",
                counted, static_cast<long long>(source.RecordCount()), longest);
    Report("cond. middle", MedianOf([&] { source.First(); }, [&] { AskPage(model, static_cast<int>(source.RecordCount() / 2)); }),
           MedianOf([] {}, [&] {
               raw.Rows("SELECT * FROM r1 WHERE \"URGENCY\" = 'Critical'" + andWhere + " ORDER BY \"ISSUE\" LIMIT 30 OFFSET " +
                        std::to_string(source.RecordCount() / 2));
           }));
    xc_clear_conditions(data->Conditions());
    source.Requery();

    // The whole file, page by page, as a user holding Page Down would see it.
    const long before = ResidentKiB();
    const double scroll = Milliseconds([&] {
        for (int first = 0; first < model.rowCount(); first += kPage) AskPage(model, first);
    });
    std::printf("  scroll all   %9.0f ms; resident memory %ld KiB before, %ld KiB after (%zu rows held, %zu positions)\n",
                scroll, before, ResidentKiB(), source.Rows().CachedRows(), source.Rows().CheckpointCount());
    grid->Close(0);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    xw_script_answers({});
    std::vector<int64_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoll(argv[i], nullptr, 10));
    if (sizes.empty()) sizes = {10000, 100000};
    const fs::path root = fs::temp_directory_path() / ("qvbench-grid-" + std::to_string(::getpid()));
    for (int64_t size : sizes) {
        const fs::path folder = root / std::to_string(size);
        fs::create_directories(folder);
        for (const auto& entry : fs::directory_iterator(QV_DEMO_DIR)) {
            if (entry.is_regular_file() && entry.path().extension() != ".json") continue;
            if (entry.is_directory() && entry.path().filename() == "seed") continue;
            fs::copy(entry.path(), folder / entry.path().filename(), fs::copy_options::recursive);
        }
        std::string error;
        if (!kwCompany::Open(folder.string(), &error)) {
            std::fprintf(stderr, "bench_grid: %s\n", error.c_str());
            return 1;
        }
        kwCompany::SetCurrentOperatorId("ADMIN");
        IssueGeneratorOptions options;
        options.count = size;
        const double made = Milliseconds([&] {
            if (!GenerateIssues(options, &error)) std::fprintf(stderr, "bench_grid: %s\n", error.c_str());
        });
        std::printf("\n== %lld issues generated in %.1f s\n", static_cast<long long>(size), made / 1000);
        const std::string path = IssueFilePath(&error);
        Measure(path, size, false);
        Measure(path, size, true);
        kwCompany::Close();
        fs::remove_all(folder);
    }
    fs::remove_all(root);
    return 0;
}
