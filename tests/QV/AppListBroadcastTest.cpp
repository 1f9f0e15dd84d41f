// Applications changed in one program reach the others: two real "qv" programs, each on a
// company of its own, run on a session bus of their own (dbus-run-session); the Applications
// task saves a new choice and sends "QV.UpdateAppList", and both programs rebuild their
// application lists. Without a bus the test fails: the broadcast is what is tested.
#include "qvcore/tasks/TaskApplications.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwSingleInstance.h"

#include "../suite/kwapp/KwappTestSupport.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {
const QString kQv = QStringLiteral(QV_BIN_DIR "/qv");
const char* const kRebuilt = "QV.UpdateAppList: the application list was rebuilt.";
} // namespace

TEST(AppListBroadcast, ASecondRunningProgramRebuildsItsList) {
    kwapptest::App();
    ASSERT_EQ(std::system("command -v dbus-run-session >/dev/null 2>&1"), 0)
        << "dbus-run-session is needed (scripts/setup installs dbus)";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QV_APPLIST_CHILD", "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("dbus-run-session", {"--", QCoreApplication::applicationFilePath(), "--gtest_filter=AppListOnABus.*"});
    ASSERT_TRUE(child.waitForFinished(50000)) << "the run on its own bus ended";
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

TEST(AppListOnABus, BothProgramsHearTheChange) {
    if (!std::getenv("QV_APPLIST_CHILD")) GTEST_SKIP() << "runs inside its own session bus";
    kwapptest::App();
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "no session bus";
    const std::string scratch = TestCompany::MakeTempFolder("qv-applist-");
    ::setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
    TestCompany one(false);
    TestCompany two(false);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch + "/config"));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(scratch + "/data"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QV_DEBUG", "1");
    environment.remove("QV_DATA");

    std::vector<std::unique_ptr<QProcess>> programs;
    for (const TestCompany* company : {&one, &two}) {
        auto program = std::make_unique<QProcess>();
        program->setProcessEnvironment(environment);
        program->start(kQv, {"--data", QString::fromStdString(company->Folder()), "--exit-after", "40000"});
        ASSERT_TRUE(program->waitForStarted(10000));
        programs.push_back(std::move(program));
    }
    for (const TestCompany* company : {&one, &two}) {
        const QString name = kwSingleInstance::ServiceName("QV", company->Folder());
        QElapsedTimer clock;
        clock.start();
        while (!QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value() && clock.elapsed() < 15000)
            QThread::msleep(50);
        ASSERT_LT(clock.elapsed(), 15000) << "a program runs on " << company->Folder();
    }

    // The Applications task of a third program (this one) saves a change.
    kwApplication app("Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26"));
    auto* task = &app.AddTask(std::make_unique<TaskApplications>());
    auto panel = TaskApplications::PanelSeam().Replace(
        [](const TaskApplications::AppList&, std::vector<std::string>* notAvailable, bool*) {
            *notAvailable = {"GL"};
            return true;
        });
    std::vector<std::string> heard(programs.size());
    QElapsedTimer clock;
    clock.start();
    bool all = false;
    // A program hears the bus once its window is up: the change is made again until both
    // have rebuilt (rebuilding twice is harmless).
    while (!all && clock.elapsed() < 20000) {
        task->Start();
        all = true;
        for (size_t i = 0; i < programs.size(); ++i) {
            programs[i]->waitForReadyRead(150); // what the program wrote reaches us through the event loop
            heard[i] += programs[i]->readAllStandardError().toStdString();
            all = all && heard[i].find(kRebuilt) != std::string::npos;
        }
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        EXPECT_NE(heard[i].find(kRebuilt), std::string::npos) << "program " << i + 1 << " rebuilt its list:\n" << heard[i];
        programs[i]->terminate();
        programs[i]->waitForFinished(10000);
    }
    ::unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(scratch);
}
