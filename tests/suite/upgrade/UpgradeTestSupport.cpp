// Old companies, host runs and issue-file digests for the upgrade tests.
#include "UpgradeTestSupport.h"

#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/company/kwSeedCompany.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>
#include <tuple>
#include <vector>
#include <unistd.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {
std::string OldDemoSource() { return TestCompany::DemoFolder() + "/../demo-old"; }

// A folder made once per test program and removed when it ends (by the process that
// made it only: the host runs as a child of the same program).
struct MadeOnce {
    std::string folder;
    pid_t owner = getpid();
    // keepSeeds: the seed files to load (all when empty).
    MadeOnce(const std::vector<std::string>& layers, const std::set<std::string>& keepSeeds = {}) {
        folder = TestCompany::MakeTempFolder("qvupgrade-base-");
        for (const auto& layer : layers)
            fs::copy(layer, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        if (!keepSeeds.empty())
            for (const auto& entry : fs::directory_iterator(folder + "/seed"))
                if (!keepSeeds.count(entry.path().filename().string())) fs::remove(entry.path());
        std::string error;
        if (!kwSeedCompany(folder, &error)) ADD_FAILURE() << error;
        kwDictionaryLoader::ClearCache();
    }
    ~MadeOnce() {
        std::error_code ignored;
        if (getpid() == owner) fs::remove_all(folder, ignored);
    }
};

void Mix(uint64_t& hash, std::string_view text) {
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull; // FNV-1a
    hash = (hash ^ 0xff) * 1099511628211ull;
}

void PutText(short file, const char* name, const std::string& text) {
    const x_value_def value = x_value_def::OfText(text);
    xio_put_field(file, 0, xio_num(file, 0, 0, name), &value);
}

void PutNumber(short file, const char* name, double number) {
    const x_value_def value = x_value_def::OfNumber(number);
    xio_put_field(file, 0, xio_num(file, 0, 0, name), &value);
}
} // namespace

std::string OldDictionaryPath(const std::string& name) { return OldDemoSource() + "/dict-old/" + name; }

CompanyCopy::CompanyCopy(const std::string& source) {
    _folder = TestCompany::MakeTempFolder("qvupgrade-");
    fs::copy(source, _folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

CompanyCopy::~CompanyCopy() {
    std::error_code ignored;
    fs::remove_all(_folder, ignored);
}

const std::string& OldDemoFolder() {
    static MadeOnce made({TestCompany::DemoFolder(), OldDemoSource()});
    return made.folder;
}

const std::string& SeededDemoFolder() {
    static MadeOnce made({TestCompany::DemoFolder()}, {"cmt.json", "apz.json", "cmz.json"});
    return made.folder;
}

CurrentCompany::CurrentCompany(const std::string& folder) {
    std::string error;
    if (!kwCompany::Open(folder, &error)) ADD_FAILURE() << error;
    kwDictionaryLoader::ClearCache();
}

CurrentCompany::~CurrentCompany() {
    kwCompany::Close();
    kwDictionaryLoader::ClearCache();
}

HostRun RunProgram(const std::string& program, const std::string& args, const std::string& environment) {
    const std::string outPath = TestCompany::MakeTempFolder("qvupgrade-run-");
    const std::string command = environment + " exec '" + std::string(QV_BIN_DIR) + "/" + program + "' " + args + " >'" +
                                outPath + "/out' 2>'" + outPath + "/err'";
    const int status = std::system(command.c_str());
    HostRun run;
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    run.out = ReadAll(outPath + "/out");
    run.err = ReadAll(outPath + "/err");
    std::error_code ignored;
    fs::remove_all(outPath, ignored);
    return run;
}

short ReadFileInfo(const std::string& abbrev, const std::string& path, std::string* dataVersion,
                   std::string* dictionary) {
    xio_open_def def{};
    std::snprintf(def.abbrev, sizeof def.abbrev, "%s", abbrev.c_str());
    std::snprintf(def.path, sizeof def.path, "%s", path.c_str());
    def.readOnly = 1;
    def.forUpgrade = 1;
    short file = 0;
    if (const short status = xio_open_file(&def, &file)) return status;
    xio_def info{};
    xio_get_def(file, &info, 0);
    *dataVersion = info.fileVersion;
    const short status = xio_get_file_dictionary(file, dictionary);
    xio_cls_file(file);
    return status;
}

IssueFileDigest DigestIssueFile(const std::string& companyFolder) {
    IssueFileDigest digest;
    CurrentCompany company(companyFolder);
    const std::string path = companyFolder + "/ISSUES.QVI";
    std::string ownDictionary;
    if (const short status = ReadFileInfo("QVI", path, &digest.dataVersion, &ownDictionary)) {
        digest.error = "file info: " + std::string(xio_status_text(status));
        return digest;
    }
    // It opens through the dictionary it keeps, and the record manager counts its records.
    auto dict = kwDictionaryLoader::Parse(ownDictionary, path, &digest.error);
    if (!dict) return digest;
    xio_open_def def{};
    std::snprintf(def.path, sizeof def.path, "%s", path.c_str());
    def.readOnly = 1;
    short file = 0;
    if (const short status = xio_open_file_with(&def, dict, 0, &file)) {
        digest.error = "open: " + std::string(xio_status_text(status));
        return digest;
    }
    xio_count_records(file, 1, &digest.issues);
    xio_count_records(file, 2, &digest.links);
    xio_cls_file(file);
    // Every column of every record, in the order written.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        digest.error = "sqlite open";
        sqlite3_close(db);
        return digest;
    }
    uint64_t hash = 1469598103934665603ull;
    for (const char* sql : {"SELECT * FROM r1 ORDER BY rowid", "SELECT * FROM r2 ORDER BY rowid",
                            "SELECT * FROM kw_header"}) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) digest.error = sqlite3_errmsg(db);
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                // Numbers by their bits, texts by their bytes: no conversion on the way.
                if (sqlite3_column_type(stmt, c) == SQLITE_FLOAT || sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                    const double number = sqlite3_column_double(stmt, c);
                    Mix(hash, std::string_view(reinterpret_cast<const char*>(&number), sizeof number));
                } else {
                    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, c));
                    Mix(hash, std::string_view(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(stmt, c))));
                }
            }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    digest.hash = hash;
    return digest;
}

int64_t WriteOldIssues(const std::string& folder, int64_t count) {
    CurrentCompany company(folder);
    std::string error;
    auto dict = kwDictionaryLoader::LoadFile(OldDictionaryPath("qvi-6.2.0.dct"), &error);
    EXPECT_TRUE(dict) << error;
    if (!dict) return 0;
    xio_open_def def{};
    def.create = 1;
    short file = 0;
    EXPECT_EQ(xio_open_file_with(&def, dict, 0, &file), XIO_OK);
    EXPECT_EQ(xio_begin_batch(file), XIO_OK);
    // Checks of the demo register (bank, check) and one it does not hold.
    const std::pair<const char*, double> checks[] = {
        {"OPERATING", 10402}, {"PAYROLL", 10408}, {"OPERATING", 10418}, {"OPERATING", 10429}};
    const char* statuses[] = {"Open", "On-Hold", "Closed"};
    int64_t dropped = 0;
    for (int64_t n = 1; n <= count; ++n) {
        xio_init_record(file, 1);
        PutNumber(file, "ISSUE", static_cast<double>(n));
        xio_put_long_text(file, xio_num(file, 0, 0, "FORMESS"),
                          "Issue " + std::to_string(n) + ": the amount on the statement differs from the ledger.");
        PutText(file, "STATUS", statuses[n % 3]);
        PutText(file, "URGENCY", "Normal");
        PutText(file, "RESPONS", n % 2 ? "Dana Whitfield" : "Lee Okafor");
        PutNumber(file, "DUEDATE", 20240000.0 + 100 * (1 + n % 12) + 1 + n % 28);
        PutText(file, "APVND", "ACME");
        PutNumber(file, "ARSTYPE", static_cast<double>(1 + n % 5));
        if (n % 1000 == 500) {
            PutText(file, "CMBANK", "OPERATING");
            PutNumber(file, "CMCHECK", 99000 + static_cast<double>(n / 1000));
            ++dropped;
        } else if (n % 250 == 0) {
            const auto& [bank, check] = checks[(n / 250) % 4];
            PutText(file, "CMBANK", bank);
            PutNumber(file, "CMCHECK", check);
        }
        EXPECT_EQ(xio_wr_record(file, 1, 0), XIO_OK);
        const bool bank = n % 250 == 0;
        for (const auto& [abbrev, type, what] :
             {std::tuple<const char*, double, const char*>{"APZ", 1, "Vendor"}, {"CMZ", 1, "Bank Account"}}) {
            if (std::string(abbrev) == "CMZ" ? !bank : n % 10 != 0) continue;
            xio_init_record(file, 2);
            PutNumber(file, "AISSUE", static_cast<double>(n));
            PutText(file, "FILEABB", abbrev);
            PutNumber(file, "RECNUM", type);
            PutText(file, "RECDESC", what);
            PutText(file, "DATADES", std::string(what) + " of issue " + std::to_string(n) + " ");
            EXPECT_EQ(xio_wr_record(file, 2, 0), XIO_OK);
        }
    }
    EXPECT_EQ(xio_rd_header(file, 0, 1), XIO_OK);
    PutNumber(file, "LASTID", static_cast<double>(count));
    EXPECT_EQ(xio_wr_header(file, 0), XIO_OK);
    EXPECT_EQ(xio_end_batch(file, true), XIO_OK);
    xio_cls_file(file);
    return dropped;
}
