// The token scanner of message texts: finds tokens written between two delimiters
// ("#error_number#") and lets a callback decide what replaces each one.
#pragma once

#include <functional>
#include <string>

// What the callback answers for a token.
enum kclParseCBAction : short {
    kclParseReplace = 1,        // replace the token with the callback's value and go on
    kclParseReplaceAndStop = 2, // replace it and stop scanning
    kclParseStop = 3,           // stop scanning, leaving the token as it is
};

// Receives the token's name (the text between the delimiters) and puts the replacement
// value into the same string.
using kclParseCallback = std::function<kclParseCBAction(std::string& token)>;

// Returns text with its tokens replaced. Two adjacent delimiters stand for one literal
// delimiter and are not handed to the callback. Inserted values are never scanned again.
// An unpaired delimiter ends the scan with the rest of the text unchanged.
std::string kclParseTokens(const std::string& text, const kclParseCallback& callback,
                           char delimiter);
