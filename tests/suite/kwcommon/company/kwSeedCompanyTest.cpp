// Demo records: the copied demo company holds them in real data files, a load can be run
// again without doubling anything, and a broken seed file leaves no data and no company.
#include "TestCompany.h"

#include "kwcommon/company/kwSeedCompany.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

nlohmann::json ReadJson(const fs::path& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in);
}

// Rows per (abbreviation, record type) as the demo's seed files give them.
std::map<std::pair<std::string, short>, int64_t> SeedCounts() {
    std::map<std::pair<std::string, short>, int64_t> counts;
    for (const auto& entry : fs::directory_iterator(fs::path(TestCompany::DemoFolder()) / "seed")) {
        const auto doc = ReadJson(entry.path());
        const std::string abbrev = doc["file"];
        counts[{abbrev, 0}] = 0; // the file itself must exist
        for (const auto& table : doc["records"])
            counts[{abbrev, table["recordType"].get<short>()}] +=
                static_cast<int64_t>(table["rows"].size());
    }
    return counts;
}

int64_t CountRecords(const std::string& abbrev, short type) {
    kwioDataFile file;
    if (file.PromptedOpen(abbrev, 1, "", 0, false, true, false) != 0) return -1;
    int64_t count = -1;
    if (xio_count_records(file.FileNum(), type, &count) != 0) return -1;
    return count;
}

void Put(short file, const char* name, const std::string& text) {
    x_value_def value;
    value.SetText(text);
    xio_put_field(file, 0, xio_num(file, 0, 0, name), &value);
}

void Put(short file, const char* name, double number) {
    x_value_def value;
    value.SetNumber(number);
    xio_put_field(file, 0, xio_num(file, 0, 0, name), &value);
}

x_value_def Get(short file, const char* name) {
    x_value_def value;
    xio_get_field(file, 0, xio_num(file, 0, 0, name), &value);
    return value;
}

std::vector<std::string> DataFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() != ".json" &&
            entry.path().extension() != ".md" && entry.path().filename() != "kwlog.txt")
            names.push_back(entry.path().filename());
    return names;
}

// Removes a temporary folder (and forgets the demo source) however the test ends.
struct Cleanup {
    std::string folder;
    ~Cleanup() {
        unsetenv("QV_DEMO_SOURCE");
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

} // namespace

TEST(kwSeedCompany, DemoCopyHoldsEveryRecordOfItsSeedFiles) {
    TestCompany company(true);
    EXPECT_FALSE(fs::exists(company.Path("seed"))) << "a loaded company keeps no seed folder";
    for (const auto& [table, rows] : SeedCounts()) {
        const auto& [abbrev, type] = table;
        if (type == 0) {
            kwioDataFile file;
            EXPECT_EQ(file.PromptedOpen(abbrev, 1, "", 0, false, true, false), 0)
                << abbrev << " data file exists";
            continue;
        }
        EXPECT_EQ(CountRecords(abbrev, type), rows) << abbrev << " record type " << type;
    }
    EXPECT_TRUE(fs::exists(company.Path("REGISTER.CMT")))
        << "the bank register keeps its file name";
    EXPECT_EQ(CountRecords("APZ", 2), 0) << "cross-reference files start empty";

    // Values arrive as the record manager stores them.
    kwioDataFile accounts;
    ASSERT_EQ(accounts.PromptedOpen("GLA", 1, "", 0, false, true, false), 0);
    Put(accounts.FileNum(), "ACCOUNT", "100000000");
    EXPECT_EQ(xio_rd_record(accounts.FileNum(), 1, 0, 0), 0)
        << "a sectioned account is stored without separators";
    EXPECT_EQ(Get(accounts.FileNum(), "ADESC").AsText(), "Cash - operating");

    kwioDataFile register_;
    ASSERT_EQ(register_.PromptedOpen("CMT", 1, "", 0, false, true, false), 0);
    const short r = register_.FileNum();
    ASSERT_EQ(xio_rd_first(r, 1, 0, 0), 0);
    const double check = Get(r, "TCHECK").AsNumber();
    const std::string bank = Get(r, "TBNKACC").AsText();
    const double run = Get(r, "TRUN").AsNumber(), seq = Get(r, "TSEQ").AsNumber();
    const double date = Get(r, "TDATE").AsNumber();
    ASSERT_NE(check, 0) << "the first register entry is a check";
    xio_clr_record(r, 1);
    Put(r, "TBNKACC", bank);
    Put(r, "TCHECK", check);
    ASSERT_EQ(xio_rd_record(r, 1, 6, 0), 0)
        << "the register is found by bank and check through key 6";
    EXPECT_EQ(Get(r, "TRUN").AsNumber(), run);
    EXPECT_EQ(Get(r, "TSEQ").AsNumber(), seq);
    EXPECT_EQ(Get(r, "TDATE").AsNumber(), date);
    EXPECT_TRUE(date > 20240100 && date < 20241232) << "dates are stored as YYYYMMDD: " << date;

    kwioDataFile trans;
    ASSERT_EQ(trans.PromptedOpen("ART", 1, "", 0, false, true, false), 0);
    int payments = 0;
    for (short s = xio_rd_first(trans.FileNum(), 1, 0, 0); s == 0;
         s = xio_rd_next(trans.FileNum(), 1, 0, 0))
        payments += Get(trans.FileNum(), "TTYPE").AsNumber() == 2;
    EXPECT_GT(payments, 0) << "choice texts are stored as item numbers (Payment = 2)";
}

TEST(kwSeedCompany, RunsAgainWithoutDoublingAndKeepsTheCurrentCompany) {
    TestCompany current(false);
    const std::string other = TestCompany::MakeTempFolder("qvseed-");
    Cleanup cleanup{other};
    fs::copy(TestCompany::DemoFolder(), other, fs::copy_options::recursive);
    std::string error;
    ASSERT_TRUE(kwSeedCompany(other, &error)) << error;
    EXPECT_EQ(kwCompany::Folder(), fs::weakly_canonical(current.Folder()).string())
        << "the company that was current before is current again";
    EXPECT_FALSE(fs::exists(other + "/seed"));
    EXPECT_TRUE(kwSeedCompany(other, &error)) << "a loaded company has nothing left to load";

    // A load cut short: the seed folder comes back and is loaded over what is there.
    fs::copy(fs::path(TestCompany::DemoFolder()) / "seed", other + "/seed",
             fs::copy_options::recursive);
    ASSERT_TRUE(kwSeedCompany(other, &error)) << error;
    ASSERT_TRUE(kwCompany::Open(other, &error)) << error;
    for (const auto& [table, rows] : SeedCounts())
        if (table.second != 0) {
            EXPECT_EQ(CountRecords(table.first, table.second), rows) << table.first;
        }
    kwCompany::Close();
}

TEST(kwSeedCompany, ABrokenSeedFileWritesNothingAndSaysWhere) {
    struct Case {
        const char* file;
        const char* text;
        const char* expected; // part of the message
    };
    const Case cases[] = {
        {"apv.json", "{ \"file\": \"APV\", \"records\": [", "seed/apv.json: not valid JSON"},
        {"apv.json",
         R"({"file": "APV", "records": [{"recordType": 1, "fields": ["VENDOR", "NOPE"], "rows": []}]})",
         "records[0].fields[1]: \"NOPE\" is no field"},
        {"apv.json", R"({"file": "APV", "records": [{"recordType": 1, "fields": ["VENDOR", "VNAME"],
          "rows": [["ACME", "A name far longer than the thirty characters"]]}]})",
         "rows[0][1]"},
        {"api.json",
         R"({"file": "API", "records": [{"recordType": 1, "fields": ["IVENDOR", "INVOICE", "IDATE"],
          "rows": [["ACME", "1", "2024-02-30"]]}]})",
         "is no date of the calendar"},
        {"art.json",
         R"({"file": "ART", "records": [{"recordType": 1, "fields": ["TCUST", "TTYPE", "TDATE", "TSEQ"],
          "rows": [["ALDEN", "Refund", "2024-01-02", 1]]}]})",
         "\"Refund\" is no item of TTYPE"},
        {"apv.json",
         R"({"file": "APV", "records": [{"recordType": 1, "fields": ["VENDOR"], "rows": [["A"], ["A"]]}]})",
         "rows[1]: repeats the key"},
        {"apv.json",
         R"({"file": "APV", "records": [{"recordType": 1, "fields": ["VNAME"], "rows": []}]})",
         "the key field VENDOR must be given"},
        {"apv.json",
         R"({"file": "APV", "records": [{"recordType": 1, "fields": ["VENDOR", "VBAL"], "rows": [["A"]]}]})",
         "must list 2 values"},
        {"xxq.json", R"({"file": "XXQ", "records": []})", "no usable dictionary for \"XXQ\""},
        {"apv.json",
         R"({"file": "APV", "records": [{"recordType": 1, "fields": ["VENDOR", "VBAL"], "rows": [["A", "12"]]}]})",
         "VBAL takes a number"},
    };
    for (const Case& c : cases) {
        TestCompany company(false);
        fs::copy(fs::path(TestCompany::DemoFolder()) / "seed", company.Path("seed"),
                 fs::copy_options::recursive);
        std::ofstream(company.Path(std::string("seed/") + c.file)) << c.text;
        kwCompany::Close();

        std::string error;
        EXPECT_FALSE(kwSeedCompany(company.Folder(), &error)) << c.file << ": " << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << "message: " << error;
        EXPECT_TRUE(DataFiles(company.Folder()).empty())
            << "nothing is written before every seed file is checked (" << c.expected << ")";
        EXPECT_TRUE(fs::exists(company.Path("seed"))) << "the seed folder stays for another try";
        EXPECT_FALSE(kwCompany::IsOpen()) << "no company was current before, none is after";
    }
}

TEST(kwSeedCompany, CopyDemoLoadsTheRecordsOrLeavesNoCompany) {
    const std::string root = TestCompany::MakeTempFolder("qvcopy-");
    Cleanup cleanup{root};
    const std::string source = root + "/source";
    fs::copy(TestCompany::DemoFolder(), source, fs::copy_options::recursive);
    ASSERT_EQ(setenv("QV_DEMO_SOURCE", source.c_str(), 1), 0);

    std::string error;
    ASSERT_TRUE(kwCompany::CopyDemo(root + "/good", &error)) << error;
    EXPECT_TRUE(fs::exists(root + "/good/VENDORS.APV"));
    EXPECT_TRUE(fs::exists(root + "/good/ISSUES.JCZ"));
    EXPECT_FALSE(fs::exists(root + "/good/seed"));
    EXPECT_TRUE(fs::exists(source + "/seed")) << "the demo itself is only read";
    EXPECT_EQ(DataFiles(source), std::vector<std::string>{}) << "the demo itself is only read";
    EXPECT_FALSE(kwCompany::IsOpen());

    std::ofstream(source + "/seed/jcj.json")
        << R"({"file": "JCJ", "records": [{"recordType": 9, "fields": [], "rows": []}]})";
    EXPECT_FALSE(kwCompany::CopyDemo(root + "/bad", &error));
    EXPECT_NE(error.find("JCJ has no record type 9"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(root + "/bad")) << "a failed load leaves no company";
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos)
            << "no half-made copy is left: " << entry.path();
}
