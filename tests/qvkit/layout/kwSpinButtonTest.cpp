// The spin button on real widgets: which half sends which key, what the partner keeps,
// read-only partners, auto-repeat while held, and the control without a partner.
#include "LayoutTestApp.h"

#include "qvkit/layout/kwSpinButton.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <vector>

namespace {

// A partner with its own arrow-key rule, as a date field has ("Day n" moves by one and
// keeps the caret); it records every key and every text it showed.
class DayField : public QLineEdit {
public:
    DayField() : QLineEdit("Day 10") {
        connect(this, &QLineEdit::textChanged, [this](const QString& t) { shown.push_back(t); });
    }
    int Day() const { return text().mid(4).toInt(); }
    std::vector<int> keys;
    std::vector<QString> shown;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        keys.push_back(event->key());
        const int caret = cursorPosition();
        setText(QString("Day %1").arg(Day() + (event->key() == Qt::Key_Up ? 1 : -1)));
        setCursorPosition(caret);
    }
};

class CountingSpin : public kwSpinButton {
public:
    int ticks = 0;

protected:
    void timerEvent(QTimerEvent* event) override {
        if (event->timerId() == RepeatTimerId()) ++ticks;
        kwSpinButton::timerEvent(event);
    }
};

void Click(QWidget* widget, QEvent::Type type, int y) {
    const QPointF at(widget->width() / 2, y);
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

struct Spin {
    QApplication& app = LayoutTestApp(); // before any widget
    DayField field;
    CountingSpin spin;
    Spin() {
        spin.resize(16, 20);
        spin.SetRange(0, 100);
        spin.SetPos(50);
        spin.SetBuddyInt(true); // the standard control would write "51" into the partner
        spin.SetBuddy(&field);
    }
    void Tap(int y) {
        Click(&spin, QEvent::MouseButtonPress, y);
        Click(&spin, QEvent::MouseButtonRelease, y);
    }
    void ExpectOnlyOwnTexts() {
        for (const QString& text : field.shown) {
            EXPECT_TRUE(text.startsWith("Day ")) << "partner showed '" << text.toStdString() << "'";
        }
    }
};

} // namespace

TEST(kwSpinButton, HalvesSendArrowKeysAndThePartnerKeepsItsCaret) {
    Spin t;
    t.field.setCursorPosition(2);
    for (int y : {0, 9, 10, 19})
        t.Tap(y);
    EXPECT_EQ(t.field.keys, (std::vector<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}))
        << "below half the height is the upper half; exactly half is the lower";
    EXPECT_EQ(t.field.text(), "Day 10");
    EXPECT_EQ(t.field.cursorPosition(), 2);
    EXPECT_FALSE(t.spin.IsRepeating()) << "release stops the repeat";
    t.ExpectOnlyOwnTexts();

    t.field.setReadOnly(true);
    Click(&t.spin, QEvent::MouseButtonPress, 2);
    EXPECT_FALSE(t.spin.IsRepeating()) << "a press beside a read-only partner is ignored";
    Click(&t.spin, QEvent::MouseButtonRelease, 2);
    EXPECT_EQ(t.field.keys.size(), 4u) << "a read-only partner gets no key";
    EXPECT_EQ(t.spin.GetPos(), 50);
}

TEST(kwSpinButton, HoldingSendsOneKeyPerTick) {
    Spin t;
    t.spin.SetRepeatTimes(5, 5);
    Click(&t.spin, QEvent::MouseButtonPress, 15);
    const int position = t.spin.GetPos();
    QElapsedTimer clock;
    clock.start();
    while (t.spin.ticks < 6 && clock.elapsed() < 3000)
        QCoreApplication::processEvents();
    Click(&t.spin, QEvent::MouseButtonRelease, 15);
    ASSERT_GE(t.spin.ticks, 6) << "the repeat never ran";

    EXPECT_EQ(t.field.keys.size(), static_cast<size_t>(t.spin.ticks + 1))
        << "one key for the press and one per tick";
    EXPECT_EQ(t.field.Day(), 10 - (t.spin.ticks + 1));
    EXPECT_EQ(t.spin.GetPos(), position) << "ticks do not step the control itself";
    t.ExpectOnlyOwnTexts();
}

TEST(kwSpinButton, WithoutPartnerItStepsItself) {
    Spin t;
    t.spin.SetBuddy(nullptr);
    t.Tap(1);
    t.Tap(1);
    t.Tap(18);
    EXPECT_EQ(t.spin.GetPos(), 51);
    EXPECT_TRUE(t.field.keys.empty());
}
