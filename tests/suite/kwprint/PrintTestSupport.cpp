// Generated issues, prints to PDF and the PDF's text for the design printer's tests.
#include "PrintTestSupport.h"

#include "kwcommon/values/xd.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <random>
#include <regex>

namespace {

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

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Unescaped(std::string text) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::strlen(entity), plain);
    }
    return text;
}

void Put(short file, const char* field, const x_value_def& value) {
    ASSERT_EQ(xio_put_field(file, 0, xio_num(file, 0, 0, field), &value), XIO_OK) << field;
}

} // namespace

std::vector<TestIssue> MakeIssues(int count, unsigned seed) {
    static const char* const words[] = {
        "invoice", "vendor", "payment", "posted", "twice", "the", "check", "register", "does", "not", "balance",
        "customer", "called", "about", "a", "credit", "memo", "missing", "from", "statement", "please", "review",
        "before", "month-end", "close", "price", "<", "100", "differs", "purchase", "order", "&", "receipt",
        "café", "Müller", "GmbH", "quantity", "short", "shipped", "approval", "pending", "controller"};
    static const char* const statuses[] = {"", "Open", "On-Hold", "Closed"};
    static const char* const urgencies[] = {"Low", "Normal", "High", "Critical"};
    static const char* const classes[] = {"", "Accounting", "Data entry", "Hardware", "Software", "Training", "Other"};
    static const char* const followups[] = {"", "Call back", "E-mail", "Letter", "Meeting", "None"};
    static const char* const problems[] = {"", "Duplicate payment", "Missing document", "Posting error",
                                           "Price difference", "Quantity difference", "Other"};
    static const char* const people[] = {"ADMIN", "DANA", "LEE", "Alex Rivera", ""};
    std::mt19937 random(seed);
    const auto pick = [&](const auto& list) { return list[random() % std::size(list)]; };
    std::vector<TestIssue> issues;
    for (int i = 1; i <= count; ++i) {
        TestIssue issue;
        issue.number = i;
        const int length = i % 17 == 0 ? 900 : static_cast<int>(20 + random() % 260);
        issue.message = "Issue " + std::to_string(i) + ":";
        while (static_cast<int>(issue.message.size()) < length) {
            issue.message += random() % 23 == 0 ? "\n" : " ";
            issue.message += pick(words);
        }
        issue.status = pick(statuses);
        issue.urgency = pick(urgencies);
        issue.classif = pick(classes);
        issue.followup = pick(followups);
        issue.problem = pick(problems);
        issue.respons = pick(people);
        using namespace std::chrono;
        issue.notify = year_month_day{sys_days{2026y / January / 1} + days{random() % 300}};
        issue.due = i % 5 == 0 ? year_month_day{} : year_month_day{sys_days{issue.notify} + days{7}};
        issues.push_back(issue);
    }
    return issues;
}

TestIssueFile::TestIssueFile() {
    xio_open_def def;
    std::strcpy(def.abbrev, "QVI");
    def.programNumber = 7010;
    def.create = 1;
    EXPECT_EQ(xio_open_file(&def, &_number), XIO_OK);
}

TestIssueFile::~TestIssueFile() {
    if (_number) xio_cls_file(_number);
}

void TestIssueFile::Write(const std::vector<TestIssue>& issues) {
    for (const TestIssue& issue : issues) {
        xio_clr_record(_number, 1);
        Put(_number, "ISSUE", x_value_def::OfNumber(static_cast<double>(issue.number)));
        ASSERT_EQ(xio_put_long_text(_number, xio_num(_number, 0, 0, "FORMESS"), issue.message), XIO_OK);
        Put(_number, "STATUS", x_value_def::OfText(issue.status));
        Put(_number, "URGENCY", x_value_def::OfText(issue.urgency));
        Put(_number, "CLASSIF", x_value_def::OfText(issue.classif));
        Put(_number, "FOLLOWU", x_value_def::OfText(issue.followup));
        Put(_number, "PROBLEM", x_value_def::OfText(issue.problem));
        Put(_number, "RESPONS", x_value_def::OfText(issue.respons));
        Put(_number, "NOTDATE", x_value_def::OfNumber(issue.notify.ok() ? xd_date_to_number(issue.notify) : 0));
        Put(_number, "DUEDATE", x_value_def::OfNumber(issue.due.ok() ? xd_date_to_number(issue.due) : 0));
        ASSERT_EQ(xio_wr_record(_number, 1, 0), XIO_OK) << "issue " << issue.number;
    }
}

tr_print_result PrintIssues(short file, const std::string& design, const std::string& pdf, short* answer, short flags,
                            short orderKey) {
    tr_print_result result;
    tr_print_def def{};
    std::snprintf(def.designName, sizeof def.designName, "%s", design.c_str());
    def.taskId = 7010;
    def.fileNumber = file;
    std::memcpy(def.fileName, "QVI", 4);
    def.orderKey = orderKey;
    def.flags = flags;
    def.pdfPath = pdf.c_str();
    def.result = &result;
    const short handle = tr_init_design(0);
    const short printed = tr_print_design(handle, &def);
    if (!printed) tr_term_design(handle);
    if (answer) *answer = printed;
    return result;
}

std::string PdfText(const std::string& pdf, bool raw) {
    return Run(std::string("pdftotext -enc UTF-8 ") + (raw ? "-raw " : "") + Quoted(pdf) + " - 2>/dev/null");
}

int PdfPages(const std::string& pdf) {
    const std::string info = Run("pdfinfo " + Quoted(pdf) + " 2>/dev/null");
    std::smatch match;
    if (!std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))"))) return -1;
    return std::stoi(match[1]);
}

std::string Squeezed(const std::string& text) {
    std::string squeezed;
    for (char c : text)
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != '\f') squeezed += c;
    return squeezed;
}

std::vector<PdfWord> PdfWords(const std::string& pdf) {
    const std::string html = Run("pdftotext -enc UTF-8 -bbox " + Quoted(pdf) + " - 2>/dev/null");
    static const std::regex token(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<PdfWord> words;
    int page = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), token); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[1].length() == 0) {
            ++page;
            continue;
        }
        words.push_back({page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), Unescaped(m[5])});
    }
    return words;
}

std::string ShownDate(std::chrono::year_month_day date) {
    return date.ok() ? xd_format_date(date, xd_date_format()) : std::string();
}
