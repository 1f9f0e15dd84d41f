// The suite's message service: quietly nothing without a bus; over a private bus, a message
// sent on a channel reaches a listener of that channel only.
#include "kwapp/app/kwMessageService.h"

#include "../KwappTestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <optional>

namespace {
class BusAddress {
public:
    explicit BusAddress(const std::string& address) {
        if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) _saved = old;
        if (address.empty()) ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        else ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }
    ~BusAddress() {
        if (_saved) ::setenv("DBUS_SESSION_BUS_ADDRESS", _saved->c_str(), 1);
        else ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

private:
    std::optional<std::string> _saved;
};
} // namespace

TEST(kwMessageService, WithoutABusNothingIsSentAndNothingFails) {
    kwapptest::App();
    BusAddress none("");
    EXPECT_FALSE(kwMessageService::Available());
    kwMessageService service(kwMessageService::EVENT_CHANNEL);
    EXPECT_FALSE(service.SendMessage("<MessageTypeDescriptor MessageId='QV.UpdateAppList'/>"));
    EXPECT_FALSE(service.Listen([](const std::string&) {}));
}

TEST(kwMessageService, MessagesReachListenersOfTheirChannel) {
    kwapptest::App();
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "no dbus-daemon on this machine";
    QProcess bus;
    bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    ASSERT_TRUE(bus.waitForStarted(5000));
    ASSERT_TRUE(bus.waitForReadyRead(5000)) << "the bus did not give its address";
    const std::string address = bus.readLine().trimmed().toStdString();
    BusAddress useBus(address);
    ASSERT_TRUE(kwMessageService::Available());

    std::vector<std::string> events, others;
    kwMessageService listener(kwMessageService::EVENT_CHANNEL);
    kwMessageService otherChannel("Elsewhere");
    ASSERT_TRUE(listener.Listen([&](const std::string& message) { events.push_back(message); }));
    ASSERT_TRUE(otherChannel.Listen([&](const std::string& message) { others.push_back(message); }));

    const std::string message = "<MessageTypeDescriptor MessageId='QV.UpdateAppList'/>";
    QElapsedTimer clock;
    clock.start();
    // The listener's subscription reaches the bus a moment after Listen returns.
    while (events.empty() && clock.elapsed() < 5000) {
        kwMessageService sender(kwMessageService::EVENT_CHANNEL);
        ASSERT_TRUE(sender.SendMessage(message));
        for (int i = 0; i < 10 && events.empty(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_FALSE(events.empty()) << "the message did not arrive";
    EXPECT_EQ(events.front(), message);
    EXPECT_TRUE(others.empty()) << "another channel hears nothing";
    bus.kill();
    bus.waitForFinished(2000);
}
