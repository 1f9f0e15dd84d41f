// Damaged data files: reads answer the damage rather than a short end of file, the check
// finds it, and the repair rebuilds the file from every record that can still be read.
// The damage is real: pages overwritten and bytes flipped at fixed seeds, files cut short.
#include "RecordManagerTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

using rmtest::AddItems;
using rmtest::WalkItems;
using rmtest::WriteTestDictionary;

constexpr int kItems = 600;
constexpr long kPage = 4096;

// The TST file with kItems items whose notes fill about a hundred pages, LASTID 77.
void MakeFile() {
    kwioDataFile file;
    ASSERT_EQ(file.PromptedOpen("TST", 1, "", 0, true, true, false), 0);
    xio_set_durability(file.FileNum(), XIO_FAST);
    ASSERT_EQ(AddItems(file.FileNum(), 1, kItems, 600), 0);
    ASSERT_EQ(xio_rd_header(file.FileNum(), 1, 1), 0);
    rmtest::PutNumber(file.FileNum(), xio_num(file.FileNum(), 0, 0, "LASTID"), 77);
    ASSERT_EQ(xio_wr_header(file.FileNum(), 1), 0);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Overwrites most of one page (past the page's header) with noise.
void DamagePage(const std::string& path, long page, unsigned seed) {
    std::string bytes = ReadAll(path);
    std::mt19937 random(seed);
    for (long at = page * kPage + 8; at < (page + 1) * kPage && at < static_cast<long>(bytes.size()); ++at)
        bytes[static_cast<size_t>(at)] = static_cast<char>(random());
    WriteAll(path, bytes);
}

void FlipBytes(const std::string& path, int count, unsigned seed) {
    std::string bytes = ReadAll(path);
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
    WriteAll(path, bytes);
}

short OpenQuietly(kwioDataFile& file) { return file.PromptedOpen("TST", 1, "", 0, false, true, false); }

class FileDoctor : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestDictionary(company);
        MakeFile();
        pristine = ReadAll(path);
        ASSERT_FALSE(fs::exists(path + "-wal")) << "closed files keep no log";
    }
    TestCompany company{false};
    const std::string path = company.Path("TEST.TST");
    std::string pristine;
};

} // namespace

TEST_F(FileDoctor, ReadsAnswerDamageAndNeverAShortEnd) {
    const long pages = static_cast<long>(pristine.size()) / kPage;
    ASSERT_GT(pages, 60) << "the records fill many pages";

    DamagePage(path, pages / 2, 1);
    {
        kwioDataFile file;
        ASSERT_EQ(OpenQuietly(file), 0) << "the file's start is whole";
        short ending = 0;
        const int seen = WalkItems(file.FileNum(), &ending);
        EXPECT_LT(seen, kItems);
        EXPECT_EQ(ending, XIO_CORRUPT) << "the walk stops at the damage with 14, after " << seen << " records";
        EXPECT_EQ(xio_status(file.FileNum()), XIO_CORRUPT);
        EXPECT_NE(xio_error_text(file.FileNum(), XIO_CORRUPT).find("File Doctor"), std::string::npos);
        EXPECT_EQ(AddItems(file.FileNum(), 5000, 1), XIO_CORRUPT) << "nothing more is written to a damaged file";
    }

    // Cut short.
    WriteAll(path, pristine.substr(0, pristine.size() * 6 / 10));
    {
        kwioDataFile file;
        short status = OpenQuietly(file);
        short ending = status;
        int seen = status ? 0 : WalkItems(file.FileNum(), &ending);
        EXPECT_TRUE(ending == XIO_CORRUPT || (ending == XIO_NO_RECORD && seen == kItems))
            << "a truncated file answers " << ending << " after " << seen << " records";
    }

    // Bytes flipped anywhere: every read either sees every record or answers an error.
    int damaged = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        WriteAll(path, pristine);
        FlipBytes(path, 50, seed);
        kwioDataFile file;
        const short status = OpenQuietly(file);
        if (status) {
            EXPECT_NE(status, XIO_NO_RECORD);
            ++damaged;
            continue;
        }
        short ending = 0;
        const int seen = WalkItems(file.FileNum(), &ending);
        if (ending == XIO_NO_RECORD) EXPECT_EQ(seen, kItems) << "seed " << seed << ": a short walk called complete";
        else ++damaged;
    }
    EXPECT_GT(damaged, 0) << "some of the flips were found";
}

TEST_F(FileDoctor, CheckFindsDamageAndRepairSavesEveryReadableRecord) {
    xio_file_report report;
    ASSERT_EQ(xio_check_file("TST", &report), 0) << report.Text();
    ASSERT_EQ(report.records.size(), 2u);
    EXPECT_EQ(report.records[0], std::make_pair(short{1}, int64_t{kItems}));
    EXPECT_EQ(xio_repair_file("tst", &report), 0);
    EXPECT_FALSE(report.repaired) << "a sound file is left as it is";
    EXPECT_EQ(ReadAll(path), pristine);

    const long pages = static_cast<long>(pristine.size()) / kPage;
    DamagePage(path, pages / 3, 2);
    DamagePage(path, pages * 2 / 3, 3);
    ASSERT_EQ(xio_check_file("TST", &report), XIO_CORRUPT);
    EXPECT_FALSE(report.problems.empty());
    EXPECT_EQ(ReadAll(path).size(), pristine.size()) << "the check changes nothing";

    {
        kwioDataFile user;
        ASSERT_EQ(OpenQuietly(user), 0);
        EXPECT_EQ(xio_repair_file("TST", &report), XIO_LOCKED) << "not while someone has it open";
        ASSERT_FALSE(report.problems.empty());
        EXPECT_NE(report.problems[0].find("close"), std::string::npos) << report.problems[0];
    }

    std::vector<std::string> stages;
    const short status = xio_repair_file("TST", &report, [&](int, const std::string& stage) {
        if (stages.empty() || stages.back() != stage) stages.push_back(stage);
        return true;
    });
    EXPECT_EQ(status, 0) << report.Text();
    EXPECT_TRUE(report.repaired);
    EXPECT_TRUE(report.everythingReadableSaved);
    EXPECT_GT(stages.size(), 2u) << "progress was told";
    EXPECT_LT(report.saved, kItems) << "two damaged pages held records";
    EXPECT_GT(report.saved, kItems / 2);
    ASSERT_TRUE(fs::exists(report.backupPath));
    EXPECT_NE(report.backupPath.find("TEST.TST.damaged-"), std::string::npos);
    EXPECT_EQ(ReadAll(report.backupPath).size(), pristine.size()) << "the damaged file is kept as it was";
    bool namedByKey = false;
    for (const auto& line : report.unsaved) namedByKey = namedByKey || line.find("ID ") != std::string::npos;
    EXPECT_TRUE(namedByKey) << "records lost are named by their key where an index knows them\n" << report.Text();
    EXPECT_NE(report.Text().find("records saved"), std::string::npos);

    xio_file_report after;
    EXPECT_EQ(xio_check_file("TST", &after), 0) << after.Text();
    kwioDataFile file;
    ASSERT_EQ(OpenQuietly(file), 0);
    short ending = 0;
    EXPECT_EQ(WalkItems(file.FileNum(), &ending), report.saved);
    EXPECT_EQ(ending, XIO_NO_RECORD);
    int64_t count = 0;
    ASSERT_EQ(xio_count_records(file.FileNum(), 1, &count), 0);
    EXPECT_EQ(count, report.saved);
    ASSERT_EQ(xio_rd_header(file.FileNum(), 1, 0), 0);
    EXPECT_EQ(rmtest::GetNumber(file.FileNum(), xio_num(file.FileNum(), 0, 0, "LASTID")), 77)
        << "the header is carried over";
    ASSERT_EQ(AddItems(file.FileNum(), kItems + 1, 1), 0) << "the new file takes writes";
}

TEST_F(FileDoctor, ATruncatedFileIsRepairedFromWhatIsLeft) {
    WriteAll(path, pristine.substr(0, pristine.size() / 2));
    xio_file_report report;
    ASSERT_EQ(xio_check_file("TST", &report), XIO_CORRUPT);
    const short status = xio_repair_file("TST", &report);
    EXPECT_EQ(status, 0) << report.Text();
    ASSERT_TRUE(report.repaired);
    EXPECT_GT(report.saved, 0) << report.Text();
    EXPECT_LT(report.saved, kItems);
    xio_file_report after;
    EXPECT_EQ(xio_check_file("TST", &after), 0) << after.Text();

    // Cancelled halfway: nothing changes.
    DamagePage(path, static_cast<long>(ReadAll(path).size()) / kPage / 2, 4);
    const std::string damaged = ReadAll(path);
    EXPECT_EQ(xio_repair_file("TST", &report, [](int percent, const std::string&) { return percent < 40; }),
              XIO_CANCELLED);
    EXPECT_EQ(ReadAll(path), damaged);
}
