// The formula language: values and types of what it computes, errors found when a formula
// is checked with the place they were found, the company's formula file, and a formula
// printed as a column of a report design.
#include "kwprint/trFormula.h"
#include "kwprint/trFormulaFile.h"

#include "PrintTestSupport.h"
#include "TestApplication.h"
#include "TestCompany.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/paths/kwPath.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <map>

namespace {
using namespace std::chrono_literals;

// A record of three fields: AMOUNT (number), NAME (text), DUE (date), DONE (yes/no).
const std::map<std::string, trFormulaType> kTypes = {
    {"AMOUNT", trFormulaType::Number}, {"NAME", trFormulaType::Text},
    {"DUE", trFormulaType::Date}, {"DONE", trFormulaType::YesNo}};

std::optional<trFormulaType> TypeOf(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto it = kTypes.find(upper);
    return it == kTypes.end() ? std::nullopt : std::optional(it->second);
}

trFormulaValue ValueOf(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "AMOUNT") return 1234.5;
    if (upper == "NAME") return std::string("Acme");
    if (upper == "DUE") return trFormulaDate{std::chrono::sys_days{2026y / 3 / 20}.time_since_epoch().count()};
    if (upper == "DONE") return false;
    return std::monostate{};
}

std::string Shown(const std::string& text) {
    trFormula::Error error;
    const auto formula = trFormula::Compile(text, TypeOf, &error);
    if (!formula) return "error: " + error.Text();
    return trFormula::Shown(formula->Evaluate(ValueOf));
}

trFormula::Error ErrorOf(const std::string& text) {
    trFormula::Error error;
    EXPECT_EQ(trFormula::Compile(text, TypeOf, &error), nullptr) << text << " should be refused";
    return error;
}
} // namespace

TEST(trFormula, ComputesWithNumbersTextsDatesAndConditions) {
    TestCompany company(false); // the company's date format
    const auto today = xd_pin_now(std::chrono::year_month_day{2026y / 3 / 14});
    const std::pair<const char*, const char*> cases[] = {
        {"amount * 2 - 1", "2468"},
        {"round(AMOUNT / 3, 2)", "411.5"},
        {"trunc(-2.7) + abs(-3)", "1"},
        {"min(AMOUNT, 10) + max(1, 2)", "12"},
        {"NAME & \" owes \" & AMOUNT", "Acme owes 1234.5"},
        {"\"say \"\"hi\"\"\"", "say \"hi\""},
        {"DUE + 14", "04/03/2026"},
        {"adddays(DUE, -20)", "02/28/2026"},
        {"days(today(), DUE)", "6"},
        {"DUE - today()", "6"},
        {"year(DUE) * 100 + month(DUE)", "202603"},
        {"if(DUE < today(), \"late\", \"on time\")", "on time"},
        {"if(not DONE and AMOUNT >= 1000, upper(NAME), lower(NAME))", "ACME"},
        {"left(NAME, 2) & right(NAME, 1) & len(NAME)", "Ace4"},
        {"text(DONE) & \"/\" & (AMOUNT = 1234.5)", "No/Yes"},
        {"AMOUNT / 0", ""},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Shown(text), expected) << text;
}

TEST(trFormula, CheckRefusesWithThePositionOfTheError) {
    const struct {
        const char* text;
        int position;
        const char* message;
    } cases[] = {
        {"AMOUNT + NAME", 8, "\"+\" cannot take a number and a text (texts are joined with \"&\")"},
        {"if(DONE, AMOUNT, NAME)", 18, "if gives a number or a text: both must be of one type"},
        {"round(NAME, 2)", 7, "round needs a number as value 1, not a text"},
        {"DUE < 5", 5, "\"<\" compares a date with a number: both sides must be of one type"},
        {"AMOUNT * (2 + 3", 16, "expected \")\" to close the \"(\""},
        {"AMOUNT + PRICE", 10, "there is no field \"PRICE\""},
        {"sqrt(AMOUNT)", 1, "there is no function \"sqrt\""},
        {"NAME & \"open", 8, "the text has no closing quote"},
        {"AMOUNT $ 2", 8, "\"$\" is not allowed here"},
        {"", 1, "the formula is empty"},
        {"days(DUE)", 1, "days takes 2 values, not 1"},
        {"\"é\" & AMOUNT +", 15, "the formula ends too soon"},
    };
    for (const auto& c : cases) {
        const trFormula::Error error = ErrorOf(c.text);
        EXPECT_EQ(error.position, c.position) << c.text;
        EXPECT_EQ(error.message, c.message) << c.text;
    }
    EXPECT_EQ(ErrorOf("AMOUNT + NAME").Text(), "Position 8: \"+\" cannot take a number and a text (texts are joined with \"&\")");
}

TEST(trFormulaFile, KeepsNamedFormulasPerApplication) {
    TestCompany company(false);
    std::string error;
    std::vector<trFormulaFile::Entry> entries;
    ASSERT_TRUE(trFormulaFile::Read("QV", &entries, &error)) << "no file: no formulas";
    EXPECT_TRUE(entries.empty());
    ASSERT_TRUE(trFormulaFile::Put("QV", "", {"Days left", "QVI", "days(today(), DUEDATE)", ""}, &error)) << error;
    ASSERT_TRUE(trFormulaFile::Put("AP", "", {"Days left", "APV", "1", ""}, &error)) << "names are per application";
    EXPECT_FALSE(trFormulaFile::Put("QV", "", {"DAYS LEFT", "QVI", "2", ""}, &error));
    EXPECT_EQ(error, "A formula named \"Days left\" already exists.");
    ASSERT_TRUE(trFormulaFile::Put("QV", "days left", {"Days to go", "QVI", "3", "renamed"}, &error)) << error;
    EXPECT_FALSE(trFormulaFile::Put("QV", "Days left", {"X", "QVI", "4", ""}, &error));
    EXPECT_EQ(error, "The formula \"Days left\" has been deleted on another workstation.");
    ASSERT_TRUE(trFormulaFile::Read("QV", &entries, &error));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Days to go");
    EXPECT_EQ(entries[0].description, "renamed");
    ASSERT_TRUE(trFormulaFile::Remove("QV", "DAYS TO GO", &error));
    ASSERT_TRUE(trFormulaFile::Read("QV", &entries, &error));
    EXPECT_TRUE(entries.empty());

    std::ofstream(trFormulaFile::Path()) << "{\"version\": 1, \"applications\": {\"QV\": [{\"name\": 5}]}}";
    EXPECT_FALSE(trFormulaFile::Read("QV", &entries, &error));
    EXPECT_NE(error.find("formulas.json: applications.QV[0].name"), std::string::npos) << error;
    EXPECT_FALSE(trFormulaFile::Put("QV", "", {"New", "QVI", "1", ""}, &error)) << "a damaged file is not written over";
}

TEST(trFormulaFile, APrintedDesignShowsAFormulaColumn) {
    TestApplication();
    TestCompany company(false);
    std::string error;
    ASSERT_TRUE(trFormulaFile::Put("QV", "", {"Lead time", "QVI", "days(NOTDATE, DUEDATE) & \" days\"", ""}, &error));
    // A design of two columns: the issue and the formula.
    nlohmann::json design = {
        {"version", 1}, {"kind", "columnar"}, {"file", "QVI"}, {"title", "Lead"},
        {"columns", {{{"field", "ISSUE"}, {"width", 20}}, {{"formula", "Lead time"}, {"width", 60}}}}};
    std::ofstream(kwPath::Reports("Lead.RPT")) << design.dump();
    TestIssue issue;
    issue.number = 7;
    issue.message = "m";
    issue.notify = std::chrono::year_month_day{2026y / 3 / 1};
    issue.due = std::chrono::year_month_day{2026y / 3 / 11};
    TestIssueFile file;
    file.Write({issue});
    short answer = 0;
    const tr_print_result result = PrintIssues(file.Number(), "Lead", company.Path("lead.pdf"), &answer);
    ASSERT_EQ(answer, 1) << result.error;
    const std::string text = Squeezed(PdfText(company.Path("lead.pdf"), true));
    EXPECT_NE(text.find(Squeezed("Lead time")), std::string::npos) << "headed by its name";
    EXPECT_NE(text.find(Squeezed("7 10 days")), std::string::npos) << text;

    // A formula that no longer holds is refused with the place in the design.
    ASSERT_TRUE(trFormulaFile::Put("QV", "Lead time", {"Lead time", "QVI", "NOSUCH + 1", ""}, &error));
    const tr_print_result refused = PrintIssues(file.Number(), "Lead", company.Path("lead2.pdf"), &answer);
    EXPECT_EQ(answer, 0);
    EXPECT_NE(std::string(refused.error).find("columns[1].formula: the formula \"Lead time\" no longer holds: Position 1"),
              std::string::npos) << refused.error;
    xw_clear_shown_messages();
}
