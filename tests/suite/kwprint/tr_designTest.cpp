// The design printer end to end: generated issues printed through the shipped designs to
// PDF and read back with poppler's pdftotext, page numbering across page breaks, long
// descriptions, damaged designs, cancelling, the default-printer seam and selections.
#include "PrintTestSupport.h"
#include "TestApplication.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"
#include "kwcommon/xio_dict.h"
#include "kwcommon/xk.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QRectF>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace std::chrono_literals;

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        pinned.emplace(xd_pin_now(std::chrono::year_month_day{2026y / 3 / 14}, 9 * 3600 + 41 * 60));
    }
    void TearDown() override {
        tr_set_default_printer(nullptr);
        xw_clear_shown_messages();
    }
    std::string Pdf(const std::string& name) const { return company.Path(name); }
    std::optional<xd_clock::Guard> pinned;

    TestCompany company{false};
};

std::vector<std::string> Pages(const std::string& text) {
    std::vector<std::string> pages;
    std::string page;
    for (char c : text) {
        if (c == '\f') {
            pages.push_back(page);
            page.clear();
        } else {
            page += c;
        }
    }
    return pages;
}

// Every page k of m says "Page k of m", and m is the PDF's page count.
void ExpectPageNumbers(const std::string& pdf) {
    const int count = PdfPages(pdf);
    const std::vector<std::string> pages = Pages(PdfText(pdf, false));
    ASSERT_EQ(static_cast<int>(pages.size()), count);
    for (int k = 1; k <= count; ++k) {
        const std::string wanted = "Page " + std::to_string(k) + " of " + std::to_string(count);
        EXPECT_NE(pages[static_cast<size_t>(k - 1)].find(wanted), std::string::npos) << "page " << k << " lacks " << wanted;
    }
}

// expected stands in actual in at most `pieces` runs in order (a page break may come
// between two runs: the footer and header then stand between them).
bool ContainsInPieces(const std::string& actual, const std::string& expected, int pieces, size_t from = 0) {
    size_t at = 0;
    for (int piece = 0; piece < pieces && at < expected.size(); ++piece) {
        size_t low = 0, high = expected.size() - at, found = std::string::npos;
        while (low < high) { // the longest run that is found
            const size_t mid = (low + high + 1) / 2;
            const size_t where = actual.find(expected.substr(at, mid), from);
            if (where != std::string::npos) {
                low = mid;
                found = where;
            } else {
                high = mid - 1;
            }
        }
        if (low < 16 && at + low < expected.size()) return false;
        found = actual.find(expected.substr(at, low), from);
        from = found + low;
        at += low;
    }
    return at >= expected.size();
}

std::string TableRow(const TestIssue& issue) {
    return Squeezed(std::to_string(issue.number) + issue.message + issue.status + issue.urgency + issue.classif +
                    issue.followup + issue.problem + issue.respons + ShownDate(issue.notify) + ShownDate(issue.due));
}

void WidenDescriptions(const TestCompany& company, int width) {
    const std::string path = company.Path("dict/qvi.dct");
    nlohmann::json dictionary = nlohmann::json::parse(ReadAll(path));
    for (auto& field : dictionary["recordTypes"][0]["fields"])
        if (field["name"] == "FORMESS") field["width"] = width;
    WriteAll(path, dictionary.dump(1));
    kwDictionaryLoader::ClearCache();
}

std::string LongDescription(size_t length) {
    const std::string tail = " End of the long description.";
    std::string text = "Start of the long description.";
    for (int n = 1; text.size() + tail.size() < length; ++n) {
        text += n % 8 == 0 ? "\n" : " "; // short paragraphs: many lines
        text += "word" + std::to_string(n);
    }
    text.resize(length - tail.size());
    return text + tail;
}

// Every word lies inside the printable area (nothing runs off the paper or into the
// margins) and no two words overlap (a grown text never covers what follows it).
std::vector<PdfWord> ExpectWordsInsideAndApart(const std::string& pdf, QRectF area) {
    const std::vector<PdfWord> words = PdfWords(pdf);
    for (size_t i = 0; i < words.size(); ++i) {
        const PdfWord& a = words[i];
        EXPECT_TRUE(a.xMin >= area.left() - 1 && a.xMax <= area.right() + 1 && a.yMin >= area.top() - 1 &&
                    a.yMax <= area.bottom() + 1)
            << "\"" << a.text << "\" lies outside the printable area on page " << a.page;
        for (size_t j = i + 1; j < words.size() && words[j].page == a.page; ++j) {
            const PdfWord& b = words[j];
            const bool overlap = a.xMin < b.xMax - 0.5 && b.xMin < a.xMax - 0.5 && a.yMin < b.yMax - 0.5 &&
                                 b.yMin < a.yMax - 0.5;
            EXPECT_FALSE(overlap) << "\"" << a.text << "\" and \"" << b.text << "\" overlap on page " << a.page;
        }
    }
    return words;
}

} // namespace

TEST_F(PrintTest, TableViewPrintsEveryIssueInOrderWithTheCompanysHeadings) {
    ASSERT_EQ(xk_put_description(262, 0, "Category"), XIO_OK);
    const auto issues = MakeIssues(200, 7);
    TestIssueFile file;
    file.Write(issues);

    short answer = 0;
    const tr_print_result result = PrintIssues(file.Number(), "QV Table View", Pdf("table.pdf"), &answer);
    ASSERT_EQ(answer, 1) << result.error;
    EXPECT_EQ(result.records, 200);
    EXPECT_EQ(result.pages, PdfPages(Pdf("table.pdf")));
    EXPECT_GT(result.pages, 5) << "200 issues with descriptions do not fit a few pages";
    EXPECT_EQ(std::string(result.output), Pdf("table.pdf"));

    const std::string raw = Squeezed(PdfText(Pdf("table.pdf"), true));
    size_t at = 0;
    for (const TestIssue& issue : issues) {
        const size_t found = raw.find(TableRow(issue), at);
        ASSERT_NE(found, std::string::npos) << "issue " << issue.number << " is not printed whole, in order";
        at = found + 1;
    }
    const std::string first = Pages(PdfText(Pdf("table.pdf"), false)).front();
    for (const char* heading : {"Demo Company", "Issue List", "Category", "Urgency", "Follow-up", "Status", "Problem",
                                "Printed 03/14/2026 at 09:41 by ADMIN"})
        EXPECT_NE(first.find(heading), std::string::npos) << "the first page lacks " << heading;
    EXPECT_EQ(first.find("Classification"), std::string::npos) << "the company renamed the list";
    EXPECT_NE(raw.find(Squeezed("Issues printed: 200")), std::string::npos);
    ExpectPageNumbers(Pdf("table.pdf"));
    ExpectWordsInsideAndApart(Pdf("table.pdf"), QRectF(36, 36, 720, 546));
}

TEST_F(PrintTest, FormViewPrintsAPagePerIssueWithDatesInTheCompanysFormat) {
    kwCompany::SetDateFormat("DD.MM.YYYY");
    const auto issues = MakeIssues(200, 11);
    TestIssueFile file;
    file.Write(issues);

    short answer = 0;
    const tr_print_result result = PrintIssues(file.Number(), "QV Form View", Pdf("form.pdf"), &answer);
    ASSERT_EQ(answer, 1) << result.error;
    ASSERT_EQ(PdfPages(Pdf("form.pdf")), 200);
    EXPECT_EQ(result.pages, 200);

    const std::vector<std::string> pages = Pages(PdfText(Pdf("form.pdf"), true));
    ASSERT_EQ(pages.size(), 200u);
    for (const TestIssue& issue : issues) {
        const std::string page = Squeezed(pages[static_cast<size_t>(issue.number - 1)]);
        const auto has = [&](const std::string& text) { return page.find(Squeezed(text)) != std::string::npos; };
        EXPECT_TRUE(has("Issue " + std::to_string(issue.number))) << issue.number;
        EXPECT_TRUE(has("Status: " + issue.status)) << issue.number;
        EXPECT_TRUE(has("Classification:" + issue.classif + "Urgency:" + issue.urgency + "Follow-up:" +
                        issue.followup + "Problem:" + issue.problem))
            << "issue " << issue.number << ": the lists' descriptions and values";
        EXPECT_TRUE(has("Notify date:" + ShownDate(issue.notify))) << issue.number;
        EXPECT_TRUE(has("Description" + issue.message)) << "issue " << issue.number << ": the description whole";
    }
    EXPECT_NE(pages[0].find("14.03.2026"), std::string::npos) << "the run date in the company's format";
    EXPECT_NE(Squeezed(pages[0]).find(Squeezed("Notify date: " + xd_format_date(issues[0].notify, "DD.MM.YYYY"))),
              std::string::npos);
    kwCompany::SetDateFormat(XD_DEFAULT_DATE_FORMAT);
    ExpectPageNumbers(Pdf("form.pdf"));
}

TEST_F(PrintTest, LongDescriptionWrapsAndContinuesOnTheNextPage) {
    WidenDescriptions(company, 4000);
    auto issues = MakeIssues(3, 3);
    issues[1].message = LongDescription(3000);
    ASSERT_EQ(issues[1].message.size(), 3000u);
    TestIssueFile file;
    file.Write(issues);

    // The form: the description's frame grows, runs over to a second page under the
    // "continued" band, and the stamps below it move down instead of being covered.
    ASSERT_EQ(PrintIssues(file.Number(), "QV Form View", Pdf("form.pdf")).status, 0);
    ASSERT_EQ(PdfPages(Pdf("form.pdf")), 4) << "issue 2 takes two pages";
    const std::vector<std::string> form = Pages(PdfText(Pdf("form.pdf"), true));
    EXPECT_NE(form[2].find("Issue 2 (continued)"), std::string::npos);
    EXPECT_TRUE(ContainsInPieces(Squeezed(form[1] + form[2]), Squeezed(issues[1].message), 2))
        << "the description is printed whole, in at most two pieces";
    ExpectPageNumbers(Pdf("form.pdf"));

    const std::vector<PdfWord> words = ExpectWordsInsideAndApart(Pdf("form.pdf"), QRectF(54, 48, 504, 704));
    double lastLine = 0, stamps = 0;
    for (const PdfWord& word : words) {
        if (word.page == 3 && word.text == "description.") lastLine = word.yMax;
        if (word.page == 3 && word.text == "Created") stamps = word.yMin;
    }
    EXPECT_GT(stamps, lastLine) << "the stamps moved below the grown description";

    // The table: the row runs over a page under the repeated column headings.
    ASSERT_EQ(PrintIssues(file.Number(), "QV Table View", Pdf("table.pdf")).status, 0);
    EXPECT_GE(PdfPages(Pdf("table.pdf")), 2);
    const std::string table = Squeezed(PdfText(Pdf("table.pdf"), true));
    EXPECT_TRUE(ContainsInPieces(table, Squeezed(issues[1].message), 3));
    EXPECT_NE(table.find(TableRow(issues[2])), std::string::npos);
    ExpectPageNumbers(Pdf("table.pdf"));
}

TEST_F(PrintTest, DamagedOrMissingDesignsAreRefusedNamingTheFile) {
    TestIssueFile file;
    file.Write(MakeIssues(3, 1));
    WriteAll(Pdf("keep.pdf"), "earlier report");

    const std::string design = company.Path("reports/QV Table View.RPT");
    nlohmann::json broken = nlohmann::json::parse(ReadAll(design));
    broken["columns"][1]["width"] = "wide";
    WriteAll(design, broken.dump());
    short answer = 1;
    tr_print_result result = PrintIssues(file.Number(), "QV Table View", Pdf("keep.pdf"), &answer, 0);
    EXPECT_EQ(answer, 0);
    EXPECT_NE(std::string(result.error).find("QV Table View.RPT: columns[1].width: must be a number"),
              std::string::npos)
        << result.error;
    ASSERT_EQ(xw_shown_messages().size(), 1u) << "without TR_QUIET the user is told";
    EXPECT_EQ(xw_shown_messages()[0].text, result.error);
    EXPECT_EQ(ReadAll(Pdf("keep.pdf")), "earlier report") << "a failed print leaves the earlier file alone";

    WriteAll(design, "{ \"version\": 1, \"kind\": ");
    result = PrintIssues(file.Number(), "QV Table View", Pdf("keep.pdf"));
    EXPECT_NE(std::string(result.error).find("QV Table View.RPT: not a valid design (JSON error"), std::string::npos)
        << result.error;

    broken["columns"][1]["width"] = 10;
    broken["columns"][0]["field"] = "NOSUCH";
    WriteAll(design, broken.dump());
    result = PrintIssues(file.Number(), "QV Table View", Pdf("keep.pdf"));
    EXPECT_NE(std::string(result.error).find("QV Table View.RPT: columns[0].field: the file has no field \"NOSUCH\""),
              std::string::npos)
        << result.error;

    result = PrintIssues(file.Number(), "No Such Design", Pdf("keep.pdf"));
    EXPECT_EQ(result.status, XIO_ABSENT);
    EXPECT_NE(std::string(result.error).find("\"No Such Design\" was not found"), std::string::npos) << result.error;
    EXPECT_EQ(ReadAll(Pdf("keep.pdf")), "earlier report");
    EXPECT_EQ(xw_shown_messages().size(), 1u) << "TR_QUIET prints show nothing";
}

TEST_F(PrintTest, ProgressIsReportedAndCancellingLeavesNothingBehind) {
    TestIssueFile file;
    file.Write(MakeIssues(120, 5));
    struct Watch {
        std::vector<tr_progress> seen;
        int cancelAtPage = 0;
    } watch;
    const auto progress = [](void* data, const tr_progress* p) -> short {
        auto* w = static_cast<Watch*>(data);
        w->seen.push_back(*p);
        return !(w->cancelAtPage && p->phase == 2 && p->pagesMade >= w->cancelAtPage);
    };
    tr_print_result result;
    tr_print_def def{};
    std::snprintf(def.designName, sizeof def.designName, "QV Form View");
    def.fileNumber = file.Number();
    def.progress = progress;
    def.progressData = &watch;
    const std::string pdf = Pdf("form.pdf");
    def.pdfPath = pdf.c_str();
    def.result = &result;

    short handle = tr_init_design(0);
    ASSERT_EQ(tr_print_design(handle, &def), 1) << result.error;
    EXPECT_EQ(tr_term_design(handle), 0) << "a print that succeeds ends its handle";
    ASSERT_FALSE(watch.seen.empty());
    EXPECT_EQ(watch.seen.front().phase, 1) << "the page count comes first";
    EXPECT_EQ(watch.seen.back().phase, 2);
    EXPECT_EQ(watch.seen.back().recordsRead, 120);
    EXPECT_EQ(watch.seen.back().pagesMade, 120);
    for (const tr_progress& p : watch.seen) {
        if (p.phase == 2) {
            EXPECT_EQ(p.pagesTotal, 120) << "the total is known while printing";
        }
    }

    watch = Watch{{}, 3};
    std::filesystem::remove(pdf);
    handle = tr_init_design(0);
    EXPECT_EQ(tr_print_design(handle, &def), 0);
    EXPECT_EQ(result.status, XIO_CANCELLED);
    EXPECT_TRUE(xw_shown_messages().empty()) << "cancelling is not an error";
    EXPECT_FALSE(std::filesystem::exists(pdf)) << "a cancelled print places no file";
    for (const auto& entry : std::filesystem::directory_iterator(company.Folder()))
        EXPECT_EQ(entry.path().filename().string().find(".form.pdf.tmp"), std::string::npos) << entry.path();
    EXPECT_EQ(tr_term_design(handle), 1) << "a failed print leaves its handle to the caller";
}

TEST_F(PrintTest, SelectionsGroupsAndTheDefaultPrinter) {
    const auto issues = MakeIssues(40, 9);
    TestIssueFile file;
    file.Write(issues);
    std::string asked;
    tr_set_default_printer([&](const std::string& title) {
        asked = title;
        return tr_printer_target{"", company.Path("default.pdf")};
    });

    // The caller walks its selection; the selection callback may still leave records out.
    struct Walk {
        short issueField;
        double next = 0;
    } walk{xio_num(file.Number(), 0, 0, "ISSUE")};
    tr_print_def def{};
    std::snprintf(def.designName, sizeof def.designName, "QV Table View");
    def.fileNumber = file.Number();
    def.job = &walk;
    def.read = [](void* job, short f, short type, short first) -> short {
        auto* w = static_cast<Walk*>(job);
        if (first) w->next = 10;
        if (w->next > 20) return XIO_NO_RECORD;
        xio_clr_record(f, type);
        const x_value_def key = x_value_def::OfNumber(w->next++);
        xio_put_field(f, 0, w->issueField, &key);
        return xio_rd_record(f, type, 0, 0);
    };
    def.select = [](void*, void*, short f, short) -> short {
        x_value_def number;
        xio_get_field(f, 0, xio_num(f, 0, 0, "ISSUE"), &number);
        return static_cast<long>(number.AsNumber()) % 2 == 0;
    };
    tr_print_result result;
    def.result = &result;
    ASSERT_EQ(tr_print_design(tr_init_design(0), &def), 1) << result.error;
    EXPECT_EQ(asked, "Issue List");
    EXPECT_EQ(std::string(result.output), company.Path("default.pdf")) << "the default printer is the seam's";
    EXPECT_EQ(result.records, 6) << "issues 10 to 20, the even ones";
    const std::string raw = Squeezed(PdfText(company.Path("default.pdf"), true));
    for (const TestIssue& issue : issues) {
        const bool wanted = issue.number >= 10 && issue.number <= 20 && issue.number % 2 == 0;
        EXPECT_EQ(raw.find(TableRow(issue)) != std::string::npos, wanted) << "issue " << issue.number;
    }

    // The printer's own walk in the STATUS order: a heading and a count per status.
    def.read = nullptr;
    def.select = nullptr;
    def.orderKey = 1;
    ASSERT_EQ(tr_print_design(tr_init_design(0), &def), 1) << result.error;
    const std::string text = PdfText(company.Path("default.pdf"), false);
    int counted = 0;
    for (const char* status : {"(none)", "Open", "On-Hold", "Closed"}) {
        const int members = static_cast<int>(std::count_if(issues.begin(), issues.end(), [&](const TestIssue& i) {
            return i.status == (std::string(status) == "(none)" ? "" : status);
        }));
        if (members == 0) continue;
        const std::string heading = std::string("Status: ") + status;
        const size_t at = text.find(heading);
        ASSERT_NE(at, std::string::npos) << heading;
        EXPECT_EQ(text.find(heading, at + 1), std::string::npos) << heading << " twice: the groups follow the order";
        EXPECT_NE(text.find("Issues in this group: " + std::to_string(members), at), std::string::npos) << heading;
        counted += members;
    }
    EXPECT_EQ(counted, 40);

    // Nothing selected: one page that says so.
    def.read = [](void*, short, short, short) -> short { return XIO_NO_RECORD; };
    ASSERT_EQ(tr_print_design(tr_init_design(0), &def), 1) << result.error;
    EXPECT_EQ(PdfPages(company.Path("default.pdf")), 1);
    const std::string empty = PdfText(company.Path("default.pdf"), false);
    EXPECT_NE(empty.find("No issues were selected."), std::string::npos);
    EXPECT_NE(empty.find("Page 1 of 1"), std::string::npos);

    // A printer that cannot print is a failure that names it.
    tr_set_default_printer([](const std::string&) { return tr_printer_target{"No Such Printer", ""}; });
    def.read = nullptr;
    def.flags = TR_QUIET;
    short handle = tr_init_design(0);
    EXPECT_EQ(tr_print_design(handle, &def), 0);
    EXPECT_NE(std::string(result.error).find("\"No Such Printer\""), std::string::npos) << result.error;
    tr_term_design(handle);

    // A read that fails stops the print with the file's error.
    def.read = [](void*, short, short, short) -> short { return XIO_CORRUPT; };
    result = tr_print_result{};
    handle = tr_init_design(0);
    EXPECT_EQ(tr_print_design(handle, &def), 0);
    EXPECT_EQ(result.status, XIO_CORRUPT);
    EXPECT_NE(std::string(result.error), "");
    tr_term_design(handle);
}
