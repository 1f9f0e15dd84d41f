// The name is asked for without queueing and without replacement, so the bus answers at
// once whether this start is the first; the bus drops it when its holder ends, crashed or
// not, so a dead program never blocks the next start.
#include "kwapp/app/kwSingleInstance.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/debug/kwDebugOutput.h"
#include "kwapp/frame/kwAppFrame.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

#include <cstdint>
#include <filesystem>

namespace {
// How long a later start waits for the holder to answer.
constexpr int kRaiseTimeoutMs = 3000;

QString HashOf(const std::string& text) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a, 64 bits
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return QStringLiteral("%1").arg(hash, 16, 16, QLatin1Char('0'));
}

// Bus name elements hold letters, digits and "_" only, and never start with a digit.
QString NameElement(const std::string& text) {
    QString element;
    for (char c : text) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        element += letter || digit ? QChar::fromLatin1(c) : QLatin1Char('_');
    }
    if (element.isEmpty() || element.front().isDigit()) element.prepend(QLatin1Char('p'));
    return element;
}
} // namespace

kwSingleInstance::kwSingleInstance() = default;

kwSingleInstance::~kwSingleInstance() {
    Release();
    if (_objectRegistered) QDBusConnection::sessionBus().unregisterObject(OBJECT_PATH);
}

QString kwSingleInstance::ServiceName(const std::string& abbreviation, const std::string& companyFolder) {
    std::error_code ec;
    std::string canonical = std::filesystem::weakly_canonical(companyFolder, ec).string();
    if (ec || canonical.empty()) canonical = companyFolder;
    while (canonical.size() > 1 && canonical.back() == '/')
        canonical.pop_back();
    return QStringLiteral("org.kwsuite.") + NameElement(abbreviation) + QStringLiteral(".c") +
           HashOf(canonical);
}

kwSingleInstance::Claim kwSingleInstance::ClaimFor(const std::string& abbreviation,
                                                   const std::string& companyFolder) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return Claim::NoBus;
    const QString name = ServiceName(abbreviation, companyFolder);
    if (name == _held) return Claim::First;
    if (!_objectRegistered)
        _objectRegistered = bus.registerObject(OBJECT_PATH, this, QDBusConnection::ExportScriptableSlots);

    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) return Claim::NoBus; // a bus that refuses names is no bus to us
    if (reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        // The name of the company left behind goes only once the new one is held.
        Release();
        _held = name;
        return Claim::First;
    }
    QDBusInterface holder(name, OBJECT_PATH, "org.kwsuite.Instance", bus);
    holder.setTimeout(kRaiseTimeoutMs);
    const QDBusMessage answer = holder.call(QStringLiteral("Raise"));
    return answer.type() == QDBusMessage::ReplyMessage ? Claim::AlreadyRunning : Claim::NoAnswer;
}

void kwSingleInstance::Release() {
    if (_held.isEmpty()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()) bus.interface()->unregisterService(_held);
    _held.clear();
}

void kwSingleInstance::Raise() {
    const std::string line = "raised by another start (" + _held.toStdString() + ")\n";
    kwOutputDebugString(line.c_str());
    kwApplication* app = KWGetApp();
    QWidget* window = app ? app->MainWindow() : nullptr;
    if (window) {
        if (window->isMinimized()) window->showNormal();
        window->raise();
        window->activateWindow();
    }
    // A dialog open on it (the log-on, a sheet) is what the user must see first.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}
