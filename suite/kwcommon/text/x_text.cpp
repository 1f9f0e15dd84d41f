// Text helpers of the data library: English plurals, word capitals, bounded insertion
// and case-insensitive search. Case changes touch ASCII letters only; other UTF-8
// characters pass through unchanged.
#include "kwcommon/x_text.h"

#include "kwcommon/x_value_def.h"

#include <cstring>
#include <string_view>

namespace {

bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsLetter(char c) {
    return IsUpper(c) || IsLower(c);
}
char ToLower(char c) {
    return IsUpper(c) ? static_cast<char>(c + 32) : c;
}
char ToUpper(char c) {
    return IsLower(c) ? static_cast<char>(c - 32) : c;
}

std::string Lower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = ToLower(c);
    return result;
}

bool EndsWith(const std::string& text, std::string_view end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsVowel(char c) {
    c = ToLower(c);
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

struct Irregular {
    const char* singular;
    const char* plural;
};

// Whole words whose plural no rule gives; words that have no plural map to themselves.
constexpr Irregular kIrregular[] = {
    {"person", "people"},
    {"child", "children"},
    {"man", "men"},
    {"woman", "women"},
    {"foot", "feet"},
    {"tooth", "teeth"},
    {"mouse", "mice"},
    {"datum", "data"},
    {"criterion", "criteria"},
    {"half", "halves"},
    {"leaf", "leaves"},
    {"life", "lives"},
    {"knife", "knives"},
    {"shelf", "shelves"},
    {"self", "selves"},
    {"wife", "wives"},
    {"wolf", "wolves"},
    {"thief", "thieves"},
    {"hero", "heroes"},
    {"potato", "potatoes"},
    {"tomato", "tomatoes"},
    {"echo", "echoes"},
    {"veto", "vetoes"},
    {"equipment", "equipment"},
    {"information", "information"},
    {"software", "software"},
    {"hardware", "hardware"},
    {"data", "data"},
    {"staff", "staff"},
    {"personnel", "personnel"},
    {"series", "series"},
    {"species", "species"},
    {"news", "news"},
    {"sheep", "sheep"},
    {"deer", "deer"},
    {"fish", "fish"},
};

// Gives replacement the letter case of the word it replaces: all capitals, a capital
// first letter, or as written.
std::string MatchCase(const std::string& word, const std::string& replacement) {
    bool allUpper = true, anyLetter = false;
    for (char c : word) {
        if (IsLower(c)) allUpper = false;
        if (IsLetter(c)) anyLetter = true;
    }
    std::string result = replacement;
    if (anyLetter && allUpper && word.size() > 1) {
        for (char& c : result)
            c = ToUpper(c);
    } else if (!word.empty() && IsUpper(word[0]) && !result.empty()) {
        result[0] = ToUpper(result[0]);
    }
    return result;
}

} // namespace

std::string x_pluralize(const std::string& word) {
    size_t end = word.size();
    while (end > 0 && (word[end - 1] == ' ' || word[end - 1] == '\t'))
        --end;
    if (end == 0 || !IsLetter(word[end - 1])) return word;
    size_t start = end;
    while (start > 0 && IsLetter(word[start - 1]))
        --start;
    const std::string head = word.substr(0, start);
    const std::string last = word.substr(start, end - start);
    const std::string tail = word.substr(end);
    const std::string lower = Lower(last);

    for (const auto& irregular : kIrregular)
        if (lower == irregular.singular) return head + MatchCase(last, irregular.plural) + tail;

    const bool upper = IsUpper(last.back());
    auto suffix = [upper](std::string_view text) {
        std::string result(text);
        if (upper)
            for (char& c : result)
                c = ToUpper(c);
        return result;
    };
    std::string plural;
    if (lower.size() > 1 && lower.back() == 'y' && !IsVowel(lower[lower.size() - 2])) {
        plural = last.substr(0, last.size() - 1) + suffix("ies");
    } else if (EndsWith(lower, "s") || EndsWith(lower, "x") || EndsWith(lower, "z") ||
               EndsWith(lower, "ch") || EndsWith(lower, "sh")) {
        plural = last + suffix("es");
    } else {
        plural = last + suffix("s");
    }
    return head + plural + tail;
}

std::string x_init_caps(const std::string& text) {
    std::string result = text;
    // A word starts at a letter that follows neither a letter, a digit, an apostrophe nor
    // a byte of a non-ASCII character: "ON-HOLD" -> "On-Hold", "2ND" -> "2nd", "O'NEIL" ->
    // "O'neil".
    bool inWord = false;
    for (char& c : result) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsLetter(c)) {
            c = inWord ? ToLower(c) : ToUpper(c);
            inWord = true;
        } else {
            inWord = (c >= '0' && c <= '9') || c == '\'' || byte >= 0x80;
        }
    }
    return result;
}

char* x_strins(char* text, int size, int pos, const char* insert) {
    if (!text || size <= 0) return text;
    size_t length = strnlen(text, static_cast<size_t>(size));
    if (length >= static_cast<size_t>(size))
        length = static_cast<size_t>(size) - 1; // unterminated buffer
    if (!insert || !*insert) {
        text[length] = '\0';
        return text;
    }
    size_t at = pos < 0 ? 0 : static_cast<size_t>(pos);
    if (at > length) at = length;
    // Never split a character: step back to the start of the one pos points into.
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        --at;
    std::string joined(text, at);
    joined += insert;
    joined.append(text + at, length - at);
    const std::string cut = x_utf8_cut(joined, static_cast<size_t>(size) - 1);
    std::memcpy(text, cut.data(), cut.size());
    text[cut.size()] = '\0';
    return text;
}

int x_strpos(const char* text, const char* find) {
    if (!text || !find || !*find) return 0;
    const std::string haystack = Lower(text);
    const std::string needle = Lower(find);
    const size_t found = haystack.find(needle);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

std::string_view x_trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool x_equal_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}
