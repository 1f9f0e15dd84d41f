// Token scanning for message strings.
#include "qvkit/strings/kclParseTokens.h"

std::string kclParseTokens(const std::string& text, const kclParseCallback& callback,
                           char delimiter) {
    std::string result = text;
    size_t p = result.find(delimiter);
    while (p != std::string::npos) {
        const size_t q = result.find(delimiter, p + 1);
        if (q == std::string::npos) break; // unpaired: nothing more can be a token
        size_t insertedLength;
        if (q == p + 1) {
            result.erase(p, 1);
            insertedLength = 1;
        } else {
            std::string token = result.substr(p + 1, q - p - 1);
            const kclParseCBAction action = callback ? callback(token) : kclParseStop;
            if (action == kclParseReplace || action == kclParseReplaceAndStop) {
                result.replace(p, q - p + 1, token);
                insertedLength = token.size();
            } else {
                insertedLength = 0;
            }
            // Stop on request, and on any answer outside the three known ones.
            if (action != kclParseReplace) return result;
        }
        p = result.find(delimiter, p + insertedLength);
    }
    return result;
}
