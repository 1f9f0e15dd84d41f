// qvadmin's start: a company whose settings hold a value of the wrong type is refused with
// a message naming company.json, and the tool ends with a user or data error, never a crash.
#include "TestCompany.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <sys/wait.h>

namespace {

struct AdminRun {
    int status = -1; // exit code, or 128 + signal
    std::string err;
};

AdminRun Qvadmin(const std::string& folder, const std::string& args) {
    const std::string errFile = folder + ".stderr";
    const std::string command = std::string(QV_BIN_DIR) + "/qvadmin --data '" + folder + "' " + args +
                                " >/dev/null 2>'" + errFile + "'";
    const int raw = std::system(command.c_str());
    AdminRun run;
    if (WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    else if (WIFSIGNALED(raw)) run.status = 128 + WTERMSIG(raw);
    run.err = ReadAll(errFile);
    std::remove(errFile.c_str());
    return run;
}

} // namespace

TEST(qvadminStart, ACompanyJsonOfWrongTypesIsAnErrorNamingTheFile) {
    TestCompany company(false);
    const std::string path = company.Path("company.json");
    const auto settings = nlohmann::json::parse(ReadAll(path));
    const std::pair<const char*, nlohmann::json> cases[] = {
        {"name", 7}, {"name", nullptr}, {"name", true}, {"dateFormat", 5},
    };
    for (const auto& [key, bad] : cases) {
        nlohmann::json spoiled = settings;
        spoiled[key] = bad;
        WriteAll(path, spoiled.dump(2));
        const AdminRun run = Qvadmin(company.Folder(), "issue list");
        EXPECT_GT(run.status, 0) << key << " = " << bad.dump();
        EXPECT_LT(run.status, 128) << "no crash: " << key << " = " << bad.dump() << "\n" << run.err;
        EXPECT_NE(run.err.find("company.json"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(key), std::string::npos) << "the key is named: " << run.err;
    }
    WriteAll(path, settings.dump(2));
    EXPECT_EQ(Qvadmin(company.Folder(), "issue list").status, 0) << "the mended company opens";
}
