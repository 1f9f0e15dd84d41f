// The bus address is read from the environment each time rather than through the toolkit's
// cached session connection, so a program started without a bus never tries to launch one.
#include "kwapp/app/kwMessageService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QObject>

#include <atomic>
#include <cstdlib>

namespace {
std::string BusAddress() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return address && *address ? address : std::string();
}

std::atomic<int> g_connections{0};
} // namespace

// Receives the bus's signals for one listening service.
class kwMessageReceiver : public QObject {
    Q_OBJECT
public:
    kwMessageReceiver(std::string channel, std::function<void(const std::string&)> handler)
        : _channel(std::move(channel)), _handler(std::move(handler)) {}

public slots:
    void OnMessage(const QDBusMessage& message) {
        const QList<QVariant> arguments = message.arguments();
        if (arguments.size() != 2) return;
        if (arguments[0].toString().toStdString() != _channel) return;
        _handler(arguments[1].toString().toStdString());
    }

private:
    std::string _channel;
    std::function<void(const std::string&)> _handler;
};

kwMessageService::kwMessageService(const std::string& channel)
    : _channel(channel),
      _connectionName("kwMessageService-" + std::to_string(g_connections.fetch_add(1))) {}

kwMessageService::~kwMessageService() {
    _receiver.reset();
    // Each service has a connection of its own name; it goes with the service.
    QDBusConnection::disconnectFromBus(QString::fromStdString(_connectionName));
}

bool kwMessageService::Available() { return !BusAddress().empty(); }

bool kwMessageService::SendMessage(const std::string& message) {
    const std::string address = BusAddress();
    if (address.empty()) return false;
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(address),
                                                        QString::fromStdString(_connectionName));
    if (!bus.isConnected()) return false;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(OBJECT_PATH),
                                                     QString::fromLatin1(INTERFACE),
                                                     QString::fromLatin1(SIGNAL));
    signal << QString::fromStdString(_channel) << QString::fromStdString(message);
    if (!bus.send(signal)) return false;
    // One round trip to the bus makes sure the signal has left before the connection goes.
    if (QDBusConnectionInterface* daemon = bus.interface()) daemon->isServiceRegistered(bus.baseService());
    return true;
}

bool kwMessageService::Listen(std::function<void(const std::string& message)> handler) {
    const std::string address = BusAddress();
    if (address.empty() || !handler) return false;
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(address),
                                                        QString::fromStdString(_connectionName));
    if (!bus.isConnected()) return false;
    _receiver = std::make_unique<kwMessageReceiver>(_channel, std::move(handler));
    return bus.connect(QString(), QString::fromLatin1(OBJECT_PATH), QString::fromLatin1(INTERFACE),
                       QString::fromLatin1(SIGNAL), _receiver.get(), SLOT(OnMessage(QDBusMessage)));
}

#include "kwMessageService.moc"
