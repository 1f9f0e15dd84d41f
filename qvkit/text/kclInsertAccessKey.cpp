// Access keys for labels: a word's first letter reads best, then a consonant, then a vowel.
#include "qvkit/text/kclInsertAccessKey.h"

#include <functional>

namespace {
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char ToLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsVowel(char c) {
    switch (ToLower(c)) {
    case 'a':
    case 'e':
    case 'i':
    case 'o':
    case 'u':
        return true;
    default:
        return false;
    }
}

bool IsUsed(const std::string& used, char letter) {
    for (char c : used)
        if (ToLower(c) == ToLower(letter)) return true;
    return false;
}
} // namespace

std::string& kclInsertAccessKey(std::string& label, std::string& used) {
    const std::function<bool(size_t)> passes[] = {
        [&](size_t i) { return i == 0 || label[i - 1] == ' '; },
        [&](size_t i) { return !IsVowel(label[i]); },
        [&](size_t i) { return IsVowel(label[i]); },
    };
    for (const auto& takes : passes) {
        for (size_t i = 0; i < label.size(); ++i) {
            if (!IsLetter(label[i]) || IsUsed(used, label[i]) || !takes(i)) continue;
            used += label[i];
            label.insert(i, 1, '&');
            return label;
        }
    }
    return label;
}
