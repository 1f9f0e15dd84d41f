// What the inquiry-library tests share: a copy of the demo company with its records, an
// application with a main frame (whose MDI area shows inquiry windows), the user's folders
// kept apart, and waiting for the grid to finish counting.
#pragma once

#include "../kwapp/KwappTestSupport.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/resources/kwResourceRegistrar.h"

#include "kwcommon/x_message.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>

namespace kwinqtest {

inline const kwMenuEntry kMenu[] = {
    {kwMenuEntry::Popup, 0, "&File"},
    {kwMenuEntry::Item, 1999, "E&xit"},
    {kwMenuEntry::End, 0, nullptr},
};
inline const kwResourceRegistrar kMenuResource("IQ.EXE", 1, kMenu);

class InquiryTest : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        app.InitInstance();
        auto made = std::make_unique<kwAppFrame>(0, 0, true);
        ASSERT_TRUE(made->LoadFrame(1, 0, nullptr, nullptr));
        frame = made.get();
        app.SetMainWindow(std::move(made));
        xw_clear_shown_messages();
    }
    void TearDown() override {
        xw_clear_shown_messages();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs the event loop until done() holds or two seconds passed.
    static bool WaitFor(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            // Closed windows go through deleteLater, which no running loop serves here.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return done();
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : xw_shown_messages()) texts.push_back(shown.text);
        return texts;
    }

    kwapptest::UserFolders folders;
    TestCompany company{true};
    kwApplication app{"Inquiry tester", "IQ", kwBase::Version("1.0"), kwBase::Version("1.0")};
    kwAppFrame* frame = nullptr;
};

} // namespace kwinqtest
