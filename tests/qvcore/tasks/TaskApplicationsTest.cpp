// Applications: the list offered (installed, not hidden, sorted by name, without those
// marked not available, however many), the preferences saved, the drop-downs rebuilt and
// the enabling rule.
#include "qvcore/tasks/TaskApplications.h"

#include "kwapp/app/kwApplication.h"

#include "kwcommon/prefs/xpref.h"

#include "TestApplication.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {
class Applications : public ::testing::Test {
protected:
    void SetUp() override {
        _config = TestCompany::MakeTempFolder("qvapps-config-");
        ::setenv("XDG_CONFIG_HOME", _config.c_str(), 1);
        TaskApplications::LoadPrefs();
    }
    void TearDown() override {
        ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(_config, ignored);
    }
    static std::vector<std::string> Codes(const TaskApplications::AppList& list) {
        std::vector<std::string> codes;
        for (const auto& entry : list) codes.push_back(entry.first);
        return codes;
    }
    kwApplication app{"Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26")};
    TestCompany company{false};
    std::string _config;
};

class Blocker : public kwTask {
public:
    explicit Blocker(unsigned short id) : kwTask("Blocker", 0, id, 0, {}, {}) {}
    void Start() override { NotifyStart(); }
};
} // namespace

TEST_F(Applications, OffersInstalledVisibleApplicationsByNameUnlessMarkedNotAvailable) {
    TaskApplications::AppList list;
    TaskApplications::FillAppList(&list);
    EXPECT_EQ(Codes(list), (std::vector<std::string>{"AP", "AR", "BL", "CM", "CN", "EQ", "GL", "JC", "PR", "QX", "PM", "QV"}))
        << "sorted by name (Payroll before Property Management); SY is hidden, IV and SM not installed";

    auto* task = &app.AddTask(std::make_unique<TaskApplications>());
    std::vector<std::string> offered;
    auto panel = TaskApplications::PanelSeam().Replace(
        [&](const TaskApplications::AppList& applications, std::vector<std::string>* notAvailable, bool* showNames) {
            offered = Codes(applications);
            *notAvailable = {"GL", "PR"};
            *showNames = false;
            return true;
        });
    int rebuilt = 0;
    const int handler = TaskApplications::AddAppListChangedHandler([&] { ++rebuilt; });
    task->Start();
    EXPECT_EQ(offered.front(), "AP") << "the panel gets the company's order";
    EXPECT_EQ(rebuilt, 1) << "the drop-downs are rebuilt at once";
    EXPECT_EQ(task->Status(), kwTask::IDLE);
    char value[513] = {};
    ASSERT_TRUE(xpref_get_string(XPREF_USER, "Quorvel", "AppsNotAvailable", value, sizeof value));
    EXPECT_STREQ(value, "GL,PR");
    ASSERT_TRUE(xpref_get_string(XPREF_USER, "Quorvel", "DisplayAppName", value, sizeof value));
    EXPECT_STREQ(value, "No");

    list.clear();
    TaskApplications::FillAppList(&list);
    EXPECT_EQ(Codes(list), (std::vector<std::string>{"AP", "AR", "BL", "CM", "CN", "EQ", "JC", "QX", "PM", "QV"}));

    // A panel left without saving changes nothing.
    auto unsaved = TaskApplications::PanelSeam().Replace(
        [](const TaskApplications::AppList&, std::vector<std::string>* notAvailable, bool*) {
            notAvailable->clear();
            return false;
        });
    task->Start();
    EXPECT_EQ(rebuilt, 1);
    EXPECT_EQ(TaskApplications::NotAvailable(), (std::vector<std::string>{"GL", "PR"}));
    TaskApplications::RemoveAppListChangedHandler(handler);
}

TEST_F(Applications, DisplayAppNameIsReadWithoutRegardToCase) {
    ASSERT_TRUE(xpref_put_string(XPREF_USER, "Quorvel", "DisplayAppName", "no"));
    TaskApplications::LoadPrefs();
    EXPECT_TRUE(TaskApplications::HideAppName());
    ASSERT_TRUE(xpref_put_string(XPREF_USER, "Quorvel", "DisplayAppName", "Maybe"));
    TaskApplications::LoadPrefs();
    EXPECT_FALSE(TaskApplications::HideAppName()) << "anything but No shows the names";
}

TEST_F(Applications, MoreThanFortyApplicationsAreAllOffered) {
    nlohmann::json apps = nlohmann::json::array();
    for (int i = 0; i < 45; ++i) {
        const std::string code{static_cast<char>('A' + i / 26), static_cast<char>('A' + i % 26)};
        apps.push_back({{"code", code}, {"name", "Application " + std::to_string(100 + i)}, {"installed", true}, {"hidden", i == 44}});
    }
    std::ofstream(company.Path("applications.json")) << nlohmann::json{{"applications", apps}}.dump();
    EXPECT_EQ(TaskApplications::InstalledApplications().size(), 44u) << "all 45 but the hidden one";
}

TEST_F(Applications, DisabledWhileTask6001Runs) {
    auto* task = &app.AddTask(std::make_unique<TaskApplications>());
    EXPECT_TRUE(task->IsEnabled());
    auto* blocker = &app.AddTask(std::make_unique<Blocker>(6001));
    blocker->Start();
    EXPECT_FALSE(task->IsEnabled());
    blocker->End();
    EXPECT_TRUE(task->IsEnabled());
}

TEST_F(Applications, TheBroadcastOfAnotherProgramRebuildsTheList) {
    int rebuilt = 0;
    const int handler = TaskApplications::AddAppListChangedHandler([&] { ++rebuilt; });
    ASSERT_TRUE(xpref_put_string(XPREF_USER, "Quorvel", "AppsNotAvailable", "AP"));
    EXPECT_FALSE(TaskApplications::OnSuiteMessage("<MessageTypeDescriptor MessageId='XX.Other'/>"));
    EXPECT_EQ(rebuilt, 0);
    EXPECT_TRUE(TaskApplications::OnSuiteMessage(TaskApplications::BROADCAST));
    EXPECT_GE(rebuilt, 1);
    EXPECT_EQ(TaskApplications::NotAvailable(), std::vector<std::string>{"AP"}) << "the preferences were read again";
    TaskApplications::RemoveAppListChangedHandler(handler);
}
