// The splash watches for the main window instead of being told: the start-up code only
// makes it.
#include "kwapp/widgets/kwSplashScreen.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwcommon/kwCompany.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

namespace {
constexpr int kPollMs = 100;
constexpr int kMinimumMs = 600;
constexpr int kMaximumMs = 4000;
} // namespace

kwSplashScreen::kwSplashScreen() {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("kwSplashScreen"));
    const kwApplication* app = KWGetApp();
    const QString name = app ? QString::fromStdString(app->Name()) : QString();
    const QString version =
        app ? QStringLiteral("Version ") + QString::fromStdString(app->ProgramVersion().ToString())
            : QString();
    const QString company = kwCompany::IsOpen() ? QString::fromStdString(kwCompany::Name()) : QString();
    setPixmap(Picture(name, version, company));
    show();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { Poll(); });
    timer->start(kPollMs);
}

kwSplashScreen::~kwSplashScreen() = default;

void kwSplashScreen::Poll() {
    _elapsedMs += kPollMs;
    const kwApplication* app = KWGetApp();
    const kwAppFrame* frame = app ? app->MainWindow() : nullptr;
    if ((_elapsedMs >= kMinimumMs && frame && frame->isVisible()) || _elapsedMs >= kMaximumMs)
        close();
}

QPixmap kwSplashScreen::Picture(const QString& name, const QString& version, const QString& company) {
    QPixmap pixmap(420, 220);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, pixmap.height());
    background.setColorAt(0, QColor(32, 74, 135));
    background.setColorAt(1, QColor(14, 36, 72));
    painter.fillRect(pixmap.rect(), background);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(26);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(24, 40, 372, 60), Qt::AlignLeft | Qt::AlignVCenter, name);
    font.setPointSize(11);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(24, 110, 372, 24), Qt::AlignLeft | Qt::AlignVCenter, version);
    painter.drawText(QRect(24, 140, 372, 24), Qt::AlignLeft | Qt::AlignVCenter, company);
    painter.setPen(QColor(180, 200, 230));
    painter.drawText(QRect(24, 180, 372, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Starting..."));
    return pixmap;
}
