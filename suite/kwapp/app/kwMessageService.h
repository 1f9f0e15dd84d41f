// The suite's message service: one program tells the others of the suite about an event
// (an XML message descriptor) on a named channel. Messages travel as a D-Bus signal on the
// session bus; where there is no session bus the message is quietly not sent.
#pragma once

#include <functional>
#include <memory>
#include <string>

class QObject;

class kwMessageService {
public:
    // The channel every program of the suite listens on for suite events.
    static constexpr const char* EVENT_CHANNEL = "SuiteEvents";
    // Where the signal is sent from and what it is called.
    static constexpr const char* OBJECT_PATH = "/com/quorvel/suite/MessageService";
    static constexpr const char* INTERFACE = "com.quorvel.suite.MessageService";
    static constexpr const char* SIGNAL = "Message";

    explicit kwMessageService(const std::string& channel);
    ~kwMessageService();
    kwMessageService(const kwMessageService&) = delete;
    kwMessageService& operator=(const kwMessageService&) = delete;

    const std::string& Channel() const { return _channel; }
    // Sends the message; nothing is waited for and no reply is read. false when there is no
    // bus to send it on.
    bool SendMessage(const std::string& message);
    // True when a session bus is there to be reached.
    static bool Available();

    // Calls handler(channel, message) for each message the other programs send on this
    // channel, while this object lives. false when there is no bus.
    bool Listen(std::function<void(const std::string& message)> handler);

private:
    std::string _channel;
    std::string _connectionName;
    std::unique_ptr<QObject> _receiver;
};
