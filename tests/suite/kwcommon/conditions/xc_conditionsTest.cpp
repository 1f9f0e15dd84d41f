// Condition sets against the demo company's issue file: every operator on every kind of
// field, and/or precedence, walking, text lines and the changed flag.
#include "TestCompany.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

x_value_def Text(const std::string& text) { return x_value_def::OfText(text); }

x_value_def Number(double number) { return x_value_def::OfNumber(number); }

class Conditions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(issues.PromptedOpen("QVI", 7010, "", 0, true, true, false), 0)
            << "the demo issue file opens";
        file = issues.FileNum();
        ASSERT_EQ(xio_clr_record(file, 1), 0);
    }

    short Field(const char* name) {
        const short field = xio_num(file, 0, 0, name);
        EXPECT_NE(field, 0) << name;
        return field;
    }

    void Put(const char* name, const x_value_def& value) {
        ASSERT_EQ(xio_put_field(file, 0, Field(name), &value), 0) << name;
    }

    xc_cond_def Make(const char* name, short comparison,
                     std::optional<x_value_def> v1 = std::nullopt,
                     std::optional<x_value_def> v2 = std::nullopt, short connector = XC_AND) {
        xc_cond_def c;
        std::memset(&c, 0, sizeof(c));
        EXPECT_EQ(xc_make_condition(file, Field(name), comparison, v1 ? &*v1 : nullptr,
                                    v2 ? &*v2 : nullptr, connector, &c),
                  1)
            << name << " " << comparison;
        return c;
    }

    short NewSet() {
        xc_cond_init_def def;
        std::memset(&def, 0, sizeof(def));
        def.programNumber = 7010;
        def.fileNumber = file;
        def.recordType = 1;
        const short handle = xc_init_conditions(&def, 1);
        EXPECT_GT(handle, 0);
        return handle;
    }

    // Whether the current record buffer meets the conditions, tested through a set.
    bool Meets(const std::vector<xc_cond_def>& conditions) {
        const short handle = NewSet();
        for (const auto& c : conditions)
            EXPECT_EQ(xc_put_condition(handle, &c), 1);
        const short result = xc_meets_conditions(handle, file, 1, 0, 0, 1);
        xc_term_conditions(handle, 1);
        return result != 0;
    }
    bool Meets(const xc_cond_def& condition) { return Meets(std::vector<xc_cond_def>{condition}); }

    TestCompany company{false};
    kwioDataFile issues;
    short file = 0;
};

} // namespace

// One row: a condition on the buffer as it stands and whether it must select the record.
struct Row {
    const char* field;
    short comparison;
    std::optional<x_value_def> v1, v2;
    bool selected;
};

#define EXPECT_ROWS(...)                                                                           \
    for (const Row& row : std::vector<Row>{__VA_ARGS__})                                           \
        EXPECT_EQ(Meets(Make(row.field, row.comparison, row.v1, row.v2)), row.selected)            \
            << row.field << " comparison " << row.comparison << " "                                \
            << (row.v1 ? row.v1->AsText() : "") << " " << (row.v2 ? row.v2->AsText() : "");

TEST_F(Conditions, TextFields) {
    Put("STATUS", Text("Open"));
    EXPECT_ROWS({"STATUS", XC_EQUAL, Text("oPEN  "), {}, true}, // no case, no trailing blanks
                {"STATUS", XC_EQUAL, Text("Ope"), {}, false},
                {"STATUS", XC_NOT_EQUAL, Text("open"), {}, false},
                {"STATUS", XC_NOT_EQUAL, Text("Closed"), {}, true},
                {"STATUS", XC_LESS, Text("p"), {}, true},
                {"STATUS", XC_LESS, Text("OPEN"), {}, false},
                {"STATUS", XC_LESS_EQUAL, Text("OPEN"), {}, true},
                {"STATUS", XC_GREATER, Text("open"), {}, false},
                {"STATUS", XC_GREATER_EQUAL, Text("open"), {}, true},
                {"STATUS", XC_BETWEEN, Text("p"), Text("n"), true}, // ends in either order
                {"STATUS", XC_BETWEEN, Text("a"), Text("c"), false},
                {"STATUS", XC_CONTAINS, Text("PE"), {}, true},
                {"STATUS", XC_BEGINS_WITH, Text("pen"), {}, false},
                {"STATUS", XC_BEGINS_WITH, Text("op"), {}, true},
                {"STATUS", XC_BLANK, {}, {}, false}, {"STATUS", XC_NOT_BLANK, {}, {}, true});
    Put("STATUS", Text(""));
    EXPECT_ROWS({"STATUS", XC_BLANK, {}, {}, true}, {"STATUS", XC_EQUAL, Text(""), {}, true});

    // A long description is searched whole, past what a value carrier holds.
    ASSERT_EQ(xio_put_long_text(file, Field("FORMESS"), std::string(300, 'x') + " printer jam"), 0);
    EXPECT_ROWS({"FORMESS", XC_CONTAINS, Text("Printer JAM"), {}, true});

    // A sectioned field is compared stored, whatever separators the value was typed with.
    Put("GLACCT", Text("100020300"));
    EXPECT_STREQ(Make("GLACCT", XC_EQUAL, Text("1000-20-300")).text1, "100020300");
    EXPECT_ROWS({"GLACCT", XC_EQUAL, Text("1000-20-300"), {}, true},
                {"GLACCT", XC_CONTAINS, Text("00-20"), {}, true}); // as shown
}

TEST_F(Conditions, NumberFields) {
    Put("ISSUE", Number(42));
    EXPECT_ROWS(
        {"ISSUE", XC_EQUAL, Number(42.4), {}, true}, // equal at the field's decimals (0)
        {"ISSUE", XC_EQUAL, Text("42"), {}, true}, {"ISSUE", XC_EQUAL, Number(43), {}, false},
        {"ISSUE", XC_NOT_EQUAL, Number(7), {}, true},
        {"ISSUE", XC_LESS, Number(100), {}, true}, // not as text
        {"ISSUE", XC_LESS, Number(42), {}, false}, {"ISSUE", XC_LESS_EQUAL, Number(42), {}, true},
        {"ISSUE", XC_GREATER, Number(9), {}, true},
        {"ISSUE", XC_GREATER_EQUAL, Number(43), {}, false},
        {"ISSUE", XC_BETWEEN, Number(50), Number(40), true},
        {"ISSUE", XC_BETWEEN, Number(43), Number(50), false},
        {"ISSUE", XC_CONTAINS, Text("2"), {}, true},
        {"ISSUE", XC_BEGINS_WITH, Text("2"), {}, false}, {"ISSUE", XC_BLANK, {}, {}, false});
    Put("ISSUE", Number(0));
    EXPECT_ROWS({"ISSUE", XC_BLANK, {}, {}, true}, {"ISSUE", XC_NOT_BLANK, {}, {}, false});
    xc_cond_def c;
    const x_value_def bad = Text("forty");
    EXPECT_EQ(xc_make_condition(file, Field("ISSUE"), XC_EQUAL, &bad, nullptr, XC_AND, &c), 0)
        << "a text that is no number is refused";
}

TEST_F(Conditions, DatesTimesAndYesNo) {
    Put("DUEDATE", Number(20240315));
    EXPECT_EQ(Make("DUEDATE", XC_EQUAL, Text("03/15/2024")).number1, 20240315)
        << "typed in the company's format";
    EXPECT_ROWS({"DUEDATE", XC_EQUAL, Text("03/15/2024"), {}, true},
                {"DUEDATE", XC_LESS, Text("04/01/2024"), {}, true},
                {"DUEDATE", XC_LESS, Text("12/31/2023"), {}, false},
                {"DUEDATE", XC_GREATER_EQUAL, Number(20240315), {}, true},
                {"DUEDATE", XC_BETWEEN, Text("3/1/24"), Text("03/31/2024"), true},
                {"DUEDATE", XC_CONTAINS, Text("/15/"), {}, true},
                {"DUEDATE", XC_BLANK, {}, {}, false});
    xc_cond_def c;
    const x_value_def impossible = Text("02/30/2024");
    EXPECT_EQ(xc_make_condition(file, Field("DUEDATE"), XC_EQUAL, &impossible, nullptr, XC_AND, &c),
              0);
    // No date is not a point in time: neither before nor after anything.
    Put("DUEDATE", Number(0));
    EXPECT_ROWS({"DUEDATE", XC_BLANK, {}, {}, true},
                {"DUEDATE", XC_LESS, Text("04/01/2024"), {}, false},
                {"DUEDATE", XC_GREATER, Number(0), {}, false},
                {"DUEDATE", XC_BETWEEN, Number(0), Number(20991231), false},
                {"DUEDATE", XC_NOT_EQUAL, Text("04/01/2024"), {}, true},
                {"DUEDATE", XC_EQUAL, Text(""), {}, true});

    Put("TIMECRE", Number(143000));
    EXPECT_ROWS({"TIMECRE", XC_EQUAL, Text("2:30 pm"), {}, true},
                {"TIMECRE", XC_GREATER, Number(0), {}, true},
                {"TIMECRE", XC_LESS, Text("15:00"), {}, true},
                {"TIMECRE", XC_BEGINS_WITH, Text("14:30"), {}, true});
    Put("TIMECRE", Number(0));
    EXPECT_ROWS({"TIMECRE", XC_BLANK, {}, {}, false}); // midnight is a time
    Put("TIMECRE", Number(-1));
    EXPECT_ROWS({"TIMECRE", XC_BLANK, {}, {}, true},
                {"TIMECRE", XC_LESS, Text("15:00"), {}, false});

    Put("REVIEWE", Number(1));
    EXPECT_ROWS(
        {"REVIEWE", XC_EQUAL, Text("Yes"), {}, true}, {"REVIEWE", XC_EQUAL, Number(0), {}, false},
        {"REVIEWE", XC_GREATER, Text("No"), {}, true},
        {"REVIEWE", XC_CONTAINS, Text("ye"), {}, true}, {"REVIEWE", XC_NOT_BLANK, {}, {}, true});
    Put("REVIEWE", Number(0));
    EXPECT_ROWS({"REVIEWE", XC_BLANK, {}, {}, true},
                {"REVIEWE", XC_NOT_EQUAL, Text("yes"), {}, true});
}

TEST_F(Conditions, ChoiceFieldsCompareByItemText) {
    Put("ARSTYPE", Number(2)); // Payment
    EXPECT_STREQ(Make("ARSTYPE", XC_EQUAL, Number(2)).text1, "Payment")
        << "an item number is kept as its text";
    EXPECT_STREQ(Make("ARSTYPE", XC_EQUAL, Text("payment")).text1, "Payment")
        << "spelt as the dictionary does";
    EXPECT_ROWS(
        {"ARSTYPE", XC_EQUAL, Number(2), {}, true},
        {"ARSTYPE", XC_EQUAL, Text("PAYMENT"), {}, true},
        {"ARSTYPE", XC_EQUAL, Text("Invoice"), {}, false},
        {"ARSTYPE", XC_GREATER, Text("Invoice"), {}, true},      // by text: Payment after Invoice
        {"ARSTYPE", XC_LESS, Text("Finance charge"), {}, false}, // by text, not by item number
        {"ARSTYPE", XC_BETWEEN, Text("Invoice"), Text("Payment"), true},
        {"ARSTYPE", XC_CONTAINS, Text("MEN"), {}, true},
        {"ARSTYPE", XC_BEGINS_WITH, Text("pay"), {}, true},
        {"ARSTYPE", XC_NOT_BLANK, {}, {}, true});
    Put("ARSTYPE", Number(0));
    EXPECT_ROWS({"ARSTYPE", XC_BLANK, {}, {}, true});
    xc_cond_def c;
    for (const x_value_def& bad : {Text("Refund"), Number(9)}) {
        EXPECT_EQ(xc_make_condition(file, Field("ARSTYPE"), XC_EQUAL, &bad, nullptr, XC_AND, &c), 0)
            << bad.AsText() << " is no item";
    }
}

TEST_F(Conditions, AndBindsTighterThanOr) {
    Put("STATUS", Text("Open"));
    auto T = [&](short connector) {
        return Make("STATUS", XC_EQUAL, Text("Open"), std::nullopt, connector);
    };
    auto F = [&](short connector) {
        return Make("STATUS", XC_EQUAL, Text("Closed"), std::nullopt, connector);
    };

    EXPECT_TRUE(Meets(std::vector<xc_cond_def>{})) << "no conditions select every record";
    EXPECT_TRUE(Meets({T(XC_OR), F(XC_AND), F(XC_AND)})) << "T or (F and F)";
    EXPECT_FALSE(Meets({F(XC_OR), T(XC_AND), F(XC_AND)})) << "F or (T and F)";
    EXPECT_TRUE(Meets({F(XC_AND), T(XC_OR), T(XC_AND)})) << "(F and T) or T";
    EXPECT_FALSE(Meets({T(XC_AND), F(XC_OR), F(XC_AND), T(XC_AND)})) << "(T and F) or (F and T)";
    EXPECT_TRUE(Meets({T(XC_AND), F(XC_OR), T(XC_AND), T(XC_OR)}))
        << "(T and F) or (T and T); last connector unused";
    EXPECT_FALSE(Meets({T(XC_AND), T(XC_AND), F(XC_OR)})) << "T and T and F";
    EXPECT_TRUE(Meets({F(XC_OR), F(XC_OR), T(XC_AND)})) << "F or F or T";
}

TEST_F(Conditions, SetsWalkDescribeAndTrackChanges) {
    const short handle = NewSet();
    EXPECT_EQ(xc_conditions_exist(handle, 0, 0), 0);
    const xc_cond_def status = Make("STATUS", XC_EQUAL, Text("Open"), std::nullopt, XC_OR);
    const xc_cond_def due = Make("DUEDATE", XC_BETWEEN, Number(20240301), Number(20240331));
    const xc_cond_def kind = Make("ARSTYPE", XC_BLANK);
    for (const auto* c : {&status, &due, &kind})
        ASSERT_EQ(xc_put_condition(handle, c), 1);
    EXPECT_NE(xc_conditions_exist(handle, 0, 0), 0);
    EXPECT_EQ(xc_changed_conditions(handle), 0) << "loading is not a change";

    xc_cond_def got;
    std::vector<short> fields;
    ASSERT_EQ(xc_reset_conditions(handle), 1);
    while (xc_get_condition(handle, &got))
        fields.push_back(got.field);
    EXPECT_EQ(fields, (std::vector<short>{status.field, due.field, kind.field})) << "stored order";
    ASSERT_EQ(xc_reset_conditions(handle), 1);
    ASSERT_EQ(xc_get_condition(handle, &got), 1);
    EXPECT_EQ(std::memcmp(&got, &status, sizeof(got)), 0)
        << "handed back byte for byte as it was put";

    std::vector<std::string> lines;
    char line[XC_ALPHA_CONDITION_MAX + 1];
    xc_reset_conditions(handle);
    while (xc_get_alpha_condition(handle, line, sizeof(line)))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"Status is equal to \"Open\" or",
                                               "Due date is between 03/01/2024 and 03/31/2024 and",
                                               "AR Record type is blank"}));
    xc_reset_conditions(handle);
    char small[12];
    ASSERT_EQ(xc_get_alpha_condition(handle, small, sizeof(small)), 1);
    EXPECT_STREQ(small, "Status is e") << "cut to the buffer";

    // Editing marks the set changed; a replacement with the same condition does not.
    EXPECT_EQ(xc_replace_condition(handle, 0, &status), 1);
    EXPECT_EQ(xc_changed_conditions(handle), 0);
    EXPECT_EQ(xc_delete_condition(handle, 2), 1);
    EXPECT_NE(xc_changed_conditions(handle), 0);
    xc_mark_conditions_unchanged(handle);
    EXPECT_EQ(xc_changed_conditions(handle), 0);
    EXPECT_EQ(xc_insert_condition(handle, 0, &kind), 1);
    EXPECT_NE(xc_changed_conditions(handle), 0);
    EXPECT_EQ(xc_condition_count(handle), 3);
    ASSERT_EQ(xc_get_condition_at(handle, 0, &got), 1);
    EXPECT_EQ(got.field, kind.field);
    EXPECT_EQ(xc_delete_condition(handle, 3), 0) << "no condition at that place";
    EXPECT_EQ(xc_clear_conditions(handle), 1);
    EXPECT_EQ(xc_conditions_exist(handle, 0, 0), 0);

    EXPECT_EQ(xc_term_conditions(handle, 1), 1);
    EXPECT_EQ(xc_put_condition(handle, &status), 0) << "an ended set takes nothing";
    EXPECT_EQ(xc_conditions_exist(handle, 0, 0), 0);
    EXPECT_NE(xc_meets_conditions(handle, file, 1, 0, 0, 1), 0)
        << "an unknown set selects everything";
    EXPECT_EQ(xc_term_conditions(handle, 1), 0);

    xc_cond_init_def closed;
    std::memset(&closed, 0, sizeof(closed));
    closed.fileNumber = 999;
    EXPECT_EQ(xc_init_conditions(&closed, 1), 0) << "a set needs an open file";
}

TEST_F(Conditions, PutChecksAndFindsFieldsByName) {
    const short handle = NewSet();
    Put("STATUS", Text("Closed"));

    xc_cond_def moved = Make("STATUS", XC_EQUAL, Text("closed"));
    const short statusField = moved.field;
    moved.field = 3; // as if an older dictionary had numbered it so
    ASSERT_EQ(xc_put_condition(handle, &moved), 1);
    xc_cond_def got;
    xc_reset_conditions(handle);
    ASSERT_EQ(xc_get_condition(handle, &got), 1);
    EXPECT_EQ(got.field, statusField) << "the field is found again by its name";
    EXPECT_NE(xc_meets_conditions(handle, 0, 1, 0, 0, 1), 0) << "file 0 means the set's own file";

    xc_cond_def gone = moved;
    std::strcpy(gone.fieldName, "NOFIELD");
    EXPECT_EQ(xc_put_condition(handle, &gone), 0) << "a field that is gone is refused";

    xc_cond_def zero;
    std::memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(xc_put_condition(handle, &zero), 0) << "an empty record is no condition";

    xc_cond_def badOperator = Make("STATUS", XC_EQUAL, Text("x"));
    badOperator.comparison = 99;
    EXPECT_EQ(xc_put_condition(handle, &badOperator), 0);
    xc_cond_def badConnector = Make("STATUS", XC_EQUAL, Text("x"));
    badConnector.connector = 7;
    EXPECT_EQ(xc_put_condition(handle, &badConnector), 0);

    xc_cond_def unnamed = Make("ISSUE", XC_GREATER, Number(5));
    std::memset(unnamed.fieldName, 0, sizeof(unnamed.fieldName));
    EXPECT_EQ(xc_put_condition(handle, &unnamed), 1) << "without a name the number counts";
    EXPECT_EQ(xc_condition_count(handle), 2);
    xc_term_conditions(handle, 1);
}

TEST_F(Conditions, ACopyPutsBackConditionsPositionAndChangedMark) {
    const short original = NewSet();
    const short copy = NewSet();
    const xc_cond_def open = Make("STATUS", XC_EQUAL, Text("Open"), std::nullopt, XC_OR);
    const xc_cond_def high = Make("URGENCY", XC_EQUAL, Text("High"));
    xc_put_condition(original, &open);
    xc_put_condition(original, &high);
    xc_cond_def walked;
    xc_get_condition(original, &walked);
    ASSERT_EQ(xc_copy_conditions(original, copy), 1);

    xc_delete_condition(original, 0);
    xc_clear_conditions(original);
    ASSERT_NE(xc_changed_conditions(original), 0);
    ASSERT_EQ(xc_copy_conditions(copy, original), 1);
    EXPECT_EQ(xc_condition_count(original), 2);
    EXPECT_EQ(xc_changed_conditions(original), 0) << "the mark comes back with the conditions";
    ASSERT_EQ(xc_get_condition(original, &walked), 1);
    EXPECT_EQ(std::memcmp(&walked, &high, sizeof(walked)), 0) << "so does the reading position";
    EXPECT_EQ(xc_copy_conditions(original, 9999), 0) << "an unknown set";
    xc_term_conditions(copy, 1);
    xc_term_conditions(original, 1);
}
