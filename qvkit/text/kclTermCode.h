// Term codes: "<262F>" in a label or message stands for the company's own name of custom
// field 262, so texts follow each company's renaming of its custom fields. The codes are
// replaced when a text is shown; this header also holds the capitalisation styles the codes
// ask for.
//
// A term code is "<", the code number (decimal, 16-bit), optionally "." and a second
// number, then any of the letters A, F, I and P, and ">". F asks for the first character in
// upper case, I for every word capitalised, A for all upper case (the last of them counts);
// P asks for the plural. "<<" stands for one "<".
#pragma once

#include <string>

enum kclCapStyle : short {
    kclCapAsIs = 0,  // leave the text as it is
    kclCapFirst = 1, // first character upper case
    kclCapWords = 2, // every word capitalised (x_init_caps)
    kclCapAll = 3,   // all upper case
};

// Applies the style to a NUL-terminated text in place and returns it. Only ASCII letters
// change, so the text keeps its length.
char* kclApplyCap(char* text, kclCapStyle style);

// The company's description of custom field `code` (second number `sub`, 0 for none), in
// the plural when asked, then capitalised. Empty when the company has no description.
std::string kclGetFieldCode(short code, short sub, bool plural, kclCapStyle style);

// The text with every term code replaced by its description, through the data library's
// scanner (kwString::ReplaceTermCodes, which says how a text is scanned). A code that does
// not parse, or whose description is empty, stays as it was.
std::string kclRepTermCode(const std::string& text);
std::string kclRepTermCode(const char* text);

// True when the text holds "<<", or a "<" with a ">" somewhere after it.
bool kclContainsTermCode(const std::string& text);
