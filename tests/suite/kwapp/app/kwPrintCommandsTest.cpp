// The framework's print commands taken over by a window and given back: enabled state,
// callbacks, the prompts on the menu item, the toolbar button and the status bar.
#include "kwapp/app/kwPrintCommands.h"

#include "../KwappTestSupport.h"
#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/resources/kwResourceRegistrar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

namespace {
using E = kwMenuEntry;
using C = kwCommonCommands;
const kwMenuEntry printMenu[] = {
    {E::Popup, 0, "&File"},
        {E::Item, C::ID_FILE_PRINT, "&Print...\tCtrl+P"},
        {E::Item, C::ID_PRINT_SETUP, "Print Set&up..."},
        {E::Separator, 0, nullptr},
        {E::Item, C::ID_APP_EXIT, "E&xit"},
    {E::End, 0, nullptr},
};
const kwResourceRegistrar menu("PZ.EXE", 1, printMenu);

TEST(kwPrintCommands, AWindowTakesThePrintCommandsAndGivesThemBack) {
    kwapptest::App();
    kwapptest::UserFolders folders;
    kwApplication app{"Printer Tester", "PZ", kwBase::Version("1.0"), kwBase::Version("1.0")};
    app.InitInstance();
    auto made = std::make_unique<kwAppFrame>(0, 0, true);
    ASSERT_TRUE(made->LoadFrame(1, 0, nullptr, nullptr));
    kwAppFrame* frame = made.get();
    app.SetMainWindow(std::move(made));

    QMenu* file = frame->FindMenu("&File");
    ASSERT_NE(file, nullptr);
    QStringList titles;
    for (QAction* action : file->actions()) titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(titles, (QStringList{"&Print...", "Print to &Default Printer", "Print Set&up...", "-", "E&xit"}))
        << "printing to the default printer follows Print";
    QAction* button = frame->ToolBar()->actions().value(0);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->property("cmdId").toInt(), C::ID_FILE_PRINT_DEFAULT) << "the toolbar's first button";
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_TRUE(frame->ToolBar()->TaskIds().empty()) << "the print button is no task's";

    for (unsigned short id : {C::ID_FILE_PRINT, C::ID_FILE_PRINT_DEFAULT}) {
        EXPECT_FALSE(app.IsCommandEnabled(id)) << id << " nobody has taken it";
        EXPECT_FALSE(frame->FindCommandAction(id)->isEnabled()) << id;
    }
    EXPECT_EQ(kwPrintCommands::Description(C::ID_FILE_PRINT), "Prints the active report");
    EXPECT_EQ(kwPrintCommands::Description(C::ID_FILE_PRINT_DEFAULT), "Prints the active report to the default printer");

    int prints = 0, defaults = 0;
    ASSERT_TRUE(kwPrintCommands::Take(C::ID_FILE_PRINT, [&] { ++prints; }, "Prints issues"));
    ASSERT_TRUE(kwPrintCommands::Take(C::ID_FILE_PRINT_DEFAULT, [&] { ++defaults; },
                                      "Prints the current issue to the default printer"));
    EXPECT_FALSE(kwPrintCommands::Take(C::ID_APP_EXIT, [] {}, "not a print command"));
    EXPECT_TRUE(frame->FindCommandAction(C::ID_FILE_PRINT)->isEnabled());
    EXPECT_EQ(frame->FindCommandAction(C::ID_FILE_PRINT)->statusTip(), "Prints issues");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->statusTip(), "Prints the current issue to the default printer");
    frame->FindCommandAction(C::ID_FILE_PRINT)->trigger();
    button->trigger();
    EXPECT_EQ(prints, 1);
    EXPECT_EQ(defaults, 1);

    kwPrintCommands::GiveBack(C::ID_FILE_PRINT);
    kwPrintCommands::GiveBack(C::ID_FILE_PRINT_DEFAULT);
    EXPECT_FALSE(kwPrintCommands::Taken(C::ID_FILE_PRINT));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->statusTip(), "Prints the active report to the default printer");
    EXPECT_EQ(frame->FindCommandAction(C::ID_FILE_PRINT)->statusTip(), "Prints the active report");
    button->trigger();
    EXPECT_EQ(defaults, 1) << "a command given back does nothing";
}

} // namespace
