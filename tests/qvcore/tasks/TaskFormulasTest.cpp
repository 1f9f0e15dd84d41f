// Formulas: the application whose formulas are edited, the setup definition's bytes, and
// the quiet end of a cancelled choice.
#include "qvcore/tasks/TaskFormulas.h"
#include "qvcore/tasks/TaskApplications.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/formulas/xf_formula_setup.h"

#include "kwinq/kwInqApplList.h"

#include "kwcommon/x_message.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

#include <memory>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {
class Formulas : public ::testing::Test {
protected:
    void SetUp() override {
        _config = TestCompany::MakeTempFolder("qvformulas-config-");
        ::setenv("XDG_CONFIG_HOME", _config.c_str(), 1);
        _editor.emplace(xf_formula_editor_seam().Replace([this](const std::string& application) { opened.push_back(application); }));
        _chooser.emplace(InqApplChooserSeam().Replace([this](const InqApplList& list, const std::string& purpose) {
            ++asked;
            this->purpose = purpose;
            offered = list.size();
            return choice;
        }));
        xw_clear_shown_messages();
    }
    void TearDown() override {
        _editor.reset();
        _chooser.reset();
        xw_clear_shown_messages();
        ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(_config, ignored);
    }
    kwApplication app{"Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26")};
    TestCompany company{false};
    std::vector<std::string> opened;
    int asked = 0;
    int choice = -1;
    size_t offered = 0;
    std::string purpose;
    std::string _config;
    std::optional<xf_formula_editor_runner::Guard> _editor;
    std::optional<InqApplChooser::Guard> _chooser;
};
} // namespace

TEST_F(Formulas, SetupDefinitionBytes) {
    xf_setup_def def;
    std::memset(&def, 0x55, sizeof def);
    TaskFormulas::FillSetup(&def, "AP");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&def);
    for (size_t i = 0; i < sizeof def; ++i) {
        unsigned char expected = 0;
        if (i == 0) expected = 7;
        if (i == 2) expected = 'd';
        if (i == 7) expected = ' ';
        if (i == 14) expected = 'A';
        if (i == 15) expected = 'P';
        EXPECT_EQ(bytes[i], expected) << "byte " << i;
    }
    auto* task = &app.AddTask(std::make_unique<TaskFormulas>());
    EXPECT_EQ(task->Name(), "Formula Setup");
    EXPECT_EQ(task->Flags(), 0x24);
}

TEST_F(Formulas, OnlyQVOffered_OpensAtOnceWithoutAQuestion) {
    TaskApplications::AppList all = TaskApplications::InstalledApplications();
    std::vector<std::string> others;
    for (const auto& [code, name] : all)
        if (code != "QV") others.push_back(code);
    ASSERT_TRUE(TaskApplications::SavePrefs(others, false));
    app.AddTask(std::make_unique<TaskFormulas>()).Start();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(opened, std::vector<std::string>{"QV"});

    all.clear();
    std::vector<std::string> everyone;
    for (const auto& [code, name] : TaskApplications::InstalledApplications()) everyone.push_back(code);
    ASSERT_TRUE(TaskApplications::SavePrefs(everyone, false));
    opened.clear();
    app.FindTask(TaskFormulas::ID)->Start();
    EXPECT_EQ(opened, std::vector<std::string>{"QV"}) << "no application offered: the program's own";
    EXPECT_TRUE(xw_shown_messages().empty());
}

TEST_F(Formulas, SeveralOffered_TheChoiceDecidesAndACancelIsQuiet) {
    ASSERT_TRUE(TaskApplications::SavePrefs({}, false));
    auto* task = &app.AddTask(std::make_unique<TaskFormulas>());
    choice = -1;
    task->Start();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(purpose, "formulas");
    EXPECT_EQ(offered, 12u);
    EXPECT_TRUE(opened.empty()) << "cancelled: nothing opens";
    EXPECT_TRUE(xw_shown_messages().empty()) << "and nothing is said";

    choice = 1; // sorted by name: AP, AR, ...
    task->Start();
    EXPECT_EQ(opened, std::vector<std::string>{"AR"});
    EXPECT_EQ(task->Status(), kwTask::IDLE);
}
