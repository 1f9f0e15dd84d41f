// Text helpers of the data library.
#pragma once

#include <string>
#include <string_view>

// The plural of an English noun: "Vendor" -> "Vendors", "Company" -> "Companies",
// "Box" -> "Boxes", keeping the letter case of the word's end. Only the last word of a
// phrase changes ("Bank account" -> "Bank accounts"); text not ending in a letter is
// returned unchanged.
std::string x_pluralize(const std::string& word);
// Every word with an upper-case first letter and the rest in lower case:
// "ISSUE NUMBER" -> "Issue Number", "ON-HOLD" -> "On-Hold". A word starts at a letter
// that follows no letter, digit or apostrophe ("2ND" -> "2nd"). ASCII letters only.
std::string x_init_caps(const std::string& text);
// Inserts insert at position pos (clamped to the text's end) of a NUL-terminated buffer
// of size bytes; the result is cut to fit. Returns text.
char* x_strins(char* text, int size, int pos, const char* insert);
// Case-insensitive position of find in text (1-based), 0 when absent or find is empty.
int x_strpos(const char* text, const char* find);

// The text without blanks (space, tab, CR, LF) at either end.
std::string_view x_trim(std::string_view text);
// Equal when compared without regard to the case of ASCII letters.
bool x_equal_nocase(std::string_view a, std::string_view b);
