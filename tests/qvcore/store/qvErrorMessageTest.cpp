// Coded failures: message choice, the code suffix, the answer mapping and the log lines.
#include "qvcore/store/qvErrorMessage.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/strings/kwAppAbbreviation.h"
#include "kwcommon/x_message.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {
// The texts of the log lines written under logId, in order.
std::vector<std::string> LoggedTexts(short logId) {
    std::ifstream in(kwCompany::LogFile());
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        // time, operator, log id, text: tab separated
        std::vector<std::string> fields;
        std::stringstream stream(line);
        std::string field;
        for (int i = 0; i < 3 && std::getline(stream, field, '\t'); ++i)
            fields.push_back(field);
        std::string text;
        std::getline(stream, text);
        if (fields.size() == 3 && fields[2] == std::to_string(logId)) texts.push_back(text);
    }
    return texts;
}

std::string Words(size_t characters) {
    std::string text;
    while (text.size() < characters)
        text += "word ";
    return text.substr(0, characters);
}

const std::string NOTIFY_TEXT =
    "Notify message could not be sent.  Make sure you are logged on to email and re-send the "
    "issue.";
} // namespace

TEST(qvErrorMessage, ShowsTheCodedMessageAndLogsItInLines) {
    TestCompany company(false);
    xw_script_answers({1});
    qvErrorMessage error(201, QV_CMD_NEW_ISSUE, "QVCORE.DLL");

    ASSERT_EQ(xw_shown_messages().size(), 1u);
    const xw_shown_message& shown = xw_shown_messages()[0];
    EXPECT_EQ(shown.type, XW_ERROR) << "coded failures are error notices";
    EXPECT_EQ(shown.text, NOTIFY_TEXT + "  [QV0201]");
    EXPECT_EQ(error.ShownText(), shown.text);
    EXPECT_EQ(error.Answer(), 0) << "OK maps to 0";
    EXPECT_TRUE(error.MessageIds().empty()) << "showing empties the message";

    const std::vector<std::string> lines = LoggedTexts(QV_CMD_NEW_ISSUE);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 50u) << "log line too long: " << line;
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_GT(lines.size(), 2u);
    EXPECT_EQ(joined, shown.text) << "only blanks became line ends";
    xw_clear_shown_messages();
}

TEST(qvErrorMessage, ChoosesTheMessageByCode) {
    TestCompany company(false);
    const std::pair<short, std::string> cases[] = {
        {100, "Unable to load KWINQ.DLL.  [QV0100]"},
        {101, "Unable to list inquires.  [QV0101]"},
        {200, "Unable to open IMI.DCT  [QV0200]"},
        {202, "Unable to load MAPI32.DLL.  Cannot mail the issue.  [QV0202]"},
        {400, "Unable to load New Issue  [QV0400]"},
        {401, "Submit Issue is already running  [QV0401]"},
        {402, "Submit Issue is already running  [QV0402]"},
        {500, "Attachments in use  [QV0500]"},
        {5000, "Unable to open IMI.DCT  [QV5000]"},
        {5001, "Unable to write to the registry.  [QV5001]"},
    };
    for (const auto& [code, text] : cases) {
        xw_clear_shown_messages();
        qvErrorMessage error(code, 1, "QVCORE.DLL");
        ASSERT_EQ(xw_shown_messages().size(), 1u) << code;
        EXPECT_EQ(xw_shown_messages()[0].text, text) << code;
    }

    // A code without a message still tells which failure it was, on screen and in the log.
    xw_clear_shown_messages();
    qvErrorMessage unknown(7, 4242, "QVCORE.DLL");
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "[QV0007]");
    EXPECT_EQ(LoggedTexts(4242), std::vector<std::string>{"[QV0007]"});
    EXPECT_EQ(qvErrorMessage::MessageIdOfCode(7), 0);

    kwSetAppAbbreviation("AP");
    xw_clear_shown_messages();
    qvErrorMessage other(500, 1, "QVCORE.DLL");
    EXPECT_EQ(xw_shown_messages()[0].text, "Attachments in use  [AP0500]")
        << "the running application's abbreviation";
    kwSetAppAbbreviation("QV");
    xw_clear_shown_messages();
}

TEST(qvErrorMessage, MapsAnswersForCallersThatTestForZero) {
    EXPECT_EQ(qvErrorMessage::MapAnswer(1), 0);
    EXPECT_EQ(qvErrorMessage::MapAnswer(2), 1);
    EXPECT_EQ(qvErrorMessage::MapAnswer(3), 2);
    EXPECT_EQ(qvErrorMessage::MapAnswer(4), 3);
    EXPECT_EQ(qvErrorMessage::MapAnswer(5), 4);
    for (short other : {0, 6, 7, -1, 101})
        EXPECT_EQ(qvErrorMessage::MapAnswer(other), 5) << other;
}

TEST(qvErrorMessage, PlainMessagesAndQuestionsAreShownButNotLogged) {
    TestCompany company(false);
    xw_clear_shown_messages();

    xw_script_answers({2});
    qvErrorMessage question(qvMessageId{503}, XW_YESNO, "QVCORE.DLL");
    EXPECT_EQ(question.Answer(), 1) << "No maps to 1";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].type, XW_YESNO);
    EXPECT_EQ(xw_shown_messages()[0].text, "Delete this issue?");

    qvErrorMessage later(qvMessageId{515}, -1, "QVCORE.DLL");
    EXPECT_EQ(later.Answer(), 5) << "not shown yet";
    EXPECT_EQ(xw_shown_messages().size(), 1u) << "-1 shows nothing";
    later.AddReplacement("Notify date");
    xw_script_answers({1});
    EXPECT_EQ(later.Show(XW_YESNO), 0) << "Yes maps to 0";
    EXPECT_EQ(later.ShownText(), "Notify date has passed.  Would you like to change it?");
    EXPECT_EQ(xw_shown_messages().back().text, later.ShownText());

    std::ifstream log(kwCompany::LogFile());
    std::string content((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content.find("Delete this issue"), std::string::npos)
        << "plain messages are not logged";
    xw_clear_shown_messages();
}

TEST(qvErrorMessage, LogTextBreaksAtBlanksWithinFiftyCharacters) {
    const std::string fifty = Words(50);
    EXPECT_EQ(qvErrorMessage::LogText(fifty), fifty) << "50 characters stay unchanged";
    EXPECT_EQ(qvErrorMessage::LogText(""), "");

    // 51 characters: the character 50 places on is looked at first.
    const std::string blankAt50 = std::string(50, 'a') + " ";
    EXPECT_EQ(qvErrorMessage::LogText(blankAt50), std::string(50, 'a') + "\r");
    const std::string x51 = std::string(20, 'a') + " " + std::string(30, 'b');
    EXPECT_EQ(qvErrorMessage::LogText(x51), std::string(20, 'a') + "\r" + std::string(30, 'b'))
        << "back to the nearest blank";

    // No blank at all: broken after 50 characters, nothing lost.
    const std::string solid = std::string(120, 'x');
    EXPECT_EQ(qvErrorMessage::LogText(solid),
              std::string(50, 'x') + "\r" + std::string(50, 'x') + "\r" + std::string(20, 'x'));
    const std::string leadingBlank = " " + std::string(60, 'y');
    EXPECT_EQ(qvErrorMessage::LogText(leadingBlank),
              " " + std::string(49, 'y') + "\r" + std::string(11, 'y'))
        << "a blank at the line's very start does not make an empty line";

    // Exactly 200 characters are kept whole; more are cut to 200.
    const std::string two00 = Words(200);
    const std::string two50 = Words(250);
    std::string broken200 = qvErrorMessage::LogText(two00);
    std::string broken250 = qvErrorMessage::LogText(two50);
    EXPECT_EQ(broken200, broken250) << "characters past 200 are dropped";
    std::string unbroken = broken200;
    std::replace(unbroken.begin(), unbroken.end(), '\r', ' ');
    EXPECT_EQ(unbroken, two00);
    size_t start = 0;
    for (size_t end = broken200.find('\r');; end = broken200.find('\r', start)) {
        const size_t length = (end == std::string::npos ? broken200.size() : end) - start;
        EXPECT_LE(length, 50u);
        EXPECT_GE(length, 46u) << "a line is broken at the last blank, not an earlier one";
        if (end == std::string::npos) break;
        start = end + 1;
    }

    // Multi-byte characters count once and are never split.
    const std::string accents = std::string(49, 'a') + "\xc3\xa9" + "\xc3\xa9" + "z";
    EXPECT_EQ(qvErrorMessage::LogText(accents),
              std::string(49, 'a') + "\xc3\xa9" + "\r" + "\xc3\xa9" + "z");
}
