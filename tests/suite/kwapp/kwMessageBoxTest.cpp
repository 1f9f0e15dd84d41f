// The message box on Qt, driven headless: each kind shows its buttons, the pressed button
// comes back as the suite's answer, and Escape gives the cautious one.
#include "kwapp/messages/kwMessageBox.h"

#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include "KwappTestSupport.h"

#include <QApplication>
#include <QPixmap>
#include <QKeyEvent>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {
// One application for the whole test program, shared with the other framework tests.
QApplication& App() { return kwapptest::App(); }

QMessageBox* VisibleBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) return box;
    }
    return nullptr;
}

// Waits (polling on the event loop) for the box to appear, then acts on it.
void WhenBoxShows(std::function<void(QMessageBox*)> act) {
    auto* timer = new QTimer(&App());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QMessageBox* box = VisibleBox()) {
            timer->stop();
            timer->deleteLater();
            act(box);
        }
    });
    timer->start();
}

class MessageBoxOnQt : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        xw_clear_shown_messages();
        xw_set_application_name("Quorvel");
        kwMessageBox::Install();
    }
    void TearDown() override {
        kwMessageBox::Uninstall();
        xw_clear_shown_messages();
    }
};
} // namespace

TEST_F(MessageBoxOnQt, EachKindShowsItsButtonsAndAnswers) {
    struct Case {
        short type;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        short answer;
    };
    const Case cases[] = {
        {XW_INFO, QMessageBox::Ok, QMessageBox::Ok, 1},
        {XW_INCOMPATIBLE, QMessageBox::Ok, QMessageBox::Ok, 1},
        {XW_ERROR, QMessageBox::Ok, QMessageBox::Ok, 1},
        {XW_YESNO, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, 1},
        {XW_YESNO, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, 2},
        {XW_OKCANCEL, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, 1},
        {XW_OKCANCEL, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, 4},
        {XW_RETRY, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, 5},
        {XW_RETRY, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Cancel, 4},
        {XW_SAVE, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes, 1},
        {XW_SAVE, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No, 2},
        {XW_SAVE, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.type << " button " << c.press);
        QMessageBox::StandardButtons seenButtons;
        QString seenCaption, seenText;
        WhenBoxShows([&](QMessageBox* box) {
            seenButtons = box->standardButtons();
            seenCaption = box->windowTitle();
            seenText = box->text();
            if (const char* folder = std::getenv("QV_GRAB_FOLDER")) {
                box->grab().save(QString("%1/box-%2.png").arg(folder).arg(c.type));
            }
            box->button(c.press)->click();
        });
        const short answer = xw_wr_message(0, c.type, "Delete this issue?", 0);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(seenButtons, c.buttons);
        EXPECT_EQ(seenCaption, "Quorvel") << "the application's name is the caption";
        EXPECT_EQ(seenText, "Delete this issue?");
        EXPECT_EQ(VisibleBox(), nullptr) << "the box is gone after the answer";
    }
    EXPECT_EQ(xw_shown_messages().size(), std::size(cases)) << "every box is recorded";
}

TEST_F(MessageBoxOnQt, EscapeGivesTheCautiousAnswer) {
    for (auto [type, expected] : {std::pair<short, short>{XW_YESNO, 2},
                                  {XW_SAVE, 4},
                                  {XW_RETRY, 4},
                                  {XW_OKCANCEL, 4},
                                  {XW_ERROR, 1}}) {
        SCOPED_TRACE(type);
        WhenBoxShows([](QMessageBox* box) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &escape);
        });
        EXPECT_EQ(xw_wr_message(0, type, "Leave?", 0), expected);
    }
}

TEST_F(MessageBoxOnQt, ScriptedAnswersStillComeFirst) {
    xw_script_answers({2});
    EXPECT_EQ(xw_wr_message(0, XW_YESNO, "Scripted?", 0), 2);
    EXPECT_EQ(VisibleBox(), nullptr);
}

TEST_F(MessageBoxOnQt, TheWaitCursorNestsAndGivesWayToMessages) {
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    x_wait_on("Reading issues");
    x_wait_on(nullptr);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    // A message during the wait is shown with the ordinary pointer.
    Qt::CursorShape duringBox = Qt::WaitCursor;
    WhenBoxShows([&](QMessageBox* box) {
        duringBox = QApplication::overrideCursor()->shape();
        box->button(QMessageBox::Ok)->click();
    });
    xw_wr_message(0, XW_INFO, "Working", 0);
    EXPECT_EQ(duringBox, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    x_wait_off();
    EXPECT_NE(QApplication::overrideCursor(), nullptr) << "the outer wait still runs";
    x_wait_off();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
