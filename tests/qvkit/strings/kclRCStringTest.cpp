// Message strings: joined texts, positional tokens, the sentinel, readiness and display.
#include "qvkit/strings/kclRCString.h"

#include "kwcommon/strings/kwStringTableRegistrar.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

namespace {
constexpr const char* MODULE = "KCLTEST.DLL";

const kwStringEntry testTable[] = {
    {500, "Unable to load KWINQ.DLL.#error_number#"},
    {501, "Unable to list inquires.#error_number#"},
    {502, "Unlink '#inquiry_name#' from the Issue?"},
    {503, "Delete this issue?"},
    {508, "Unable to load New Issue#error_number#"},
    {515, "#date_name# has passed.  Would you like to change it?"},
    {600, "Rule ## of #n#"},
    {601, "#a# and #b#"},
};
const kwStringTableRegistrar registrar(MODULE, testTable);

class MessageStrings : public ::testing::Test {
protected:
    void SetUp() override { xw_clear_shown_messages(); }
    void TearDown() override { xw_clear_shown_messages(); }
};
} // namespace

TEST_F(MessageStrings, FillsTokensByPositionAcrossTexts) {
    kclRCString message(MODULE);
    message.Set(502, "Overdue invoices");
    EXPECT_EQ(message.Get(), "Unlink 'Overdue invoices' from the Issue?");
    EXPECT_EQ(message.Get(), "Unlink 'Overdue invoices' from the Issue?")
        << "Get leaves the message as it was";

    EXPECT_EQ(message.Get(515, "Due date"), "Due date has passed.  Would you like to change it?");

    message.Set(508);
    message.AddReplacement("  [QV0400]");
    EXPECT_EQ(message.Get(), "Unable to load New Issue  [QV0400]")
        << "the value goes right where the token stood";

    message.Set(500, "first");
    message.AddString(501);
    message.AddReplacement("second");
    EXPECT_EQ(message.Get(), "Unable to load KWINQ.DLL.firstUnable to list inquires.second")
        << "the second text's token takes the value after the first text's";

    EXPECT_EQ(message.Get(600, "7"), "Rule # of 7") << "## is one # and takes no value";
    EXPECT_EQ(message.Get(502, "C# #tips#"), "Unlink 'C# #tips#' from the Issue?")
        << "a # inside a value opens no token";
    EXPECT_EQ(message.Get(503), "Delete this issue?");
    EXPECT_EQ(message.Get(999), "") << "a missing id gives the empty text";
}

TEST_F(MessageStrings, TheSentinelEndsTheReplacements) {
    kclRCString message(MODULE);
    message.Set(601, "one", kclReplacementNotSet, "three");
    ASSERT_EQ(message.Replacements().size(), 1u) << "values after the sentinel are dropped";
    EXPECT_EQ(message.Replacements()[0], "one");
    EXPECT_EQ(message.Get(), "one and #b#")
        << "a token without a value stays visible and nothing is read past the values";

    message.Set(601);
    message.AddReplacement(kclReplacementNotSet);
    EXPECT_EQ(message.Replacements().size(), 1u) << "AddReplacement takes any value";
    message.Set(601, "!#replacement_not_set#!", "b");
    EXPECT_EQ(message.Replacements().size(), 2u) << "the sentinel comparison keeps case";
}

TEST_F(MessageStrings, ReadinessCountsDelimitersAgainstReplacements) {
    kclRCString message(MODULE);
    EXPECT_FALSE(message.Set()) << "an empty message is not ready";
    message.Set(0);
    EXPECT_FALSE(message.Set()) << "a first id below 1 is not ready";

    message.Set(502);
    EXPECT_FALSE(message.Set()) << "one token, no value";
    message.AddReplacement("x");
    EXPECT_TRUE(message.Set()) << "one token, one value";
    message.AddReplacement("y");
    EXPECT_FALSE(message.Set()) << "one token, two values";

    message.Set(503);
    EXPECT_TRUE(message.Set()) << "no token, no value";

    message.Set(600, "n");
    EXPECT_FALSE(message.Set()) << "a literal ## needs one value more";
    message.AddReplacement("extra");
    EXPECT_TRUE(message.Set());

    message.Set(500, "a");
    message.AddString(501);
    EXPECT_FALSE(message.Set()) << "the tokens of every text count";
    message.AddReplacement("b");
    EXPECT_TRUE(message.Set());
}

TEST_F(MessageStrings, DisplayShowsAnswersAndEmpties) {
    kclRCString message(MODULE);
    xw_script_answers({2});
    message.Set(502, "Stock check");
    EXPECT_EQ(message.Display(104), 2) << "the box's answer comes back unchanged";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].type, 104);
    EXPECT_EQ(xw_shown_messages()[0].text, "Unlink 'Stock check' from the Issue?");
    EXPECT_EQ(message.Get(), "") << "Display empties the message";
    EXPECT_TRUE(message.MessageIds().empty());

    // The second form keeps later ids and replaces the first.
    message.AddString(500);
    message.AddString(501);
    xw_script_answers({1});
    EXPECT_EQ(message.Display(103, 515, "Notify date", "X"), 1);
    ASSERT_EQ(xw_shown_messages().size(), 2u);
    EXPECT_EQ(xw_shown_messages()[1].text,
              "Notify date has passed.  Would you like to change it?Unable to list inquires.X");
    EXPECT_TRUE(message.MessageIds().empty());
}

TEST_F(MessageStrings, CopiesAreIndependentAndModulesSeparate) {
    kclRCString original(MODULE);
    original.Set(502, "A");
    kclRCString copy(original);
    copy.Set(502, "B");
    EXPECT_EQ(original.Get(), "Unlink 'A' from the Issue?");
    EXPECT_EQ(copy.Get(), "Unlink 'B' from the Issue?");
    kclRCString assigned;
    assigned = original;
    EXPECT_EQ(assigned.ModuleName(), MODULE);
    EXPECT_EQ(assigned.Get(), "Unlink 'A' from the Issue?");

    kclRCString elsewhere("NOTLOADED.DLL");
    EXPECT_EQ(elsewhere.Get(502, "A"), "") << "a module that is not loaded has no texts";
}
