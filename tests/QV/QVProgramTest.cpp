// The program "qv" run as a process, as users and the desktop start it: --version and --help
// without a display, an empty --data refused, and one program per company over the D-Bus
// session bus (two real programs under dbus-run-session).
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
#include <functional>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;

namespace {

const QString kQv = QStringLiteral(QV_BIN_DIR "/qv");

struct Finished {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs qv to its end (at most timeoutMs) with the environment.
Finished RunQv(const QStringList& arguments, const QProcessEnvironment& environment, int timeoutMs = 20000) {
    QProcess qv;
    qv.setProcessEnvironment(environment);
    qv.start(kQv, arguments);
    Finished done;
    if (!qv.waitForFinished(timeoutMs)) {
        ADD_FAILURE() << "qv " << arguments.join(' ').toStdString() << " did not end";
        qv.kill();
        qv.waitForFinished();
        return done;
    }
    done.exitCode = qv.exitStatus() == QProcess::NormalExit ? qv.exitCode() : -1;
    done.out = qv.readAllStandardOutput().toStdString();
    done.err = qv.readAllStandardError().toStdString();
    return done;
}

// The user's own folders in scratch; no display at all unless offscreen is asked for.
QProcessEnvironment Environment(const std::string& scratch, bool offscreen) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch + "/config"));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(scratch + "/data"));
    environment.remove("QV_DATA");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    if (offscreen) environment.insert("QT_QPA_PLATFORM", "offscreen");
    else environment.remove("QT_QPA_PLATFORM");
    return environment;
}

bool NameOnBus(const QString& name) {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(name).value();
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QThread::msleep(50);
    }
    return true;
}

class QVProgram : public ::testing::Test {
protected:
    void SetUp() override { kwapptest::App(); }
    void TearDown() override { fs::remove_all(scratch); }
    std::string scratch = TestCompany::MakeTempFolder("qv-program-");
};

} // namespace

TEST_F(QVProgram, VersionAndHelpAnswerWithoutADisplay) {
    Finished version = RunQv({"--version"}, Environment(scratch, false));
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_TRUE(std::regex_match(version.out, std::regex(R"(Quorvel \d+\.\d+\.\d+\n)"))) << version.out;

    Finished help = RunQv({"--help"}, Environment(scratch, false));
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_NE(help.out.find("--data DIR"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    EXPECT_FALSE(fs::exists(scratch + "/data/quorvel/demo")) << "no company was opened";

    Finished empty = RunQv({"--data", ""}, Environment(scratch, true));
    EXPECT_EQ(empty.exitCode, 2) << "an empty --data is refused like any bad option";
    EXPECT_NE(empty.err.find("the folder name is empty"), std::string::npos) << empty.err;
}

// The start of the test below inside its own session bus.
TEST_F(QVProgram, ASecondStartOnTheSameCompanyRaisesTheFirstOneOnAnotherCompanyRunsBeside) {
    if (std::system("command -v dbus-run-session >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no dbus-run-session on this machine";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QV_SINGLE_INSTANCE_CHILD", "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("dbus-run-session",
                {"--", QCoreApplication::applicationFilePath(),
                 "--gtest_filter=QVProgramOnABus.*"});
    ASSERT_TRUE(child.waitForFinished(50000)) << "the run on its own bus ended";
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

TEST(QVProgramOnABus, TwoProgramsOnOneCompanyAndAThirdOnAnother) {
    if (!std::getenv("QV_SINGLE_INSTANCE_CHILD")) GTEST_SKIP() << "runs inside its own session bus";
    kwapptest::App();
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    const std::string scratch = TestCompany::MakeTempFolder("qv-bus-");
    TestCompany first(false);
    TestCompany other(false);
    QProcessEnvironment environment = Environment(scratch, true);
    environment.insert("QV_DEBUG", "1");

    QProcess running;
    running.setProcessEnvironment(environment);
    running.start(kQv, {"--data", QString::fromStdString(first.Folder()), "--exit-after", "30000"});
    ASSERT_TRUE(running.waitForStarted(10000));
    const QString firstName = kwSingleInstance::ServiceName("QV", first.Folder());
    ASSERT_TRUE(WaitFor([&] { return NameOnBus(firstName); }, 15000)) << "the first program took its name";

    const Finished second = RunQv({"--data", QString::fromStdString(first.Folder())}, environment);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("is already running on"), std::string::npos) << second.out << second.err;
    EXPECT_FALSE(running.waitForFinished(200)) << "the first program runs on";

    const QString otherName = kwSingleInstance::ServiceName("QV", other.Folder());
    QProcess beside;
    beside.setProcessEnvironment(environment);
    beside.start(kQv, {"--data", QString::fromStdString(other.Folder()), "--exit-after", "1500"});
    ASSERT_TRUE(beside.waitForStarted(10000));
    EXPECT_TRUE(WaitFor([&] { return NameOnBus(otherName); }, 15000)) << "a program on another company runs";
    EXPECT_TRUE(beside.waitForFinished(20000));
    EXPECT_EQ(beside.exitCode(), 0);
    EXPECT_EQ(beside.readAllStandardOutput().toStdString().find("already running"), std::string::npos);

    running.terminate();
    running.waitForFinished(10000);
    EXPECT_NE(running.readAllStandardError().toStdString().find("raised by another start"), std::string::npos)
        << "the first program was asked to come to the front";
    fs::remove_all(scratch);
}
