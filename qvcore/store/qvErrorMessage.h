// Coded failures shown to the user and written to the suite's log, and the library's plain
// messages and questions, built on the message strings of its string table.
#pragma once

#include "qvkit/strings/kclRCString.h"

#include <string>

// Names a message id of a string table for the plain-message constructor, so it can never
// be taken for an error code.
struct qvMessageId {
    explicit constexpr qvMessageId(short messageId) : id(messageId) {}
    short id;
};

class qvErrorMessage : public kclRCString {
public:
    // Shows the message of error `code` as an error notice with "  [QV0201]" appended and
    // writes the shown text to the log under logId. The answer is kept (Answer()).
    qvErrorMessage(short code, short logId, const std::string& moduleName);
    // A plain message or question: message `id` of the module's table. Unless displayType
    // is -1 it is shown at once with that kind and the answer kept. Nothing is logged.
    qvErrorMessage(qvMessageId id, short displayType, const std::string& moduleName);

    // Shows the finished text with the message kind and answers the mapped answer: 0 for
    // OK or Yes, 1 for No, 3 for Cancel, 4 for Retry ... (see MapAnswer).
    short Show(short displayType);

    // The mapped answer of the last Show; 5 until shown.
    short Answer() const { return _answer; }
    // The text last shown.
    const std::string& ShownText() const { return _shownText; }

    // The message id of an error code, 0 when the code has none.
    static short MessageIdOfCode(short code);
    // Message-box answer -> the caller's answer: 1 -> 0, 2 -> 1, 3 -> 2, 4 -> 3, 5 -> 4,
    // anything else 5.
    static short MapAnswer(short boxAnswer);
    // The text as the log gets it: unchanged up to 50 characters, else cut to 200
    // characters and broken into lines of at most 50 characters at blanks.
    static std::string LogText(const std::string& shownText);

private:
    short _answer = 5;
    std::string _shownText;
};
