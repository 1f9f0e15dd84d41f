// Which company qvadmin works on when none is named, and what it says about it; its version.
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct AdminResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs qvadmin with the environment given before it (VAR=value ...) and the arguments.
AdminResult Admin(const std::string& environment, const std::string& args, const std::string& scratch) {
    const std::string errFile = scratch + "/stderr.txt";
    const std::string command = "env -u QV_DATA " + environment + " " + std::string(QV_BIN_DIR) +
                                "/qvadmin " + args + " 2>'" + errFile + "'";
    AdminResult run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    std::stringstream text;
    text << err.rdbuf();
    run.err = text.str();
    return run;
}

std::string Canonical(const std::string& folder) { return fs::canonical(folder).string(); }

} // namespace

TEST(qvadminCompany, ChosenByDataThenEnvironmentThenLastOpenedThenDemoAndNamedWhenNotGiven) {
    const std::string scratch = TestCompany::MakeTempFolder("qvadmin-choice-");
    const std::string user = "XDG_CONFIG_HOME='" + scratch + "/config' XDG_DATA_HOME='" + scratch + "/data'";
    TestCompany named(false);
    TestCompany environment(false);
    TestCompany last(false);
    std::ofstream(named.Path("company.json")) << R"({ "name": "Named Co" })";
    std::ofstream(environment.Path("company.json")) << R"({ "name": "Environment Co" })";
    std::ofstream(last.Path("company.json")) << R"({ "name": "Last Co" })";

    AdminResult run = Admin(user, "--data '" + named.Folder() + "' issue list", scratch);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "") << "a company named with --data needs no word";

    run = Admin(user, "issue list", scratch);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "qvadmin: company Demo Company (" + scratch + "/data/quorvel/demo), the demo company\n")
        << "nothing named, nothing opened before: the demo, copied for the user";

    fs::create_directories(scratch + "/config/quorvel");
    std::ofstream(scratch + "/config/quorvel/last-company") << last.Folder() << "\n";
    run = Admin(user, "issue list", scratch);
    EXPECT_EQ(run.err, "qvadmin: company Last Co (" + Canonical(last.Folder()) + "), the one qv opened last\n");

    run = Admin(user + " QV_DATA='" + environment.Folder() + "'", "issue list", scratch);
    EXPECT_EQ(run.err, "qvadmin: company Environment Co (" + Canonical(environment.Folder()) +
                           "), named by QV_DATA\n");

    run = Admin(user, "--data '' issue list", scratch);
    EXPECT_EQ(run.exitCode, 1) << "an empty folder name is the user's error";
    EXPECT_NE(run.err.find("the folder name is empty"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Demo Company"), std::string::npos) << "and never means the demo";
    fs::remove_all(scratch);
}

TEST(qvadminCompany, VersionComesFromTheOneVersionHeader) {
    const std::string scratch = TestCompany::MakeTempFolder("qvadmin-version-");
    const AdminResult run = Admin("", "--version", scratch);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(std::regex_match(run.out, std::regex(R"(qvadmin \(\w+\) \d+\.\d+\.\d+\n)"))) << run.out;
    fs::remove_all(scratch);
}
