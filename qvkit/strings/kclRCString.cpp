// Message strings: resource texts joined, tokens filled by position, custom field
// descriptions put in, and the result returned or shown.
#include "qvkit/strings/kclRCString.h"

#include "kwcommon/strings/kwStringTable.h"
#include "kwcommon/values/kwText.h"
#include "kwcommon/x_message.h"

#include <algorithm>

void kclRCString::Set(short id, const std::string& r1, const std::string& r2, const std::string& r3,
                      const std::string& r4, const std::string& r5, const std::string& r6,
                      const std::string& r7, const std::string& r8) {
    _Clear();
    _SetMessage(id);
    _SetReplacements(r1, r2, r3, r4, r5, r6, r7, r8);
}

bool kclRCString::Set() const {
    if (_messageIds.empty() || _messageIds.front() < 1) return false;
    std::string joined;
    for (short id : _messageIds)
        joined += _GetResourceString(id);
    const auto delimiters = static_cast<size_t>(std::count(joined.begin(), joined.end(), '#'));
    return delimiters == 2 * _replacements.size();
}

void kclRCString::AddString(short id) {
    _messageIds.push_back(id);
}

void kclRCString::AddReplacement(const std::string& value) {
    _replacements.push_back(value);
}

void kclRCString::Clear() {
    _Clear();
}

std::string kclRCString::Get() {
    return _ConstructAll();
}

std::string kclRCString::Get(short id, const std::string& r1, const std::string& r2,
                             const std::string& r3, const std::string& r4, const std::string& r5,
                             const std::string& r6, const std::string& r7, const std::string& r8) {
    _Clear();
    _SetMessage(id);
    _SetReplacements(r1, r2, r3, r4, r5, r6, r7, r8);
    return Get();
}

short kclRCString::Display(short type) {
    return _WriteMessage(type);
}

short kclRCString::Display(short type, short id, const std::string& r1, const std::string& r2,
                           const std::string& r3, const std::string& r4, const std::string& r5,
                           const std::string& r6, const std::string& r7, const std::string& r8) {
    _SetReplacements(r1, r2, r3, r4, r5, r6, r7, r8);
    _SetMessage(id);
    return _WriteMessage(type);
}

void kclRCString::_Clear() {
    _messageIds.clear();
    _replacements.clear();
    _nextReplacement = 0;
}

void kclRCString::_SetMessage(short id) {
    if (_messageIds.empty()) {
        _messageIds.push_back(id);
    } else {
        _messageIds.front() = id;
    }
}

void kclRCString::_SetReplacements(const std::string& r1, const std::string& r2,
                                   const std::string& r3, const std::string& r4,
                                   const std::string& r5, const std::string& r6,
                                   const std::string& r7, const std::string& r8) {
    _replacements.clear();
    for (const std::string* value : {&r1, &r2, &r3, &r4, &r5, &r6, &r7, &r8}) {
        if (*value == kclReplacementNotSet) break;
        _replacements.push_back(*value);
    }
}

std::string kclRCString::_GetResourceString(short id) const {
    // Only modules that are already loaded (registered) are asked; a missing table or id
    // gives the empty text.
    return KWLoadString(_moduleName, id);
}

std::string kclRCString::_ConstructMessage(short id) {
    const std::string scanned = kclParseTokens(
        _GetResourceString(id), [this](std::string& token) { return _CallBack(token); }, '#');
    return kwText(scanned).ReplaceCustomDescriptions();
}

std::string kclRCString::_ConstructAll() {
    std::string result;
    _nextReplacement = 0;
    for (short id : _messageIds)
        result += _ConstructMessage(id);
    return result;
}

short kclRCString::_WriteMessage(short type) {
    const std::string text = _ConstructAll();
    const short answer = xw_wr_message(0, type, text.c_str(), 0);
    _Clear();
    return answer;
}

kclParseCBAction kclRCString::_CallBack(std::string& token) {
    if (_nextReplacement < _replacements.size()) {
        token = _replacements[_nextReplacement++];
    } else {
        // More tokens than values: the token stays visible as written, so the gap shows
        // in the message instead of silently closing up.
        token = "#" + token + "#";
    }
    return kclParseReplace;
}
