// Shared by the design printer's tests: generated issues written to a company's issue
// file, a print to PDF, and the PDF read back through poppler's tools.
#pragma once

#include "kwprint/tr_design.h"

#include <chrono>
#include <string>
#include <vector>

struct TestIssue {
    long number = 0;
    std::string message, status, urgency, classif, followup, problem, respons;
    std::chrono::year_month_day notify{}, due{};
};

// count issues with realistic values: list entries, dates, responsible persons and
// descriptions from a few words to several hundred characters over several lines.
std::vector<TestIssue> MakeIssues(int count, unsigned seed);

// The company's issue file opened (created when absent) for one test; closed at the end.
class TestIssueFile {
public:
    TestIssueFile();
    ~TestIssueFile();
    TestIssueFile(const TestIssueFile&) = delete;
    TestIssueFile& operator=(const TestIssueFile&) = delete;
    short Number() const { return _number; }
    void Write(const std::vector<TestIssue>& issues);

private:
    short _number = 0;
};

// Prints the whole issue file (ISSUE order) through a design to pdf. Answers the result;
// *answer gets tr_print_design's answer.
tr_print_result PrintIssues(short file, const std::string& design, const std::string& pdf, short* answer = nullptr,
                            short flags = TR_QUIET, short orderKey = 0);

// The text of a PDF (pdftotext; raw: in the order it was drawn); pages end in a form feed.
std::string PdfText(const std::string& pdf, bool raw);
int PdfPages(const std::string& pdf);
// The text without any blank, tab or line break: wrapping moves words between lines but
// never changes this.
std::string Squeezed(const std::string& text);

// One word of a PDF page with its box in points.
struct PdfWord {
    int page;
    double xMin, yMin, xMax, yMax;
    std::string text;
};
std::vector<PdfWord> PdfWords(const std::string& pdf);

// The values an issue shows, in the order a design draws them, each squeezed.
std::string ShownDate(std::chrono::year_month_day date);
