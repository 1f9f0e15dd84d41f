// The choice of a free access key for a label, so that the labels of one window do not
// share keys.
#pragma once

#include <string>

// Marks a letter of label that is not in used (compared without regard to case) as the
// access key: "&" goes in before it and the letter is appended to used. The letter is the
// first free one at the start of a word, else the first free consonant, else the first
// free vowel. When no letter is free both stay unchanged. Returns label.
std::string& kclInsertAccessKey(std::string& label, std::string& used);
