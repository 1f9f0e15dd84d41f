// Coded failures: a fixed map from error code to message, the application abbreviation and
// code appended, shown as an error notice and logged in lines short enough to read.
#include "qvcore/store/qvErrorMessage.h"

#include "kwcommon/strings/kwAppAbbreviation.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"

#include <cstdio>
#include <vector>

namespace {
constexpr size_t LOG_LINE_CHARACTERS = 50;
constexpr size_t LOG_TEXT_CHARACTERS = 200;

// "  [QV0201]": two blanks, the abbreviation and the code as at least four digits.
std::string CodeSuffix(short code) {
    const std::string abbreviation = kwAppAbbreviation();
    std::vector<char> buffer(abbreviation.size() + 32);
    std::snprintf(buffer.data(), buffer.size(), "  [%s%04hd]", abbreviation.c_str(), code);
    return buffer.data();
}

// The text as a list of its UTF-8 characters, so lengths and cuts count characters.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (size_t i = 0; i < text.size();) {
        size_t next = i + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) {
            ++next;
        }
        characters.push_back(text.substr(i, next - i));
        i = next;
    }
    return characters;
}
} // namespace

qvErrorMessage::qvErrorMessage(short code, short logId, const std::string& moduleName)
    : kclRCString(moduleName) {
    const short messageId = MessageIdOfCode(code);
    if (messageId != 0) AddString(messageId);
    const std::string suffix = CodeSuffix(code);
    AddReplacement(suffix);
    if (messageId != 0) {
        Show(XW_ERROR);
    } else {
        // A code without a message would otherwise show an empty notice and log an empty
        // line; the code at least tells support which failure it was.
        _shownText = suffix.substr(suffix.find_first_not_of(' '));
        _answer = MapAnswer(xw_wr_message(0, XW_ERROR, _shownText.c_str(), 0));
        Clear();
    }
    x_log(logId, LogText(_shownText).c_str());
}

qvErrorMessage::qvErrorMessage(qvMessageId id, short displayType, const std::string& moduleName)
    : kclRCString(moduleName) {
    AddString(id.id);
    if (displayType != -1) Show(displayType);
}

short qvErrorMessage::Show(short displayType) {
    _shownText = Get();
    _answer = MapAnswer(Display(displayType));
    return _answer;
}

short qvErrorMessage::MessageIdOfCode(short code) {
    switch (code) {
    case 100:
        return 500;
    case 101:
        return 501;
    case 200:
        return 505;
    case 201:
        return 507;
    case 202:
        return 512;
    case 400:
        return 508;
    case 401:
    case 402:
        return 514;
    case 500:
        return 513;
    case 5000:
        return 510;
    case 5001:
        return 511;
    default:
        return 0;
    }
}

short qvErrorMessage::MapAnswer(short boxAnswer) {
    switch (boxAnswer) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 3:
        return 2;
    case 4:
        return 3;
    case 5:
        return 4;
    default:
        return 5;
    }
}

std::string qvErrorMessage::LogText(const std::string& shownText) {
    std::vector<std::string> characters = Characters(shownText);
    if (characters.size() <= LOG_LINE_CHARACTERS) return shownText;
    if (characters.size() > LOG_TEXT_CHARACTERS) characters.resize(LOG_TEXT_CHARACTERS);

    // Breaks are marked first and the text built once: a blank that becomes the line end,
    // or a line end put in front of a character.
    std::vector<bool> blankBreak(characters.size(), false);
    std::vector<bool> breakBefore(characters.size(), false);
    size_t lineStart = 0;
    while (lineStart + LOG_LINE_CHARACTERS < characters.size()) {
        size_t breakAt = lineStart + LOG_LINE_CHARACTERS;
        while (breakAt > lineStart && characters[breakAt] != " ")
            --breakAt;
        if (breakAt > lineStart) {
            blankBreak[breakAt] = true;
            lineStart = breakAt + 1;
        } else {
            // No blank to break at: the line ends after 50 characters without losing the
            // character that stands there.
            lineStart += LOG_LINE_CHARACTERS;
            breakBefore[lineStart] = true;
        }
    }
    std::string text;
    for (size_t i = 0; i < characters.size(); ++i) {
        if (breakBefore[i]) text += '\r';
        text += blankBreak[i] ? std::string("\r") : characters[i];
    }
    return text;
}
