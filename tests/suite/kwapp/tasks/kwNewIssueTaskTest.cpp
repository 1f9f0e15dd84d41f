// The framework's new-issue task calls the application's exported entry, and is disabled
// while no loaded library has one.
#include "kwapp/tasks/kwNewIssueTask.h"

#include "kwapp/app/kwApplication.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

namespace {
kwCommand* g_seen = nullptr;
unsigned char g_answer = 1;

unsigned char FakeEntry(void* /*first*/, kwCommand* command) {
    g_seen = command;
    return g_answer;
}

class TaskWithEntry : public kwNewIssueTask {
public:
    using kwNewIssueTask::kwNewIssueTask;
    bool present = true;

protected:
    EntryPoint ResolveEntry() const override { return present ? &FakeEntry : nullptr; }
};
} // namespace

TEST(kwNewIssueTask, CallsTheApplicationsEntryWithItselfAsTheCommand) {
    kwApplication app("Tester", "Qz", kwBase::Version("1.0"), kwBase::Version("1.0"));
    kwNewIssueTask plain(7098);
    EXPECT_EQ(plain.EntryName(), "qz_new_issue") << "named after the abbreviation, lower case";
    EXPECT_FALSE(plain.IsEnabled()) << "no loaded library exports qz_new_issue";
    xw_clear_shown_messages();
    plain.Start();
    ASSERT_EQ(xw_shown_messages().size(), 1u) << "a start without the entry explains itself";
    EXPECT_NE(xw_shown_messages()[0].text.find("qz_new_issue"), std::string::npos);
    EXPECT_EQ(plain.Status(), kwTask::IDLE);
    xw_clear_shown_messages();

    TaskWithEntry task(7098);
    EXPECT_TRUE(task.IsEnabled());
    g_answer = 1;
    task.Start();
    EXPECT_EQ(g_seen, &task);
    EXPECT_EQ(task.LastResult(), 1);
    EXPECT_EQ(task.Status(), kwTask::RUNNING) << "running until End";
    task.End();
    g_answer = 0;
    task.Start();
    EXPECT_EQ(task.LastResult(), 0);
    task.present = false;
    EXPECT_FALSE(task.IsEnabled());
}
