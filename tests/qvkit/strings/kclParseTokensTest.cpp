// The token scanner: replacement, literal delimiters, stopping, and hostile texts.
#include "qvkit/strings/kclParseTokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(kclParseTokens, ReplacesTokensAndDoublesAndNeverRescansValues) {
    std::vector<std::string> seen;
    auto upper = [&](std::string& token) {
        seen.push_back(token);
        token = "<" + token + ">";
        return kclParseReplace;
    };
    EXPECT_EQ(kclParseTokens("a #one# b #two#", upper, '#'), "a <one> b <two>");
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "two"})) << "names handed over in order";

    seen.clear();
    EXPECT_EQ(kclParseTokens("100## sure #x#", upper, '#'), "100# sure <x>")
        << "## is one literal delimiter and no token";
    EXPECT_EQ(seen, std::vector<std::string>{"x"});

    auto hashes = [](std::string& token) {
        token = "#" + token + "#x#";
        return kclParseReplace;
    };
    EXPECT_EQ(kclParseTokens("#a##b#", hashes, '#'), "#a#x##b#x#")
        << "an inserted value is not scanned again";

    EXPECT_EQ(kclParseTokens("no tokens", upper, '#'), "no tokens");
    EXPECT_EQ(kclParseTokens("", upper, '#'), "");
    EXPECT_EQ(kclParseTokens("$v$ and #v#", upper, '$'), "<v> and #v#") << "any delimiter";
}

TEST(kclParseTokens, StopsOnRequestAndOnUnpairedDelimiters) {
    int calls = 0;
    auto replaceAndStop = [&](std::string& token) {
        ++calls;
        token = "X";
        return kclParseReplaceAndStop;
    };
    EXPECT_EQ(kclParseTokens("#a# #b#", replaceAndStop, '#'), "X #b#");
    EXPECT_EQ(calls, 1);

    calls = 0;
    auto stop = [&](std::string& token) {
        ++calls;
        token = "X";
        return kclParseStop;
    };
    EXPECT_EQ(kclParseTokens("#a# #b#", stop, '#'), "#a# #b#") << "stop replaces nothing";
    EXPECT_EQ(calls, 1);

    auto value = [](std::string& token) {
        token = "V";
        return kclParseReplace;
    };
    EXPECT_EQ(kclParseTokens("#a# then #unpaired", value, '#'), "V then #unpaired")
        << "an unpaired delimiter ends the scan and stays";
    EXPECT_EQ(kclParseTokens("#", value, '#'), "#");
    EXPECT_EQ(kclParseTokens("###", value, '#'), "##") << "a pair, then an unpaired one";
    EXPECT_EQ(kclParseTokens("#a#", nullptr, '#'), "#a#") << "no callback replaces nothing";
}
