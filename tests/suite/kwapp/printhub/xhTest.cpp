// The print hub through the real print dialog of the "QV" screen file, driven offscreen
// by a caller built the way the View Issues window's print job is: the hub block and the
// print definition filled field by field, the events answered, the design printer called
// from the print callback, the job freed by the end callback. 200 generated issues are
// printed to PDF and read back with pdftotext.
#include "kwapp/printhub/xh.h"
#include "kwprint/xr.h"
#include "kwapp/suitewin/xc_select_conditions.h"
#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xw_qt.h"
#include "kwapp/widgets/kwCtrl.h"
#include "kwprint/trPrintProgress.h"
#include "kwprint/tr_design.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include "TestApplication.h"
#include "TestCompany.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <set>

namespace {

using namespace std::chrono_literals;

constexpr short kTask = 7010;
constexpr int kIssues = 200;
const char* const kStatuses[] = {"Open", "On-Hold", "Closed", ""};
const char* const kPeople[] = {"ADMIN", "DANA", "LEE"};

// Issue n: status kStatuses[n % 4], responsible kPeople[n % 3], and a description that
// carries the marker "Marker-n-end" once (pdftotext finds each printed issue by it).
std::string StatusOf(int n) { return kStatuses[n % 4]; }
std::string PersonOf(int n) { return kPeople[n % 3]; }

// What happened in one hub run; outlives the job, which the end callback frees.
struct Outcome {
    int ends = 0;
    int prints = 0;
    std::vector<short> events;
    std::string designs;
};

// The test caller: what the View Issues window's print job holds and does.
struct PrintJob {
    short mode = 0;
    bool formLayout = true;
    bool currentOnly = true;
    short screen = 0;
    short file = 0;
    int64_t savedPosition = 0;
    short conditions = 0; // the window's
    double currentIssue = 0;
    int16_t taskIdCopy = kTask;
    xh_hub_def block;
    std::string responsible; // the window's responsible-person filter ("" off)
    Outcome* outcome = nullptr;
};

short OnEvent(short window, short event, short p1, short p2, short p3, void* data);
short OnPrint(short window, void* data, xh_print_event* eventData);
void OnEnd(short window, void* data);

void FillBlock(PrintJob& job) {
    std::memset(&job.block, 0, XH_HUB_DEF_SIZE);
    xh_hub_def& b = job.block;
    b.taskId = kTask;
    b.screen = job.screen;
    if (job.screen) {
        std::strcpy(b.group, "ISSUE");
        std::strcpy(b.panel, "PRINT");
    }
    std::strcpy(b.reportName, "report");
    std::strcpy(b.reportCopy, "report");
    std::strcpy(b.actionName, "print");
    b.fileNumber = job.file;
    b.recordType = 1;
    b.orderKey = 0;
    std::strcpy(b.rangeField, "ISSUE");
    std::strcpy(b.textField, "FORMESS");
    b.conditionFile = job.file;
    b.conditionRecordType = 1;
    b.useConditions = 1;
    b.taskIdRef = &job.taskIdCopy;
    b.eventProc = &OnEvent;
    b.printProc = &OnPrint;
    b.endProc = &OnEnd;
    b.job = &job;
    b.useRanges = job.mode == 0 ? 1 : 0;
    b.mode = job.mode;
}

void PutCurrentIssueRange(const PrintJob& job, short ranges) {
    const x_value_def issue = x_value_def::OfNumber(job.currentIssue);
    EXPECT_EQ(xr_put_field(ranges, "ISSUE", XR_FROM, &issue), 1);
    EXPECT_EQ(xr_put_field(ranges, "ISSUE", XR_TO, &issue), 1);
    EXPECT_EQ(xr_put_range(ranges), 1);
}

void CopyConditions(const PrintJob& job, short target) {
    xc_reset_conditions(job.conditions);
    xc_cond_def condition;
    while (xc_get_condition(job.conditions, &condition)) EXPECT_EQ(xc_put_condition(target, &condition), 1);
}

short FieldValue(short window, short field) {
    x_value_def value;
    xw_get_field(window, field, &value);
    return static_cast<short>(value.AsNumber());
}

short OnEvent(short window, short event, short p1, short p2, short p3, void* data) {
    auto& job = *static_cast<PrintJob*>(data);
    job.outcome->events.push_back(event);
    static short ranges = 0, conditions = 0;
    switch (event) {
    case 101:
        ranges = p1;
        conditions = p2;
        PutCurrentIssueRange(job, p1);
        CopyConditions(job, p2);
        return 1;
    case 103: {
        const x_value_def one = x_value_def::OfNumber(1);
        xw_put_field(window, 1, &one);
        xw_put_field(window, 2, &one);
        xw_wr_fields(window, 1, 2);
        xw_set_active_field(window, 1);
        return 1;
    }
    case 107:
        if (p2 == 13 && p3 == 3) {
            job.currentOnly = FieldValue(window, 1) == 1;
            job.formLayout = FieldValue(window, 2) == 1;
        }
        return 1;
    case 108:
        if (p1 == 1) {
            job.currentOnly = FieldValue(window, 1) == 1;
            FillBlock(job);
            EXPECT_EQ(xh_change_hub(&job.block), 1);
            if (job.currentOnly) {
                PutCurrentIssueRange(job, ranges);
                xw_chg_button(window, 7, "*  ~Ranges...  *");
            }
            CopyConditions(job, conditions);
            if (xc_conditions_exist(conditions, 0, 0)) xw_chg_button(window, 6, "*~Conditions...*");
        }
        return 1;
    default:
        return 1;
    }
}

short OnSelect(void* data, void* /*eventData*/, short file, short status) {
    const auto& job = *static_cast<PrintJob*>(data);
    if (status != 0 || job.responsible.empty()) return 1;
    x_value_def person;
    xio_get_field(file, 0, xio_num(file, 0, 0, "RESPONS"), &person);
    return person.AsText() == job.responsible ? 1 : 0;
}

short OnPrint(short /*window*/, void* data, xh_print_event* eventData) {
    auto& job = *static_cast<PrintJob*>(data);
    ++job.outcome->prints;
    const short handle = tr_init_design(0);
    if (!job.savedPosition) job.savedPosition = xio_save_record(job.file, 1);
    tr_print_def def{};
    const char* design = job.formLayout ? "QV Form View" : "QV Table View";
    job.outcome->designs += std::string(job.outcome->designs.empty() ? "" : ",") + design;
    std::snprintf(def.designName, sizeof def.designName, "%s", design);
    def.taskId = kTask;
    def.fileNumber = job.file;
    std::memcpy(def.fileName, "QVI", 4);
    def.job = &job;
    def.eventData = eventData;
    def.select = &OnSelect;
    if (!tr_print_design(handle, &def)) tr_term_design(handle);
    return 1;
}

void OnEnd(short /*window*/, void* data) {
    auto* job = static_cast<PrintJob*>(data);
    ++job->outcome->ends;
    if (job->savedPosition) xio_restore_record(job->file, job->savedPosition, 1, 0);
    if (job->screen) xw_cls_screen_file(job->screen);
    delete job;
}

std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 65536> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

// The issues a PDF shows, by their markers.
std::set<int> PrintedIssues(const std::string& pdf) {
    const std::string text = Run("pdftotext -enc UTF-8 '" + pdf + "' - 2>/dev/null");
    std::set<int> issues;
    static const std::regex marker(R"(Marker-(\d+)-end)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), marker); it != std::sregex_iterator(); ++it)
        issues.insert(std::stoi((*it)[1]));
    return issues;
}

template <class T = QWidget> T* Control(short window, int id) {
    return kwFindCtrl<T>(xw_window_widget(window), id);
}

void Click(short window, int id, short item = 0) {
    auto* button = qobject_cast<QAbstractButton*>(xw_field_widget(window, static_cast<short>(id), item));
    ASSERT_NE(button, nullptr) << "control " << id;
    button->click();
}

void Type(short window, int id, const QString& text) {
    auto* edit = Control<QLineEdit>(window, id);
    ASSERT_NE(edit, nullptr) << "control " << id;
    edit->setText(text);
    emit edit->textEdited(text);
}

// Tries `attempt` every few milliseconds from the event loops that run meanwhile (the
// dialog's read, the print's progress, the preview) until it answers true.
void WhenReady(std::function<bool()> attempt) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, attempt, tries] {
        if (attempt() || ++*tries > 2000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
}

class PrintHubTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        pinned.emplace(xd_pin_now(std::chrono::year_month_day{2026y / 3 / 14}, 9 * 3600));
        xio_open_def def;
        std::strcpy(def.abbrev, "QVI");
        def.programNumber = kTask;
        def.create = 1;
        ASSERT_EQ(xio_open_file(&def, &file), XIO_OK);
        xio_set_durability(file, XIO_FAST);
        for (int n = 1; n <= kIssues; ++n) {
            xio_clr_record(file, 1);
            Put("ISSUE", x_value_def::OfNumber(n));
            ASSERT_EQ(xio_put_long_text(file, xio_num(file, 0, 0, "FORMESS"),
                                        "Issue " + std::to_string(n) + " Marker-" + std::to_string(n) +
                                            "-end: the vendor invoice was posted twice."),
                      XIO_OK);
            Put("STATUS", x_value_def::OfText(StatusOf(n)));
            Put("RESPONS", x_value_def::OfText(PersonOf(n)));
            ASSERT_EQ(xio_wr_record(file, 1, 0), XIO_OK);
        }
        xc_cond_init_def init{};
        init.programNumber = kTask;
        init.fileNumber = file;
        init.recordType = 1;
        windowConditions = xc_init_conditions(&init, 1);
        tr_set_default_printer([this](const std::string&) { return tr_printer_target{"", Pdf("default.pdf")}; });
    }
    void TearDown() override {
        xw_set_panel_driver({});
        xc_set_condition_editor({});
        tr_set_default_printer(nullptr);
        xc_term_conditions(windowConditions, 1);
        if (file) xio_cls_file(file);
        xw_clear_shown_messages();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Put(const char* field, const x_value_def& value) {
        ASSERT_EQ(xio_put_field(file, 0, xio_num(file, 0, 0, field), &value), XIO_OK) << field;
    }
    std::string Pdf(const std::string& name) const { return company.Path(name); }

    // The window's condition: status is "Open".
    void WindowShowsOpenIssues() {
        xc_cond_def condition{};
        const x_value_def open = x_value_def::OfText("Open");
        ASSERT_EQ(xc_make_condition(file, xio_num(file, 0, 0, "STATUS"), XC_EQUAL, &open, nullptr, XC_AND, &condition), 1);
        ASSERT_EQ(xc_put_condition(windowConditions, &condition), 1);
    }

    // Starts a job the way the window's print commands do: mode 0 prints issues through the
    // dialog, mode 1 the current issue to the default printer. The driver's steps run one
    // per read of the dialog.
    short StartJob(short mode, double currentIssue, std::vector<std::function<void(short)>> steps,
                   const std::string& responsible = "") {
        auto* job = new PrintJob;
        job->mode = mode;
        job->file = file;
        job->conditions = windowConditions;
        job->currentIssue = currentIssue;
        job->responsible = responsible;
        job->outcome = &outcome;
        if (mode == 0) job->screen = xw_open_screen_file("QV");
        FillBlock(*job);
        // The layer calls a copy of the driver: the step count lives outside it.
        auto next = std::make_shared<size_t>(0);
        xw_set_panel_driver([steps, next](short window) {
            if (*next < steps.size()) steps[(*next)++](window);
            else ADD_FAILURE() << "the dialog read again after the last step";
        });
        const short answer = xh_process_hub(&job->block); // the job is gone after this
        xw_refresh();
        return answer;
    }

    std::set<int> Expected(int from, int to, bool openOnly, const std::string& person = "") const {
        std::set<int> issues;
        for (int n = from; n <= to; ++n)
            if ((!openOnly || StatusOf(n) == "Open") && (person.empty() || PersonOf(n) == person)) issues.insert(n);
        return issues;
    }

    std::optional<xd_clock::Guard> pinned;
    TestCompany company{false};
    short file = 0;
    short windowConditions = 0;
    Outcome outcome;
};

// Range from fields 4 and 5, the window's conditions, both designs: exactly the selected
// issues are printed; the responsible-person filter holds on top of them.
TEST_F(PrintHubTest, PrintsTheRangeAndConditionsToPdfInBothDesigns) {
    WindowShowsOpenIssues();
    for (const bool form : {false, true}) {
        SCOPED_TRACE(form ? "QV Form View" : "QV Table View");
        outcome = {};
        const std::string pdf = Pdf(form ? "form.pdf" : "table.pdf");
        auto chooser = xh_pdf_chooser_seam().Replace([&](const std::string& suggested) {
            EXPECT_NE(suggested.find("Issues.pdf"), std::string::npos) << suggested;
            return std::optional<std::string>(pdf);
        });
        const std::string person = form ? "DANA" : "";
        const short answer = StartJob(0, 57, {
            [](short window) {
                EXPECT_EQ(FieldValue(window, 1), 1) << "current issue only starts on";
                EXPECT_FALSE(Control(window, 4)->isEnabled()) << "the range is the current issue's";
                EXPECT_EQ(Control<QLineEdit>(window, 4)->text(), "57");
                Click(window, 1); // off: the read ends on the change
            },
            [form](short window) {
                EXPECT_TRUE(Control(window, 4)->isEnabled());
                EXPECT_EQ(Control<QLineEdit>(window, 4)->text(), "") << "the current issue's range is gone";
                EXPECT_EQ(Control<QAbstractButton>(window, 6)->text(), "&Conditions...");
                EXPECT_TRUE(Control<QAbstractButton>(window, 6)->font().bold()) << "conditions are set";
                EXPECT_FALSE(Control<QAbstractButton>(window, 7)->font().bold()) << "no range is set";
                if (!form) Click(window, 2);
                Type(window, 4, "20");
                Type(window, 5, "120");
                Click(window, 3, 3); // PDF file
                if (form) xw_window_widget(window)->grab().save("/tmp/hub-print-dialog.png");
                Click(window, 8);
            }}, person);
        EXPECT_EQ(answer, 1);
        EXPECT_EQ(outcome.ends, 1);
        EXPECT_EQ(outcome.prints, 1);
        EXPECT_EQ(outcome.designs, form ? "QV Form View" : "QV Table View");
        EXPECT_EQ(PrintedIssues(pdf), Expected(20, 120, true, person));
        EXPECT_EQ(outcome.events.front(), 101) << "dialog start comes first";
    }
}

// The defaults print the current issue alone, in the form layout.
TEST_F(PrintHubTest, CurrentIssueOnlyPrintsTheOneIssue) {
    const std::string pdf = Pdf("current.pdf");
    auto chooser = xh_pdf_chooser_seam().Replace([&](const std::string&) { return std::optional<std::string>(pdf); });
    const short answer = StartJob(0, 142, {[](short window) {
        Click(window, 3, 3);
        Click(window, 8);
    }});
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(outcome.designs, "QV Form View");
    EXPECT_EQ(PrintedIssues(pdf), std::set<int>{142});
}

// Cancel, Esc and a refused PDF file name print nothing; the end callback runs once.
TEST_F(PrintHubTest, CancelPrintsNothingAndStillEnds) {
    int chooserAsked = 0;
    auto chooser = xh_pdf_chooser_seam().Replace([&](const std::string&) {
        ++chooserAsked;
        return std::optional<std::string>();
    });
    EXPECT_EQ(StartJob(0, 5, {[](short window) {
                                   Click(window, 3, 3);
                                   Click(window, 8); // the file choice is cancelled: back to the dialog
                               },
                               [](short window) { Click(window, 9); }}),
              0);
    EXPECT_EQ(chooserAsked, 1);
    EXPECT_EQ(outcome.prints, 0);
    EXPECT_EQ(outcome.ends, 1);
    EXPECT_EQ(std::count(outcome.events.begin(), outcome.events.end(), short(101)), 1);

    outcome = {};
    EXPECT_EQ(StartJob(0, 5, {[](short window) { xw_window_widget(window)->close(); }}), 0);
    EXPECT_EQ(outcome.prints, 0);
    EXPECT_EQ(outcome.ends, 1);
    EXPECT_FALSE(std::filesystem::exists(Pdf("default.pdf")));
}

// Mode 1: no dialog, the current issue to the default printer (a PDF file here).
TEST_F(PrintHubTest, DefaultPrinterPathWritesThePdf) {
    EXPECT_EQ(StartJob(1, 33, {}), 1);
    EXPECT_EQ(outcome.ends, 1);
    EXPECT_EQ((std::vector<short>{101}), outcome.events) << "no dialog events without a dialog";
    EXPECT_EQ(PrintedIssues(Pdf("default.pdf")), std::set<int>{33});
}

// The condition editor (button 6) and the range dialog (button 7) change what prints;
// the printer choice goes to the printer the user set up.
TEST_F(PrintHubTest, ButtonsEditConditionsAndRangesForTheChosenPrinter) {
    const std::string pdf = Pdf("printer.pdf");
    int chosen = 0;
    auto printerChoice = tr_printer_chooser_seam().Replace([&](QPrinter& printer) {
        ++chosen;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    xc_set_condition_editor([this](short handle) {
        xc_cond_def condition{};
        const x_value_def lee = x_value_def::OfText("LEE");
        xc_make_condition(file, xio_num(file, 0, 0, "RESPONS"), XC_EQUAL, &lee, nullptr, XC_AND, &condition);
        return xc_insert_condition(handle, 0, &condition) == 1;
    });
    auto rangeEditor = xh_range_editor_seam().Replace([](short ranges, const std::string& field) {
        const x_value_def from = x_value_def::OfText("150");
        return xr_put_field(ranges, field.c_str(), XR_FROM, &from) && xr_put_range(ranges);
    });
    const short answer = StartJob(0, 1, {
        [](short window) { Click(window, 1); },
        [](short window) {
            Click(window, 2);
            Click(window, 6);
            EXPECT_TRUE(Control<QAbstractButton>(window, 6)->font().bold());
            Click(window, 7);
            EXPECT_EQ(Control<QLineEdit>(window, 4)->text(), "150");
            EXPECT_EQ(Control<QLineEdit>(window, 5)->text(), "");
            EXPECT_TRUE(Control<QAbstractButton>(window, 7)->font().bold());
            EXPECT_EQ(Control<QAbstractButton>(window, 7)->text(), "&Ranges...");
            Click(window, 3, 1);
            Click(window, 8);
        }});
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(PrintedIssues(pdf), Expected(150, kIssues, false, "LEE"));
}

// Button 7's own dialog: a value the field cannot hold is refused with a message and
// changes nothing; typed bounds become the range that fields 4 and 5 show.
TEST_F(PrintHubTest, RangeDialogTakesTypedBoundsAndRefusesOthers) {
    const std::string pdf = Pdf("ranged.pdf");
    auto chooser = xh_pdf_chooser_seam().Replace([&](const std::string&) { return std::optional<std::string>(pdf); });
    xw_script_answers({XW_ANSWER_OK});
    int shown = 0;
    const auto fill = [&shown](const QString& from, const QString& to) {
        WhenReady([&shown, from, to] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QDialog*>(top);
                if (!dialog || !dialog->isVisible() || dialog->objectName() != "xhRangeDialog") continue;
                ++shown;
                kwFindCtrl<QLineEdit>(dialog, 101)->setText(from);
                kwFindCtrl<QLineEdit>(dialog, 102)->setText(to);
                kwFindCtrl<QAbstractButton>(dialog, 1)->click();
                if (dialog->isVisible()) kwFindCtrl<QAbstractButton>(dialog, 2)->click(); // refused: cancel
                return true;
            }
            return false;
        });
    };
    const short answer = StartJob(0, 1, {
        [](short window) { Click(window, 1); },
        [&](short window) {
            fill("seven", "9");
            Click(window, 7);
            EXPECT_EQ(Control<QLineEdit>(window, 4)->text(), "") << "a refused value changes nothing";
            fill("190", "");
            Click(window, 7);
            EXPECT_EQ(Control<QLineEdit>(window, 4)->text(), "190");
            Click(window, 2);
            Click(window, 3, 3);
            Click(window, 8);
        }});
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "\"seven\" is not a valid Issue number.");
    EXPECT_EQ(PrintedIssues(pdf), Expected(190, kIssues, false));
}

// A long print shows its progress; Cancel stops it, nothing is written, and the dialog
// stays for another choice. A preview shows the pages in a preview window.
TEST_F(PrintHubTest, ProgressCancelsAndPreviewShowsPages) {
    const std::string pdf = Pdf("cancelled.pdf");
    auto chooser = xh_pdf_chooser_seam().Replace([&](const std::string&) { return std::optional<std::string>(pdf); });
    int previewPages = -1;
    const short answer = StartJob(0, 1, {
        [](short window) {
            Click(window, 1);
        },
        [](short window) {
            Click(window, 3, 3);
            WhenReady([] {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (auto* progress = qobject_cast<QProgressDialog*>(top);
                        progress && progress->objectName() == trPrintProgress::kObjectName) {
                        progress->cancel();
                        return true;
                    }
                }
                return false;
            });
            Click(window, 8);
        },
        [&previewPages](short window) {
            EXPECT_TRUE(xw_shown_messages().empty()) << "a cancel is no failure to tell";
            Click(window, 2);
            Click(window, 3, 2);
            WhenReady([&previewPages] {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    auto* preview = qobject_cast<QPrintPreviewDialog*>(top);
                    auto* widget = preview && preview->isVisible() ? preview->findChild<QPrintPreviewWidget*>() : nullptr;
                    if (!widget || widget->pageCount() == 0) continue;
                    previewPages = widget->pageCount();
                    preview->grab().save("/tmp/hub-preview.png");
                    preview->reject();
                    return true;
                }
                return false;
            });
            Click(window, 8);
        }});
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(outcome.prints, 2);
    EXPECT_EQ(outcome.ends, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf)) << "a cancelled print writes nothing";
    EXPECT_GT(previewPages, 1) << "200 issues in the table design fill several pages";
}

// Ranges on their own: bounds collected and put, open ends, replacement, the past test.
TEST_F(PrintHubTest, RangeSetsSelectByTheirBounds) {
    const short ranges = xr_init_range(file, 1);
    ASSERT_GT(ranges, 0);
    const auto inside = [&](int n) {
        xio_clr_record(file, 1);
        const x_value_def issue = x_value_def::OfNumber(n);
        xio_put_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &issue);
        return xr_meets_range(ranges) == 1;
    };
    EXPECT_TRUE(inside(1)) << "an empty set takes every record";
    const x_value_def ten = x_value_def::OfNumber(10), twenty = x_value_def::OfText("20");
    xr_put_field(ranges, "ISSUE", XR_FROM, &ten);
    EXPECT_TRUE(inside(1)) << "collected bounds count once they are put";
    xr_put_field(ranges, "ISSUE", XR_TO, &twenty);
    xr_put_range(ranges);
    EXPECT_FALSE(inside(9));
    EXPECT_TRUE(inside(10));
    EXPECT_TRUE(inside(20));
    EXPECT_FALSE(inside(21));
    EXPECT_EQ(xr_past_range(ranges, "ISSUE"), 1) << "21 lies past the upper end";
    xr_put_field(ranges, "ISSUE", XR_FROM, &twenty);
    xr_put_range(ranges);
    EXPECT_TRUE(inside(500)) << "the new range replaces the old one; its upper end is open";
    EXPECT_FALSE(inside(19));
    EXPECT_EQ(xr_range_count(ranges), 1);
    const x_value_def text = x_value_def::OfText("twelve");
    EXPECT_EQ(xr_put_field(ranges, "ISSUE", XR_FROM, &text), 0) << "a value the field cannot hold";
    EXPECT_EQ(xr_put_field(ranges, "NOFIELD", XR_FROM, &ten), 0);
    EXPECT_EQ(xr_term_range(ranges), 1);
    EXPECT_EQ(xr_term_range(ranges), 0);
}

} // namespace
