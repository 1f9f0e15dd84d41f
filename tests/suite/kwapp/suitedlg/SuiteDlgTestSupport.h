// What the suite-dialog tests share: the Qt application, drivers that answer a modal dialog
// once it shows, typing and screenshots.
#pragma once

#include "../KwappTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

namespace suitedlgtest {

// Runs driver(dialog) once a visible top-level T shows (call before the call that shows it).
// The returned timer is the waiting driver; delete it to stop waiting.
template <class T> QPointer<QTimer> WhenShown(std::function<void(T*)> driver) {
    kwapptest::App();
    auto* timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, driver] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(widget); found && found->isVisible()) {
                timer->stop();
                timer->deleteLater();
                driver(found);
                return;
            }
        }
    });
    timer->start();
    return timer;
}

inline void Key(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

inline void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        int key = Qt::Key_unknown;
        if (c >= u'0' && c <= u'9')
            key = Qt::Key_0 + (c.unicode() - '0');
        else if (c >= u'a' && c <= u'z')
            key = Qt::Key_A + (c.unicode() - 'a');
        else if (c >= u'A' && c <= u'Z')
            key = Qt::Key_A + (c.unicode() - 'A');
        Key(widget, key, QString(c));
    }
}

// Grabs the widget into <test program folder>/screenshots/<name>.png.
inline std::string Screenshot(QWidget* widget, const std::string& name) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QString path =
        folder + QStringLiteral("/") + QString::fromStdString(name) + QStringLiteral(".png");
    return widget->grab().save(path) ? path.toStdString() : std::string();
}

} // namespace suitedlgtest
