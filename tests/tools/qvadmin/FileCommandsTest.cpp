// qvadmin on damaged issue files, as a user meets them: a 40-issue file with 50 bytes
// flipped at fixed seeds. Listing either shows every issue or is a data error; the check
// finds the damage and the repair gives back a file that lists and checks clean.
#include "TestCompany.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

constexpr int kIssues = 40;

struct AdminRun {
    int exitCode;
    std::string out;
};

AdminRun Admin(const TestCompany& company, const std::string& args) {
    const std::string command =
        std::string(QV_BIN_DIR) + "/qvadmin --data '" + company.Folder() + "' --operator ADMIN " + args + " 2>&1";
    AdminRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

size_t CountLines(const std::string& text) {
    size_t lines = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
}

// The issue file with kIssues issues, made through the record manager.
void MakeIssues() {
    kwioDataFile file;
    ASSERT_EQ(file.PromptedOpen("QVI", 1, "", 0, true, true, false), 0);
    const short f = file.FileNum();
    xio_set_durability(f, XIO_FAST);
    for (int i = 1; i <= kIssues; ++i) {
        xio_init_record(f, 1);
        x_value_def value = x_value_def::OfNumber(i);
        xio_put_field(f, 0, xio_num(f, 0, 0, "ISSUE"), &value);
        value = x_value_def::OfText(i % 2 ? "Open" : "Closed");
        xio_put_field(f, 0, xio_num(f, 0, 0, "STATUS"), &value);
        xio_put_long_text(f, xio_num(f, 0, 0, "FORMESS"), "Issue " + std::to_string(i) + " needs a look");
        ASSERT_EQ(xio_wr_record(f, 1, 0), 0);
    }
    ASSERT_EQ(xio_rd_header(f, 1, 1), 0);
    const x_value_def last = x_value_def::OfNumber(kIssues);
    xio_put_field(f, 0, xio_num(f, 0, 0, "LASTID"), &last);
    ASSERT_EQ(xio_wr_header(f, 1), 0);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(qvadminFile, DamagedIssueFilesAreFoundAndRepaired) {
    TestCompany company(false);
    MakeIssues();
    const std::string path = company.Path("ISSUES.QVI");
    const std::string pristine = ReadAll(path);
    ASSERT_FALSE(fs::exists(path + "-wal"));

    AdminRun run = Admin(company, "file check QVI");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("No problems found."), std::string::npos) << run.out;
    EXPECT_EQ(Admin(company, "file repair QVI").exitCode, 0) << "a sound file needs no repair";
    EXPECT_EQ(ReadAll(path), pristine);
    EXPECT_EQ(Admin(company, "file check").exitCode, 1);
    EXPECT_EQ(Admin(company, "file check NOPE").exitCode, 1) << "an unknown file is the user's error";

    int found = 0;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::string bytes = pristine;
        std::mt19937 random(seed);
        for (int i = 0; i < 50; ++i) bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        for (const auto& entry : fs::directory_iterator(company.Folder()))
            if (entry.path().string().find(".damaged-") != std::string::npos) fs::remove(entry.path());

        run = Admin(company, "issue list");
        if (run.exitCode == 0) {
            EXPECT_EQ(CountLines(run.out), static_cast<size_t>(kIssues))
                << "seed " << seed << ": a list that succeeds shows every issue";
            continue;
        }
        EXPECT_EQ(run.exitCode, 2) << "seed " << seed << ": " << run.out;
        ++found;
        run = Admin(company, "file check QVI");
        EXPECT_EQ(run.exitCode, 2) << "seed " << seed << ": the check finds what the list met\n" << run.out;
        EXPECT_NE(run.out.find("problem"), std::string::npos) << run.out;

        run = Admin(company, "file repair QVI");
        EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 2) << run.out;
        EXPECT_NE(run.out.find("records saved"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(".damaged-"), std::string::npos) << "the report names the kept file\n" << run.out;
        EXPECT_EQ(Admin(company, "file check QVI").exitCode, 0) << "seed " << seed << ": the repaired file is sound";
        EXPECT_EQ(Admin(company, "issue list").exitCode, 0);
        EXPECT_EQ(Admin(company, "file dump QVI --type 2").exitCode, 0);
    }
    EXPECT_GT(found, 0) << "the flips damaged some copies";
}
