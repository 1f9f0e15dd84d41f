// The texts of a report design: literal words with term codes ("<262F>") and placeholders
// ("{page}", "{field:STATUS}"), as trReportDesign.h describes them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct trTemplatePart {
    bool placeholder = false;
    std::string text; // the literal words, or the placeholder's name without its braces
};

// Splits a text into literal parts and placeholders ("{{" is a literal "{"). false with
// *error when a "{" has no "}" or a placeholder is empty.
bool trParseTemplate(std::string_view text, std::vector<trTemplatePart>* parts, std::string* error);

// The text with its term codes replaced by the company's descriptions and each
// placeholder by value(name). Term codes are looked for in the design's own words only,
// never in the values put in: a value that holds "<12>" prints as it is.
std::string trExpandTemplate(std::string_view text, const std::function<std::string(const std::string&)>& value);

// The field name of a "field:NAME" placeholder, or "" for any other placeholder.
std::string trPlaceholderField(const std::string& name);
