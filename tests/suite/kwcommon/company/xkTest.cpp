// Custom lists, descriptions and sectioned key formats of the company.
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/xk.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int CountLines(const std::string& text, const std::string& containing) {
    int count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.find(containing) != std::string::npos) ++count;
    return count;
}

using Entries = std::vector<std::string>;

} // namespace

TEST(CustomLists, DemoListsDefaultsAndDescriptions) {
    TestCompany company(false);

    Entries status;
    EXPECT_EQ(xk_get_custom_list(265, &status), XIO_OK);
    EXPECT_EQ(status, (Entries{"", "Open", "On-Hold", "Closed"}))
        << "status list: blank default, then the three states";
    EXPECT_EQ(xk_get_custom_list_default(265), "") << "the status default is the blank first entry";
    EXPECT_EQ(xk_get_custom_list_default(263), "Normal") << "the first entry names the default";
    for (short list = 262; list <= 266; ++list)
        EXPECT_EQ(xk_get_custom_list(list, nullptr), XIO_OK)
            << "the demo company has list " << list;

    Entries unknown{"left over"};
    EXPECT_EQ(xk_get_custom_list(999, &unknown), XIO_NO_RECORD);
    EXPECT_TRUE(unknown.empty()) << "an unknown list answers no entries";
    char buffer[8] = "junk";
    EXPECT_EQ(xk_get_custom_list_default(999, buffer, sizeof(buffer)), XIO_NO_RECORD);
    EXPECT_STREQ(buffer, "") << "an unknown list has an empty default";

    char small[4];
    EXPECT_EQ(xk_get_custom_list_default(263, small, sizeof(small)), XIO_OK);
    EXPECT_STREQ(small, "Nor") << "the default is cut to the buffer";
    EXPECT_EQ(xk_get_custom_list_default(263, nullptr, 0), XIO_OK)
        << "no buffer still answers the status";

    EXPECT_EQ(xk_description(262), "Classification");
    EXPECT_EQ(xk_description(265), "Status");
    EXPECT_EQ(xk_description(8), "Check");
    EXPECT_EQ(xk_description(393, 2), "Apply sequence")
        << "a second number picks its own description";
    EXPECT_EQ(xk_description(262, 7), "Classification")
        << "a second number without one falls back to the code";
    EXPECT_EQ(xk_description(4444), "") << "no description for an unknown code";
}

TEST(CustomLists, WritersRewriteTheFileAndKeepTheRest) {
    TestCompany company(false);
    const std::string path = company.Path("lists.json");
    const nlohmann::json before = nlohmann::json::parse(ReadAll(path));

    EXPECT_EQ(xk_put_custom_list(262, {"Software", "Software", "Hardware", "Größe"}), XIO_OK);
    Entries entries;
    EXPECT_EQ(xk_get_custom_list(262, &entries), XIO_OK);
    EXPECT_EQ(entries, (Entries{"Software", "Software", "Hardware", "Größe"}))
        << "the written list reads back";
    EXPECT_EQ(xk_put_description(262, 0, "Category"), XIO_OK);
    EXPECT_EQ(xk_put_description(302, 4, "Prefix D"), XIO_OK);
    EXPECT_EQ(xk_description(262), "Category");
    EXPECT_EQ(xk_description(302, 4), "Prefix D");

    const nlohmann::json after = nlohmann::json::parse(ReadAll(path));
    EXPECT_EQ(after["lists"]["265"], before["lists"]["265"]) << "other lists survive a rewrite";
    EXPECT_EQ(after["kinds"], before["kinds"]) << "key formats survive a rewrite";
    EXPECT_EQ(after["descriptions"]["8"], "Check") << "other descriptions survive a rewrite";

    EXPECT_EQ(xk_put_custom_list(262, {}), XIO_OK);
    EXPECT_EQ(xk_get_custom_list(262, nullptr), XIO_NO_RECORD) << "an empty list removes it";
    EXPECT_EQ(xk_put_description(262, 0, ""), XIO_OK);
    EXPECT_EQ(xk_description(262), "") << "an empty description removes it";

    EXPECT_EQ(xk_put_custom_list(262, {"\xff\xfe broken"}), XIO_BAD_VALUE)
        << "text that is not UTF-8 is refused";
    EXPECT_EQ(xk_put_custom_list(0, {"x"}), XIO_BAD_VALUE) << "list numbers start at 1";

    for (const auto& entry : fs::directory_iterator(company.Folder())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.rfind("lists.json.", 0) != 0 || name == "lists.json.lck")
            << "no temporary file is left behind: " << name;
    }
}

TEST(CustomLists, MissingOrMalformedFileReadsAsNone) {
    TestCompany company(false);
    const std::string path = company.Path("lists.json");

    fs::remove(path);
    EXPECT_EQ(xk_get_custom_list(265, nullptr), XIO_NO_RECORD) << "no file, no lists";
    EXPECT_EQ(xk_description(262), "");
    EXPECT_EQ(xk_width(301, 0), 0) << "no file, no key formats";
    EXPECT_EQ(xk_put_custom_list(265, {"", "Open", "On-Hold", "Closed"}), XIO_OK)
        << "a writer makes the file";
    EXPECT_EQ(xk_get_custom_list_default(265), "");
    EXPECT_EQ(xk_get_custom_list(265, nullptr), XIO_OK);

    const std::string broken = "{ \"lists\": { \"265\": [\"\", \"Open\" ";
    WriteAll(path, broken);
    EXPECT_EQ(xk_get_custom_list(265, nullptr), XIO_NO_RECORD) << "a malformed file reads as none";
    EXPECT_EQ(xk_get_custom_list_default(265), "");
    EXPECT_EQ(xk_description(265), "");
    EXPECT_EQ(xk_format_field(301, 0, "100000000"), "100000000");
    EXPECT_EQ(CountLines(ReadAll(kwCompany::LogFile()), "lists.json"), 1)
        << "a malformed file is logged once, however often it is read";

    EXPECT_EQ(xk_put_custom_list(262, {"a"}), XIO_CORRUPT) << "a malformed file is not overwritten";
    EXPECT_EQ(ReadAll(path), broken) << "the malformed file stays as it was";

    // Each malformed file, and the place its log line names.
    const std::pair<const char*, const char*> wrongShapes[] = {
        {"[1, 2, 3]", "the file must be a JSON object"},
        {"{ \"lists\": { \"262\": \"Software\" } }", "lists.262 must be a list"},
        {"{ \"lists\": { \"262\": [\"a\", 5] } }", "lists.262[1] must be a text, not 5"},
        {"{ \"lists\": { \"262\": [\"a\", null] } }", "lists.262[1] must be a text, not null"},
        {"{ \"lists\": { \"abc\": [\"a\"] } }", "lists holds \"abc\", which is no list number"},
        {"{ \"lists\": [] }", "lists must be a JSON object"},
        {"{ \"descriptions\": { \"262\": 12 } }", "descriptions.262 must be a text, not 12"},
        {"{ \"descriptions\": { \"262.1\": true } }", "[\"262.1\"] must be a text"},
        {"{ \"kinds\": { \"301\": { \"sections\": [4, 0, 3] } } }", "kinds.301.sections[1]"},
        {"{ \"kinds\": { \"301\": { \"sections\": [4, 2], \"separator\": \"\" } } }",
         "kinds.301.separator must not be empty"},
        {"{ \"kinds\": { \"301\": { \"width\": \"9\" } } }", "kinds.301.width must be a whole number"},
        {"{ \"kinds\": { \"301\": { \"name\": 1 } } }", "kinds.301.name must be a text"},
        {"", "not valid JSON"},
    };
    for (const auto& [text, place] : wrongShapes) {
        WriteAll(path, text);
        EXPECT_EQ(xk_get_custom_list(262, nullptr), XIO_NO_RECORD) << "malformed: " << text;
        EXPECT_EQ(xk_width(301, 0), 0) << "malformed: " << text;
        EXPECT_NE(LastLine(ReadAll(kwCompany::LogFile())).find("lists.json"), std::string::npos);
        EXPECT_NE(LastLine(ReadAll(kwCompany::LogFile())).find(place), std::string::npos)
            << "the log names the place: " << LastLine(ReadAll(kwCompany::LogFile()));
        EXPECT_EQ(xk_put_description(262, 0, "Kind"), XIO_CORRUPT) << "not overwritten: " << text;
        EXPECT_EQ(ReadAll(path), text) << "the malformed file stays as it was";
    }
}

TEST(CustomLists, FollowsTheFileAndTheCompany) {
    TestCompany first(false);
    const std::string path = first.Path("lists.json");
    // Another program rewrites the file behind this one's back.
    WriteAll(path, R"({ "lists": { "263": ["High", "Low", "High"] } })");
    EXPECT_EQ(xk_get_custom_list_default(263), "High") << "a changed file is read again";
    {
        TestCompany second(false);
        EXPECT_EQ(xk_get_custom_list_default(263), "Normal") << "each company has its own lists";
    }
    std::string error;
    ASSERT_TRUE(kwCompany::Open(first.Folder(), &error)) << error;
    EXPECT_EQ(xk_get_custom_list_default(263), "High") << "back in the first company";
    xk_reload();
    EXPECT_EQ(xk_get_custom_list_default(263), "High") << "a reload reads the same file";
}

TEST(CustomLists, ConcurrentWritersLoseNothing) {
    TestCompany company(false);
    constexpr int kProcesses = 4;
    constexpr int kListsEach = 25;
    // The writers wait at a common start so that their rewrites really overlap.
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(start[1]);
            char byte;
            while (read(start[0], &byte, 1) > 0) {
            }
            int failures = 0;
            for (int i = 0; i < kListsEach; ++i) {
                const short list = static_cast<short>(1000 + p * 100 + i);
                if (xk_put_custom_list(list, {"", "entry " + std::to_string(list)}) != XIO_OK)
                    ++failures;
            }
            _exit(failures);
        }
        children.push_back(pid);
    }
    close(start[0]);
    close(start[1]);
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "every write of a writer succeeded";
    }
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kListsEach; ++i) {
            const short list = static_cast<short>(1000 + p * 100 + i);
            Entries entries;
            EXPECT_EQ(xk_get_custom_list(list, &entries), XIO_OK) << "list " << list << " was lost";
        }
    EXPECT_EQ(xk_get_custom_list(265, nullptr), XIO_OK) << "the lists that were there stay";
}

TEST(KeyFormats, SectionedKeysRoundTrip) {
    TestCompany company(false);

    EXPECT_NE(xk_multi_section(301), 0) << "the GL account kind is sectioned";
    EXPECT_EQ(xk_multi_section(311), 0) << "a vendor key has one section";
    EXPECT_EQ(xk_multi_section(4444), 0) << "an unknown kind is not sectioned";
    EXPECT_EQ(xk_width(301, 0), 11) << "4 + 2 + 3 characters and two separators";
    EXPECT_EQ(xk_width(311, 0), 10);
    EXPECT_EQ(xk_width(262, 0), 20) << "a custom list field has its width";
    EXPECT_EQ(xk_width(4444, 0), 0) << "an unknown kind has no width";

    EXPECT_EQ(xk_unformat_field(301, 0, "1000-00-000"), "100000000");
    EXPECT_EQ(xk_format_field(301, 0, "100000000"), "1000-00-000");
    EXPECT_EQ(xk_format_field(301, 0, xk_unformat_field(301, 0, "4010-20-300")), "4010-20-300");

    // Short sections are padded to their widths when stored and trimmed when shown.
    EXPECT_EQ(xk_unformat_field(301, 0, "10-1-5"), "10  1 5  ");
    EXPECT_EQ(xk_format_field(301, 0, "10  1 5  "), "10-1-5");
    EXPECT_EQ(xk_unformat_field(301, 0, "1000--000"), "1000  000")
        << "an empty middle section is blanks";
    EXPECT_EQ(xk_format_field(301, 0, "1000  000"), "1000--000");
    EXPECT_EQ(xk_unformat_field(301, 0, "1000-00"), "100000")
        << "missing trailing sections are left off";
    EXPECT_EQ(xk_format_field(301, 0, "1000"), "1000")
        << "no separators for sections that are not there";
    EXPECT_EQ(xk_format_field(301, 0, ""), "");
    EXPECT_EQ(xk_unformat_field(301, 0, ""), "");

    EXPECT_EQ(xk_unformat_field(301, 0, "100000000"), "100000000") << "stored text is left alone";
    EXPECT_EQ(xk_format_field(301, 0, "1000-00-000"), "1000-00-000") << "shown text is left alone";
    const std::string extra = xk_unformat_field(301, 0, "1000-00-000-9");
    EXPECT_NE(extra.find('9', 9), std::string::npos)
        << "characters beyond the last section are kept: " << extra;
    EXPECT_EQ(xk_format_field(301, 0, "1000000001"), "1000-00-0001")
        << "overlong stored text stays whole";

    EXPECT_EQ(xk_unformat_field(4444, 0, "1-2-3"), "1-2-3") << "an unknown kind is unchanged";
    EXPECT_EQ(xk_format_field(4444, 0, "123"), "123");
    EXPECT_EQ(xk_unformat_field(311, 0, "V-100"), "V-100") << "a one-section kind is unchanged";
}

TEST(KeyFormats, QualifiersSeparatorsAndCharacters) {
    TestCompany company(false);
    WriteAll(company.Path("lists.json"), R"({
        "lists": { "500": ["", "short", "a longer entry"] },
        "kinds": {
            "301": { "sections": [4, 2, 3], "separator": "-" },
            "301.2": { "sections": [2, 2], "separator": "." },
            "302": { "sections": [3, 3] },
            "303": { "width": 6 }
        } })");

    EXPECT_EQ(xk_unformat_field(301, 2, "ab.cd"), "abcd") << "a qualifier's own format wins";
    EXPECT_EQ(xk_width(301, 2), 5);
    EXPECT_EQ(xk_unformat_field(301, 1, "1000-00-000"), "100000000")
        << "other qualifiers use the kind's format";
    EXPECT_EQ(xk_unformat_field(302, 0, "ab-c"), "ab c  ") << "the separator defaults to a dash";
    EXPECT_EQ(xk_width(303, 0), 6);
    EXPECT_EQ(xk_multi_section(303), 0);
    EXPECT_EQ(xk_width(500, 0), 14) << "a list without a format is as wide as its longest entry";
    EXPECT_EQ(xk_unformat_field(302, 0, "é-ü"), "é  ü  ") << "sections count characters, not bytes";
    EXPECT_EQ(xk_format_field(302, 0, "éüö123"), "éüö-123");
}
