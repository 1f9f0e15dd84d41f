// What the New Issue tests share: the application object, timers that answer windows when
// they show, and the mail service pointed at the company.
#include "NewIssueTestSupport.h"

#include "TestApplication.h"

#include "qvkit/mail/kclMailLibrary.h"

#include "mapi/MAPI.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace newissuetest {
namespace {

std::vector<QPointer<QTimer>>& Waiting() {
    static std::vector<QPointer<QTimer>> timers;
    return timers;
}

} // namespace

QApplication& App() { return TestApplication(); }

void WhenShownWidget(std::function<QWidget*()> find, std::function<void(QWidget*)> driver) {
    App();
    auto* timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, find, driver] {
        QWidget* widget = find();
        if (!widget) return;
        timer->stop();
        timer->deleteLater();
        driver(widget);
    });
    timer->start();
    Waiting().push_back(timer);
}

void StopWaiting() {
    for (QPointer<QTimer>& timer : Waiting())
        delete timer.data();
    Waiting().clear();
}

void ScriptMail(const std::vector<int>& answers) {
    auto script =
        reinterpret_cast<LPMAPISCRIPTANSWERS>(kclMailLibrary::Symbol("mapi_script_answers"));
    ASSERT_NE(script, nullptr) << "the mail service is built next to the tests";
    script(answers.data(), static_cast<int>(answers.size()));
}

int MailAnswersLeft() {
    auto left = reinterpret_cast<LPMAPISCRIPTEDANSWERSLEFT>(
        kclMailLibrary::Symbol("mapi_scripted_answers_left"));
    return left ? left() : -1;
}

std::string Screenshot(QWidget* widget, const std::string& name) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QString path =
        folder + QStringLiteral("/") + QString::fromStdString(name) + QStringLiteral(".png");
    return widget->grab().save(path) ? path.toStdString() : std::string();
}

void Key(QWidget* widget, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        int key = Qt::Key_unknown;
        if (c >= u'a' && c <= u'z')
            key = Qt::Key_A + (c.unicode() - 'a');
        else if (c >= u'A' && c <= u'Z')
            key = Qt::Key_A + (c.unicode() - 'A');
        else if (c >= u'0' && c <= u'9')
            key = Qt::Key_0 + (c.unicode() - '0');
        Key(widget, key, QString(c));
    }
}

void Click(QWidget* widget, QPoint at) {
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

} // namespace newissuetest
