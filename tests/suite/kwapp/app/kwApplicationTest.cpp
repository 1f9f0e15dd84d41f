// The application object: its task registry, command routing, operator rights, macros,
// the command line and switching companies.
#include "kwapp/app/kwApplication.h"

#include "../KwappTestSupport.h"
#include "TestCompany.h"
#include "kwapp/app/kwCommandLine.h"
#include "kwapp/app/kwMainApp.h"
#include "kwapp/app/kwUserSettings.h"
#include "kwapp/tasks/kwTask.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwCompanyChoice.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {
// A task that counts its starts and its destruction.
class CountingTask : public kwTask {
public:
    CountingTask(unsigned short id, FlagsType flags = 0, int* destroyed = nullptr)
        : kwTask("Task " + std::to_string(id), flags, id, 0, {}, {}), _destroyed(destroyed) {}
    ~CountingTask() override {
        if (_destroyed) ++*_destroyed;
    }
    void Start() override {
        ++starts;
        kwTask::Start();
    }
    bool IsEnabled() const override { return enabled; }
    int starts = 0;
    bool enabled = true;

private:
    int* _destroyed;
};

kwApplication MakeApp() { return kwApplication("Tester", "ZZ", kwBase::Version("1.2.3"), kwBase::Version("1.0")); }

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
}
} // namespace

TEST(kwApplication, TasksAreKeptInOrderAndBelongToTheApplication) {
    int destroyed = 0;
    {
        kwApplication app("Tester", "ZZ", kwBase::Version("1.2.3"), kwBase::Version("1.0"));
        ASSERT_EQ(KWGetApp(), &app);
        auto* first = &app.AddTask(std::make_unique<CountingTask>(7100, 0, &destroyed));
        auto* second = &app.AddTask(std::make_unique<CountingTask>(7098, 0, &destroyed));
        app.AddTask(std::make_unique<CountingTask>(7500, 0, &destroyed));
        ASSERT_EQ(app.Tasks().size(), 3u);
        EXPECT_EQ(app.Tasks()[0], first) << "tasks are kept in the order they were made";
        EXPECT_EQ(app.FindTask(7098), second);
        EXPECT_EQ(app.FindTask(1234), nullptr);

        EXPECT_TRUE(app.DestroyTask(7100));
        EXPECT_EQ(destroyed, 1) << "DestroyTask deletes through the virtual destructor";
        EXPECT_EQ(app.FindTask(7100), nullptr);
        EXPECT_FALSE(app.DestroyTask(7100)) << "nothing left to destroy";

        EXPECT_TRUE(app.DestroyTask(7098));
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(app.FindTask(7098), nullptr);

        app.FindTask(7500)->SetID(7501);
        EXPECT_EQ(app.FindTask(7501)->ID(), 7501);
        EXPECT_TRUE(app.FindTask(7501)->VariableID());
    }
    EXPECT_EQ(destroyed, 3) << "the application deletes the tasks it still holds";
    EXPECT_EQ(KWGetApp(), nullptr);
}

TEST(kwApplication, CommandsRunOnlyWhenSomethingHandlesThemAndTheyAreEnabled) {
    kwApplication app = MakeApp();
    auto* task = &app.AddTask(std::make_unique<CountingTask>(7098));
    EXPECT_TRUE(app.OnCommand(7098));
    EXPECT_EQ(task->starts, 1);
    EXPECT_EQ(task->Status(), kwTask::RUNNING);
    task->End();
    EXPECT_EQ(task->Status(), kwTask::IDLE);

    task->enabled = false;
    EXPECT_FALSE(app.IsCommandEnabled(7098));
    EXPECT_FALSE(app.OnCommand(7098)) << "a disabled task does not start";
    EXPECT_EQ(task->starts, 1);

    auto* single = &app.AddTask(std::make_unique<CountingTask>(7200, kwTask::SINGLE));
    EXPECT_TRUE(app.OnCommand(7200));
    EXPECT_FALSE(app.OnCommand(7200)) << "a one-at-a-time task does not start while it runs";
    EXPECT_EQ(single->starts, 1);

    int runs = 0;
    bool allowed = false;
    app.AddCommand(1999, [&] { ++runs; }, [&] { return allowed; });
    EXPECT_FALSE(app.OnCommand(1999));
    allowed = true;
    EXPECT_TRUE(app.OnCommand(1999));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(app.HasHandler(1210));
    EXPECT_FALSE(app.IsCommandEnabled(1210)) << "a command nothing handles is disabled";
    EXPECT_FALSE(app.OnCommand(1210));
}

TEST(kwApplication, PromptsComeFromTheDescriptionThenTheStringTables) {
    kwApplication app = MakeApp();
    app.InitInstance();
    auto* described = &app.AddTask(std::make_unique<CountingTask>(7098));
    EXPECT_EQ(app.CommandPrompt(7098), "Enters a new issue") << "the framework's table";
    described->SetDescription("Sets the things");
    EXPECT_EQ(app.CommandPrompt(7098), "Sets the things");
    EXPECT_EQ(app.CommandPrompt(1110), "Opens an existing company");
    EXPECT_EQ(app.CommandPrompt(4321), "");
}

TEST(kwApplication, OperatorRightsGuardSecuredAndSetupTasks) {
    TestCompany company(false);
    kwApplication app = MakeApp();
    auto* secured = &app.AddTask(std::make_unique<CountingTask>(7010, kwTask::SECURED));
    auto* setup = &app.AddTask(std::make_unique<CountingTask>(7500, kwTask::SETUP));
    EXPECT_TRUE(secured->SecurityAccessAllowed()) << "security off: everything allowed";

    WriteFile(company.Path("operators.json"), R"({ "security": true, "operators": [
        { "id": "ADMIN", "name": "A", "privilege": 1, "denied": { "ZZ": [7010] } },
        { "id": "DANA", "name": "D", "privilege": 0, "denied": { "zz": [7010], "QV": [7500] } } ] })");
    kwCompany::SetCurrentOperatorId("ADMIN");
    EXPECT_TRUE(secured->SecurityAccessAllowed()) << "a privileged operator may use everything";
    EXPECT_TRUE(setup->SecurityAccessAllowed());

    kwCompany::SetCurrentOperatorId("dana");
    EXPECT_FALSE(secured->SecurityAccessAllowed()) << "denied for the application ZZ (any case)";
    EXPECT_FALSE(setup->SecurityAccessAllowed()) << "set-up tasks need a privileged operator";
    EXPECT_FALSE(app.IsCommandEnabled(7010));
    xw_clear_shown_messages();
    EXPECT_FALSE(app.OnCommand(7010));
    EXPECT_EQ(secured->starts, 0);

    kwCompany::SetCurrentOperatorId("NOBODY");
    EXPECT_FALSE(secured->SecurityAccessAllowed()) << "an unknown operator may use nothing";
    xw_clear_shown_messages();
}

TEST(kwApplication, MacroRunsBackgroundTasksAndReportsEveryOtherLine) {
    TestCompany company(false);
    kwApplication app = MakeApp();
    auto* background = &app.AddTask(std::make_unique<CountingTask>(7120, kwTask::BACKGROUND));
    auto* windowed = &app.AddTask(std::make_unique<CountingTask>(7010));
    const std::string macro = company.Path("run.mac");
    WriteFile(macro, "# nightly\n7120 ; runs\n\n7010\n9876\nabc\n 7120 \n");
    ASSERT_TRUE(app.SetArguments({"--macro", macro}, nullptr));
    EXPECT_EQ(app.MacroStatus(), kwApplication::MACRO_RUN);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(app.ProcessMacro()) << "three lines cannot run";
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(background->starts, 2);
    EXPECT_EQ(windowed->starts, 0) << "a task that needs a window is not started";
    EXPECT_NE(errors.find("line 4: \"Task 7010\" (7010) cannot run without a window."), std::string::npos) << errors;
    EXPECT_NE(errors.find("line 5: there is no command 9876."), std::string::npos) << errors;
    EXPECT_NE(errors.find("line 6: \"abc\" is not a command number."), std::string::npos) << errors;
    EXPECT_EQ(app.ExitCode(), 1);

    WriteFile(macro, "7120\n");
    EXPECT_TRUE(app.ProcessMacro());
    EXPECT_EQ(app.ExitCode(), 0);

    ASSERT_TRUE(app.SetArguments({"--macro", company.Path("missing.mac")}, nullptr));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(app.ProcessMacro());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be read"), std::string::npos);

    ASSERT_TRUE(app.SetArguments({"--background"}, nullptr));
    EXPECT_TRUE(app.InBackground());
    EXPECT_EQ(app.MacroStatus(), kwApplication::MACRO_NONE);
    EXPECT_TRUE(app.ProcessMacro()) << "in the background without a macro there is nothing to do";
}

TEST(kwCommandLine, ReadsEveryOptionAndRefusesBadOnes) {
    kwCommandLine line;
    std::string error;
    ASSERT_TRUE(line.Parse({"--data", "/c/acme", "--operator=DANA", "--exit-after", "250", "--background"}, &error))
        << error;
    EXPECT_EQ(line.dataFolder, "/c/acme");
    EXPECT_EQ(line.operatorId, "DANA");
    EXPECT_EQ(line.exitAfterMs, 250);
    EXPECT_TRUE(line.background);

    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"--data"}, "needs a value"},
        {{"--exit-after", "soon"}, "milliseconds"},
        {{"--exit-after", "-5"}, "milliseconds"},
        {{"--frobnicate"}, "Unknown option \"--frobnicate\""},
    };
    for (const auto& [arguments, message] : bad) {
        kwCommandLine refused;
        error.clear();
        EXPECT_FALSE(refused.Parse(arguments, &error)) << arguments.front();
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }

    // An empty folder name is kept as given: the company rule refuses it in its own words.
    kwCommandLine empty;
    ASSERT_TRUE(empty.Parse({"--data="}, &error));
    EXPECT_EQ(empty.dataFolder, std::optional<std::string>(""));
    EXPECT_FALSE(kwCompanyChoice::CheckDataOption(empty.dataFolder, &error));
}

TEST(kwApplication, CommonCommandsGiveTheCommonTasksAndLeaveUnbuiltOnesOut) {
    kwapptest::App();
    kwApplication app = MakeApp();
    app.InitInstance();
    app.NewCommonCommands(false);
    ASSERT_NE(app.FindTask(7098), nullptr);
    ASSERT_NE(app.FindTask(7400), nullptr);
    ASSERT_NE(app.FindTask(7500), nullptr);
    ASSERT_NE(app.FindTask(7100), nullptr) << "the framework's Formulas task";
    EXPECT_EQ(app.FindTask(7100)->Name(), "Formulas");
    EXPECT_FALSE(app.IsCommandEnabled(7098)) << "no library exports zz_new_issue";
    EXPECT_TRUE(app.IsCommandEnabled(7400)) << "Customize has the framework's Toolbar page";
    EXPECT_FALSE(app.IsCommandEnabled(7500)) << "Options has no page until the program adds one";
    for (unsigned short unbuilt : {1130, 1140, 1155, 1210, 1230, 1240, 7110, 7120, 7130, 9100, 9120, 9210, 9220, 9230})
        EXPECT_FALSE(app.HasHandler(unbuilt)) << unbuilt;
    for (unsigned short built : {1100, 1110, 1150, 1999, 2010, 2020, 2030, 2040, 2050, 7200, 8010, 8020, 8030, 9010, 9020, 9110, 9999})
        EXPECT_TRUE(app.HasHandler(built)) << built;
    EXPECT_FALSE(app.HasHandler(1040)) << "no document commands were asked for";
}

TEST(kwApplication, OpenCompanyRefusesAFolderThatIsNoCompanyAndRemembersTheOneOpened) {
    kwapptest::UserFolders folders;
    TestCompany current(false);
    TestCompany other(false);
    ASSERT_TRUE(kwCompany::Open(current.Folder(), nullptr));
    kwApplication app = MakeApp();
    int changes = 0;
    app.AddCompanyChangedHandler([&] { ++changes; });

    const std::string empty = TestCompany::MakeTempFolder("not-a-company-");
    std::string error;
    EXPECT_FALSE(app.OpenCompany(empty, &error));
    EXPECT_NE(error.find("is not a company folder"), std::string::npos) << error;
    EXPECT_EQ(kwCompany::Folder(), std::filesystem::canonical(current.Folder()).string())
        << "the current company stays";
    EXPECT_EQ(changes, 0);

    EXPECT_TRUE(app.OpenCompany(other.Folder(), &error)) << error;
    EXPECT_EQ(kwCompany::Folder(), std::filesystem::canonical(other.Folder()).string());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(kwApplication::LastCompany(), kwCompany::Folder());

    EXPECT_TRUE(app.OpenCompany(kwCompany::DemoSourceFolder(), &error)) << error;
    EXPECT_EQ(kwCompany::Folder(), kwCompany::UserDataFolder() + "/demo")
        << "the shipped demo is never worked on: its copy is opened instead";
    std::filesystem::remove_all(empty);
}

TEST(kwMainApp, CompanyComesFromDataOptionThenEnvironmentThenLastOpenedThenDemo) {
    kwapptest::UserFolders folders;
    TestCompany explicitCompany(false);
    TestCompany environmentCompany(false);
    TestCompany lastCompany(false);
    kwMainApp app("Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0"));
    std::string folder, error;

    ASSERT_TRUE(app.ResolveCompany(&folder, &error)) << error;
    EXPECT_EQ(folder, kwCompany::UserDataFolder() + "/demo") << "first run: the demo company";
    EXPECT_TRUE(std::filesystem::exists(folder + "/company.json")) << "the demo was copied";

    kwApplication::RememberCompany(lastCompany.Folder());
    ASSERT_TRUE(app.ResolveCompany(&folder, &error));
    EXPECT_EQ(folder, lastCompany.Folder());

    ::setenv("QV_DATA", environmentCompany.Folder().c_str(), 1);
    ASSERT_TRUE(app.ResolveCompany(&folder, &error));
    EXPECT_EQ(folder, environmentCompany.Folder());

    ASSERT_TRUE(app.SetArguments({"--data", explicitCompany.Folder()}, nullptr));
    ASSERT_TRUE(app.ResolveCompany(&folder, &error));
    EXPECT_EQ(folder, explicitCompany.Folder());
    ::unsetenv("QV_DATA");

    kwCompanyChoice::Source source = kwCompanyChoice::Source::Demo;
    ASSERT_TRUE(app.ResolveCompany(&folder, &error, &source));
    EXPECT_EQ(source, kwCompanyChoice::Source::DataOption);
    ASSERT_TRUE(app.SetArguments({"--data", ""}, nullptr)) << "the rule refuses it, in its own words";
    EXPECT_FALSE(app.ResolveCompany(&folder, &error));
    EXPECT_NE(error.find("the folder name is empty"), std::string::npos) << error;

    kwApplication::RememberCompany(folders.Root() + "/gone");
    EXPECT_EQ(kwApplication::LastCompany(), "") << "a remembered folder that is no company is forgotten";

    // An earlier version kept the last company in the user settings: it is moved over.
    std::filesystem::remove(kwCompanyChoice::LastOpenedFile());
    ASSERT_TRUE(kwUserSettings::Put("company.last", lastCompany.Folder()));
    EXPECT_EQ(kwApplication::LastCompany(), lastCompany.Folder());
    EXPECT_EQ(kwCompanyChoice::LastOpened(), lastCompany.Folder()) << "where qvadmin reads it too";
    EXPECT_FALSE(kwUserSettings::Get("company.last").has_value());
}
