// Issues created through the issue store against bare record-manager writes of the same
// records, in the same run. The issue store does what the New Issue sheet does per issue:
// draws the next number (header read with lock, LASTID + 1, header written), writes the
// provisional record and locks it, and on OK rewrites it (read with lock, replace,
// unlock). The bare baseline puts the same 71 field values and writes the record once.
//   bench_issue_store [--issues N]
// Prints issues per second of each and the ratio (issue store / bare).
#include "qvcore/tasks/qvCommands.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/xio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr short kProgram = QV_CMD_NEW_ISSUE;
const char* kStatuses[] = {"", "Open", "On-Hold", "Closed"};
const char* kPeople[] = {"Alex Rivera", "Dana Whitfield", "Lee Okafor", ""};

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A company of its own for each side, so neither file grows by the other's records.
std::string MakeCompany(const char* name) {
    const fs::path folder = fs::temp_directory_path() / ("qvbench-" + std::string(name) + "-" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(QV_DEMO_DIR)) {
        if (entry.path().filename() == "seed") continue;
        fs::copy(entry.path(), folder / entry.path().filename(), fs::copy_options::recursive);
    }
    return folder.string();
}

bool OpenCompany(const std::string& folder) {
    std::string error;
    if (kwCompany::Open(folder, &error)) return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

// The values a user enters on the sheet.
void Fill(qvIssue& issue, int i) {
    issue.Value(QV_FORMESS).Set("Issue " + std::to_string(i) + ": the invoice total does not match the receiving report");
    issue.Value(QV_STATUS).Set(kStatuses[i % 4]);
    issue.Value(QV_RESPONS).Set(kPeople[i % 4]);
    issue.Value(QV_CLASSIF).Set(i % 3 ? "Software" : "Hardware");
    issue.Value(QV_DUEDATE).Set("03/" + std::to_string(1 + i % 28) + "/2026");
}

} // namespace

int main(int argc, char** argv) {
    int issues = 5000;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--issues") && i + 1 < argc) issues = std::max(1, std::atoi(argv[++i]));

    // The issue store, as the sheet stores a new issue.
    const std::string storeFolder = MakeCompany("store");
    if (!OpenCompany(storeFolder)) return 1;
    kwCompany::SetCurrentOperatorId("ADMIN");
    double storeSeconds = 0;
    std::vector<std::vector<x_value_def>> records; // what was stored, for the baseline
    {
        qvIssueFile file(kProgram);
        if (!file.Open()) return 1;
        const auto start = Clock::now();
        for (int i = 1; i <= issues; ++i) {
            qvIssue issue(file.Number(), kProgram, true);
            if (!issue.AddRecord()) return 2;
            Fill(issue, i);
            if (!issue.ReplaceRecord()) return 2;
        }
        storeSeconds = Seconds(start);
        // The stored records' values, field by field, as the baseline writes them.
        xio_clr_record(file.Number(), QV_RECORD_ISSUE);
        for (short s = xio_rd_first(file.Number(), QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0); s == 0;
             s = xio_rd_next(file.Number(), QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0)) {
            std::vector<x_value_def> values(72);
            for (short n = 1; n <= 71; ++n) xio_get_field(file.Number(), 0, n, &values[static_cast<size_t>(n)]);
            std::string message;
            xio_get_long_text(file.Number(), xio_num(file.Number(), 0, 0, "FORMESS"), &message);
            values[0].SetText(message);
            records.push_back(std::move(values));
        }
    }
    kwCompany::Close();

    // Bare writes of the same records.
    const std::string bareFolder = MakeCompany("bare");
    if (!OpenCompany(bareFolder)) return 1;
    double bareSeconds = 0;
    {
        qvIssueFile file(kProgram);
        if (!file.Open()) return 1;
        const short f = file.Number();
        const short formess = xio_num(f, 0, 0, "FORMESS");
        const auto start = Clock::now();
        for (const auto& values : records) {
            xio_clr_record(f, 1);
            for (short n = 1; n <= 71; ++n) {
                if (n == formess)
                    xio_put_long_text(f, n, values[0].AsText());
                else
                    xio_put_field(f, 0, n, &values[static_cast<size_t>(n)]);
            }
            if (xio_wr_record(f, 1, 0) != 0) return 2;
        }
        bareSeconds = Seconds(start);
    }
    kwCompany::Close();

    std::printf("%d issues\n", issues);
    std::printf("issue store (number, add, rewrite)  %9.0f issues/s  %8.3f s\n", issues / storeSeconds, storeSeconds);
    std::printf("bare record-manager writes          %9.0f issues/s  %8.3f s\n", issues / bareSeconds, bareSeconds);
    std::printf("ratio issue store / bare            %9.2f   (the sheet's three transactions and two locks per issue\n"
                "                                               against one write)\n",
                storeSeconds / bareSeconds);
    fs::remove_all(storeFolder);
    fs::remove_all(bareFolder);
    return 0;
}
