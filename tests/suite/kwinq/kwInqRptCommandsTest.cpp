// The inquiry and report commands: tasks 5000 + i and 6000 + i for the applications the
// list gives, the frame's drop-downs holding them, and their removal.
#include "kwinq/kwInqRptCommands.h"

#include "KwinqTestSupport.h"

#include "kwinq/kwInqWindow.h"
#include "kwinq/xi.h"

#include "kwapp/frame/kwToolBar.h"
#include "kwapp/tasks/kwTask.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QToolButton>

namespace {

using kwinqtest::InquiryTest;
using Applications = std::vector<std::pair<std::string, std::string>>;

xi_appl_list_fill Fill(Applications applications) {
    return [applications](Applications& list) { list = applications; };
}

QMenu* DropDownMenu(kwToolBar* toolBar, const std::string& key) {
    QAction* action = toolBar->DropDownAction(key);
    auto* button = action ? qobject_cast<QToolButton*>(toolBar->widgetForAction(action)) : nullptr;
    return button ? button->menu() : nullptr;
}

QStringList MenuTitles(QMenu* menu) {
    QStringList titles;
    for (QAction* action : menu->actions()) titles << action->text();
    return titles;
}

} // namespace

TEST_F(InquiryTest, CommandsFollowTheApplicationListInItsOrder) {
    NewInqRptCommands("IQ", true, Fill({{"GL", "General Ledger"}, {"AP", "Accounts Payable"}, {"SM", "Service"}}), 2);
    const auto& commands = kwInqCommands();
    std::vector<std::string> made;
    for (const kwInqCommand& command : commands)
        made.push_back(std::to_string(command.id) + " " + command.application + " " + command.name);
    EXPECT_EQ(made, (std::vector<std::string>{"5010 GL Chart of accounts", "5011 AP Vendors", "5012 AP Vendor invoices",
                                              "5013 AP Invoices by date", "6010 GL Chart of accounts",
                                              "6011 AP Vendor list"}))
        << "an application without definitions adds nothing";
    for (const kwInqCommand& command : commands) {
        ASSERT_NE(app.FindTask(command.id), nullptr) << command.id;
        EXPECT_EQ(app.FindTask(command.id)->Name(), command.name);
    }
    EXPECT_EQ(xi_num_pulldown(XI_INQUIRY_BASE), 13);
    EXPECT_EQ(xi_num_pulldown(XI_REPORT_BASE), 11);

    // Made again (another list): the old ones go.
    NewInqRptCommands("IQ", true, Fill({{"PR", "Payroll"}}), 2);
    EXPECT_EQ(app.FindTask(5012), nullptr);
    EXPECT_EQ(app.FindTask(6010), nullptr) << "Payroll has no reports";
    EXPECT_EQ(xi_num_pulldown(XI_INQUIRY_BASE), 11);
    EXPECT_EQ(xi_num_pulldown(XI_REPORT_BASE), 0);

    // The default list: installed applications that are not hidden, by name.
    NewInqRptCommands("IQ", true, {}, 2);
    ASSERT_FALSE(kwInqCommands().empty());
    EXPECT_EQ(kwInqCommands().front().application, "AP") << "Accounts Payable sorts first";
    DelInqRptDropDowns(0, XI_INQUIRIES | XI_REPORTS);
    EXPECT_TRUE(kwInqCommands().empty());
    EXPECT_EQ(app.FindTask(5010), nullptr);
}

TEST_F(InquiryTest, DropDownsGroupCommandsByApplicationAndStartThem) {
    NewInqRptCommands("IQ", true, Fill({{"AP", "Accounts Payable"}, {"GL", "General Ledger"}}), 2);
    AddInqRptDropDowns();
    kwToolBar* toolBar = frame->ToolBar();
    ASSERT_NE(toolBar->DropDownAction("inquiries"), nullptr);
    ASSERT_NE(toolBar->DropDownAction("reports"), nullptr);
    toolBar->Update(); // the task buttons are rebuilt: the drop-downs stay
    QMenu* inquiries = DropDownMenu(toolBar, "inquiries");
    ASSERT_NE(inquiries, nullptr);
    EXPECT_EQ(MenuTitles(inquiries), (QStringList{"Accounts Payable", "General Ledger"}));
    QMenu* payables = inquiries->actions().front()->menu();
    EXPECT_EQ(MenuTitles(payables), (QStringList{"Vendors", "Vendor invoices", "Invoices by date"}));

    // A command starts its inquiry; its task runs while the window is open.
    payables->actions().at(1)->trigger();
    auto* window = qobject_cast<kwInqWindow*>(frame->MdiArea()->activeSubWindow());
    ASSERT_NE(window, nullptr) << testing::PrintToString(Messages());
    EXPECT_EQ(window->Inquiry().name, "Vendor invoices");
    EXPECT_TRUE(window->Filter().empty()) << "a command passes no values";
    EXPECT_EQ(app.FindTask(5011)->Status(), kwTask::RUNNING);
    window->close();
    EXPECT_TRUE(WaitFor([&] { return app.FindTask(5011)->Status() == kwTask::IDLE; }));

    // Names off: the groups show the codes.
    NewInqRptCommands("IQ", false, Fill({{"AP", "Accounts Payable"}}), 2);
    AddInqRptDropDowns();
    ASSERT_NE(DropDownMenu(toolBar, "reports"), nullptr);
    EXPECT_EQ(MenuTitles(DropDownMenu(toolBar, "reports")), QStringList{"AP"}) << "the application's code as the title";

    DelInqRptDropDowns(XI_INQUIRIES | XI_REPORTS, XI_INQUIRIES | XI_REPORTS);
    EXPECT_EQ(toolBar->DropDownAction("inquiries"), nullptr);
    EXPECT_EQ(toolBar->DropDownAction("reports"), nullptr);
    EXPECT_EQ(xi_num_pulldown(XI_INQUIRY_BASE), 0);
}
