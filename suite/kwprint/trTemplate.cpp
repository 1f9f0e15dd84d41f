// Placeholders and term codes in the texts of a report design.
#include "kwprint/trTemplate.h"

#include "kwcommon/values/kwString.h"

bool trParseTemplate(std::string_view text, std::vector<trTemplatePart>* parts, std::string* error) {
    parts->clear();
    std::string literal;
    size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c != '{') {
            literal += c;
            ++at;
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == '{') {
            literal += '{';
            at += 2;
            continue;
        }
        const size_t close = text.find('}', at + 1);
        if (close == std::string_view::npos) {
            if (error) *error = "a \"{\" without its \"}\" (write \"{{\" for the sign itself)";
            return false;
        }
        const std::string name(text.substr(at + 1, close - at - 1));
        if (name.empty()) {
            if (error) *error = "an empty placeholder \"{}\"";
            return false;
        }
        if (!literal.empty()) parts->push_back({false, std::move(literal)});
        literal.clear();
        parts->push_back({true, name});
        at = close + 1;
    }
    if (!literal.empty()) parts->push_back({false, std::move(literal)});
    return true;
}

std::string trExpandTemplate(std::string_view text, const std::function<std::string(const std::string&)>& value) {
    std::vector<trTemplatePart> parts;
    // Designs are checked when they load; a text that still does not parse prints as written.
    if (!trParseTemplate(text, &parts, nullptr)) return kwString::ReplaceTermCodes(text);
    std::string expanded;
    for (const trTemplatePart& part : parts)
        expanded += part.placeholder ? value(part.text) : kwString::ReplaceTermCodes(part.text);
    return expanded;
}

std::string trPlaceholderField(const std::string& name) {
    constexpr std::string_view prefix = "field:";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return "";
    return name.substr(prefix.size());
}
