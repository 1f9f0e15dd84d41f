// The design printer against the bare walk it is built on: printing N issues through
// "QV Table View" and "QV Form View" to PDF, against reading the same issues and
// formatting every printed value through the record manager (the least any report must
// do). Then the same with ten times the issues, sampling the resident memory while
// printing, to show that memory does not grow with the number of records.
//   bench_print [--records N]        (default 1000; the second round prints 10 x N)
#include "kwcommon/kwCompany.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/xio.h"
#include "kwprint/trCommandLineSession.h"
#include "kwprint/trFieldText.h"
#include "kwprint/tr_design.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* kWords[] = {"invoice", "vendor", "payment", "posted", "twice", "the", "check", "register", "balance",
                        "customer", "credit", "memo", "missing", "statement", "review", "month-end", "price",
                        "differs", "purchase", "order", "receipt", "quantity", "approval", "controller"};
const char* kStatuses[] = {"", "Open", "On-Hold", "Closed"};
const char* kUrgencies[] = {"Low", "Normal", "High", "Critical"};
const char* kPeople[] = {"ADMIN", "DANA", "LEE"};
const char* kFields[] = {"ISSUE", "FORMESS", "STATUS", "URGENCY", "CLASSIF", "FOLLOWU", "PROBLEM", "RESPONS",
                         "NOTDATE", "DUEDATE"};

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

void AddIssues(short file, int from, int to) {
    std::mt19937 random(static_cast<unsigned>(from));
    const auto put = [&](const char* field, const x_value_def& value) { xio_put_field(file, 0, xio_num(file, 0, 0, field), &value); };
    for (int i = from; i <= to; ++i) {
        std::string message = "Issue " + std::to_string(i) + ":";
        const size_t length = 40 + random() % 400;
        while (message.size() < length) message += std::string(" ") + kWords[random() % std::size(kWords)];
        xio_clr_record(file, 1);
        put("ISSUE", x_value_def::OfNumber(i));
        xio_put_long_text(file, xio_num(file, 0, 0, "FORMESS"), message);
        put("STATUS", x_value_def::OfText(kStatuses[i % 4]));
        put("URGENCY", x_value_def::OfText(kUrgencies[random() % 4]));
        put("RESPONS", x_value_def::OfText(kPeople[i % 3]));
        put("NOTDATE", x_value_def::OfNumber(20260101 + i % 28));
        put("DUEDATE", x_value_def::OfNumber(20260201 + i % 28));
        if (xio_wr_record(file, 1, 0) != XIO_OK) {
            std::fprintf(stderr, "bench_print: writing issue %d failed\n", i);
            std::exit(1);
        }
    }
}

// The baseline: every record read and every printed value formatted, nothing laid out.
double Walk(short file) {
    std::vector<xio_fld_def> defs;
    for (const char* name : kFields) {
        xio_fld_def def{};
        xio_get_fld_def(file, xio_num(file, 0, 0, name), &def, 0, 0);
        defs.push_back(def);
    }
    size_t characters = 0;
    const auto start = Clock::now();
    for (short status = xio_rd_first(file, 1, 0, 0); status == XIO_OK; status = xio_rd_next(file, 1, 0, 0))
        for (const xio_fld_def& def : defs) characters += trFieldText::Shown(file, def).size();
    const double seconds = Seconds(start);
    if (characters == 0) std::fprintf(stderr, "bench_print: nothing was read\n");
    return seconds;
}

struct Printed {
    double seconds = 0;
    int pages = 0;
    long peakKb = 0;
};

Printed Print(short file, const char* design, const std::string& pdf) {
    Printed printed;
    tr_print_result result;
    tr_print_def def{};
    std::snprintf(def.designName, sizeof def.designName, "%s", design);
    def.fileNumber = file;
    def.flags = TR_QUIET;
    def.pdfPath = pdf.c_str();
    def.result = &result;
    def.progressData = &printed.peakKb;
    def.progress = [](void* data, const tr_progress*) -> short {
        long& peak = *static_cast<long*>(data);
        peak = std::max(peak, ResidentKb());
        return 1;
    };
    const auto start = Clock::now();
    const short handle = tr_init_design(0);
    if (!tr_print_design(handle, &def)) {
        std::fprintf(stderr, "bench_print: %s\n", result.error);
        std::exit(1);
    }
    printed.seconds = Seconds(start);
    printed.pages = result.pages;
    return printed;
}

void Round(short file, int records, const fs::path& folder) {
    const double walk = Walk(file);
    std::printf("%d issues: bare walk with every printed value formatted %.3f s\n", records, walk);
    for (const char* design : {"QV Table View", "QV Form View"}) {
        const std::string pdf = (folder / (std::string(design) + ".pdf")).string();
        const Printed printed = Print(file, design, pdf);
        std::printf("  %-14s %6d pages  %7.3f s  %6.2f ms/page  ratio to the walk %6.1f  peak resident memory while "
                    "printing %ld KB  PDF %ld KB\n",
                    design, printed.pages, printed.seconds, 1000 * printed.seconds / printed.pages,
                    printed.seconds / walk, printed.peakKb, static_cast<long>(fs::file_size(pdf) / 1024));
    }
}

} // namespace

int main(int argc, char** argv) {
    int records = 1000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--records") && i + 1 < argc) records = std::max(10, std::atoi(argv[++i]));
    }
    trCommandLineSession session;
    char pattern[] = "/tmp/qvbench-print-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path folder = pattern;
    for (const auto& entry : fs::directory_iterator(QV_DEMO_DIR)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".json" || name == "dict" || name == "reports")
            fs::copy(entry.path(), folder / name, fs::copy_options::recursive);
    }
    std::string error;
    if (!kwCompany::Open(folder.string(), &error)) {
        std::fprintf(stderr, "bench_print: %s\n", error.c_str());
        return 1;
    }
    kwCompany::SetCurrentOperatorId("ADMIN");
    xio_open_def def;
    std::strcpy(def.abbrev, "QVI");
    def.create = 1;
    short file = 0;
    if (xio_open_file(&def, &file) != XIO_OK) return 1;

    AddIssues(file, 1, records);
    Round(file, records, folder);
    AddIssues(file, records + 1, 10 * records);
    Round(file, 10 * records, folder);
    std::printf("Memory is bounded when the peak for %d issues is close to the peak for %d.\n", 10 * records, records);

    xio_cls_file(file);
    kwCompany::Close();
    fs::remove_all(folder);
    return 0;
}
