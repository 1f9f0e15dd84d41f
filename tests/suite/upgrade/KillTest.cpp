// The host killed while it converts: at a seeded list of kill points (records written,
// the backup, the end of the old file's log, the placing of the new file, the removal of
// cross-references) the issue file must still open and hold every issue, either all in
// the old version or all in the new one, and a second run must finish the upgrade.
//
// QV_KILL_ISSUES (default 10000), QV_KILL_RUNS (default 30) and QV_KILL_SEED make the long
// run of scripts/upgrade-kill-test.
#include "UpgradeTestSupport.h"

#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <random>
#include <set>
#include <string>

namespace {
long Setting(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// The kill points a finished run passed ("kill points: N" on its error stream).
long PointsOf(const HostRun& run) {
    const size_t at = run.err.rfind("kill points: ");
    return at == std::string::npos ? 0 : std::strtol(run.err.c_str() + at + 13, nullptr, 10);
}

// runs points: the steps of storing and placing the new file (the six points after the
// last record: stored, closed, backed up, log ended, removals written down, placed), the
// last two points, the first and the last record, and the rest drawn from the records
// with a fixed seed.
std::vector<long> ChoosePoints(long total, long records, size_t runs, unsigned seed) {
    std::set<long> points;
    for (long p = records + 1; p <= std::min(total, records + 6); ++p) points.insert(p);
    for (long p : {total - 1, total, 1L, records}) points.insert(std::clamp(p, 1L, total));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> pick(1, std::max(1L, records));
    while (points.size() < runs && static_cast<long>(points.size()) < total) points.insert(pick(random));
    return {points.begin(), points.end()};
}
} // namespace

TEST(qvupgradeKill, KilledAnywhereLeavesTheOldOrTheNewFileWhole) {
    const long issues = Setting("QV_KILL_ISSUES", 10000);
    const size_t runs = static_cast<size_t>(Setting("QV_KILL_RUNS", 30));
    const unsigned seed = static_cast<unsigned>(Setting("QV_KILL_SEED", 20240611));

    CompanyCopy base(SeededDemoFolder());
    const int64_t dropped = WriteOldIssues(base.Folder(), issues);
    const IssueFileDigest before = DigestIssueFile(base.Folder());
    ASSERT_EQ(before.issues, issues) << before.error;

    // The run that is not interrupted gives the new version and the number of points.
    CompanyCopy reference(base.Folder());
    const HostRun full = RunHost("--data '" + reference.Folder() + "'", "QV_UPGRADE_KILL_AT=0");
    ASSERT_EQ(full.exitCode, 0) << full.out << full.err;
    const IssueFileDigest after = DigestIssueFile(reference.Folder());
    ASSERT_EQ(after.dataVersion, "13.1.0") << after.error;
    ASSERT_EQ(after.issues, issues - dropped);
    // A vendor link on every 10th issue, a bank link on every 250th (the dropped ones too).
    ASSERT_EQ(after.links, issues / 10 + issues / 250 - 2 * dropped);
    const long total = PointsOf(full);
    const long written = after.issues + after.links; // one point per record written
    ASSERT_GT(total, written) << full.err;

    for (const long point : ChoosePoints(total, written, runs, seed)) {
        SCOPED_TRACE("killed at point " + std::to_string(point) + " of " + std::to_string(total));
        CompanyCopy work(base.Folder());
        const HostRun killed = RunHost("--data '" + work.Folder() + "'", "QV_UPGRADE_KILL_AT=" + std::to_string(point));
        ASSERT_EQ(killed.signal, SIGKILL) << killed.out << killed.err;
        const IssueFileDigest left = DigestIssueFile(work.Folder());
        EXPECT_TRUE(left == before || left == after)
            << "version " << left.dataVersion << ", " << left.issues << " issues, " << left.links << " links "
            << left.error;
        // The run after a kill finishes the upgrade: after the first point, after the
        // backup (a second backup gets a name of its own) and after the placing (the
        // cross-reference records written down are removed).
        if (point == 1 || point == written + 3 || point == written + 6) {
            const HostRun again = RunHost("--data '" + work.Folder() + "'");
            EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
            EXPECT_EQ(DigestIssueFile(work.Folder()), after);
        }
    }
}
