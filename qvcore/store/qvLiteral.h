// One word or phrase of a module's string table, optionally with an access-key marker
// ("&New Issue").
#pragma once

#include <iosfwd>
#include <string>

class qvLiteral {
public:
    // Loads text `id` of the module's table (callers name "QVCORE.DLL"). With an access-key
    // position of 0 or more, "&" goes in at that character position so the character after
    // it becomes the access key; -1 adds nothing.
    qvLiteral(short id, short accessKeyPosition, const char* moduleName);
    qvLiteral(const qvLiteral&) = default;
    qvLiteral& operator=(const qvLiteral&) = default;
    virtual ~qvLiteral();

    const std::string& str() const { return _text; }
    operator const std::string&() const { return _text; }

    // "qvLiteral=" and the text; a line end after it when newline is true.
    void DebugPrint(std::ostream& stream, bool newline) const;

private:
    std::string _text;
};
