// Messages built from string resources: one or more resource ids whose texts are joined,
// with positional tokens ("#error_number#") filled by replacement values in order, then
// either returned or shown in the suite's message box.
#pragma once

#include "qvkit/strings/kclParseTokens.h"

#include <string>
#include <vector>

// The default of every replacement parameter: a value equal to it ends the replacements.
inline const std::string kclReplacementNotSet = "!#REPLACEMENT_NOT_SET#!";

class kclRCString {
public:
    kclRCString() = default;
    // Texts come from the string table of the module of that name ("QVCORE.DLL"); an empty
    // name means the program's resource chain.
    explicit kclRCString(const std::string& moduleName) : _moduleName(moduleName) {}
    kclRCString(const kclRCString&) = default;
    kclRCString& operator=(const kclRCString&) = default;
    ~kclRCString() = default;

    // Starts a new message: id and the replacements up to the first sentinel.
    void
    Set(short id, const std::string& r1 = kclReplacementNotSet,
        const std::string& r2 = kclReplacementNotSet, const std::string& r3 = kclReplacementNotSet,
        const std::string& r4 = kclReplacementNotSet, const std::string& r5 = kclReplacementNotSet,
        const std::string& r6 = kclReplacementNotSet, const std::string& r7 = kclReplacementNotSet,
        const std::string& r8 = kclReplacementNotSet);
    // Readiness: the message has a first id of 1 or more and its joined raw texts hold
    // exactly two '#' per replacement (a literal "##" counts too).
    bool Set() const;
    // Appends a resource id whose text is joined after the others.
    void AddString(short id);
    // Appends a replacement value (taken as it is, even when it equals the sentinel).
    void AddReplacement(const std::string& value);
    // Empties ids and replacements.
    void Clear();

    // The finished text; the message stays as it is.
    std::string Get();
    // Starts a new message as Set(id, ...) does and returns its finished text.
    std::string
    Get(short id, const std::string& r1 = kclReplacementNotSet,
        const std::string& r2 = kclReplacementNotSet, const std::string& r3 = kclReplacementNotSet,
        const std::string& r4 = kclReplacementNotSet, const std::string& r5 = kclReplacementNotSet,
        const std::string& r6 = kclReplacementNotSet, const std::string& r7 = kclReplacementNotSet,
        const std::string& r8 = kclReplacementNotSet);

    // Shows the finished text in the message box of kind `type` (xw_wr_message), empties
    // the message and returns the box's answer.
    short Display(short type);
    // Takes the replacements, makes id the first id (later ids added with AddString stay)
    // and shows the message as above.
    short Display(short type, short id, const std::string& r1 = kclReplacementNotSet,
                  const std::string& r2 = kclReplacementNotSet,
                  const std::string& r3 = kclReplacementNotSet,
                  const std::string& r4 = kclReplacementNotSet,
                  const std::string& r5 = kclReplacementNotSet,
                  const std::string& r6 = kclReplacementNotSet,
                  const std::string& r7 = kclReplacementNotSet,
                  const std::string& r8 = kclReplacementNotSet);

    const std::vector<short>& MessageIds() const { return _messageIds; }
    const std::vector<std::string>& Replacements() const { return _replacements; }
    const std::string& ModuleName() const { return _moduleName; }

private:
    void _Clear();
    void _SetMessage(short id);
    void _SetReplacements(const std::string& r1, const std::string& r2, const std::string& r3,
                          const std::string& r4, const std::string& r5, const std::string& r6,
                          const std::string& r7, const std::string& r8);
    std::string _GetResourceString(short id) const;
    std::string _ConstructMessage(short id);
    std::string _ConstructAll();
    short _WriteMessage(short type);
    kclParseCBAction _CallBack(std::string& token);

    std::vector<short> _messageIds;
    std::vector<std::string> _replacements;
    size_t _nextReplacement = 0;
    std::string _moduleName;
};
