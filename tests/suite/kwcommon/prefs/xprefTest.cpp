// The preference store: round trips in both scopes, what reads as missing, malformed and
// half-written stores, and several processes writing at once.
#include "kwcommon/kwCompany.h"
#include "kwcommon/prefs/xpref.h"

#include "TestCompany.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A company plus a private user configuration folder for one test.
class PrefStore : public ::testing::Test {
protected:
    void SetUp() override {
        _config = TestCompany::MakeTempFolder("qvprefs-");
        const char* old = std::getenv("XDG_CONFIG_HOME");
        _oldConfig = old ? old : "";
        _hadConfig = old != nullptr;
        setenv("XDG_CONFIG_HOME", _config.c_str(), 1);
        _company = std::make_unique<TestCompany>(false);
    }
    void TearDown() override {
        _company.reset();
        if (_hadConfig) {
            setenv("XDG_CONFIG_HOME", _oldConfig.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ignored;
        fs::remove_all(_config, ignored);
    }

    std::string _config;
    std::string _oldConfig;
    bool _hadConfig = false;
    std::unique_ptr<TestCompany> _company;
};
} // namespace

TEST_F(PrefStore, TextAndDataRoundTripInBothScopes) {
    EXPECT_EQ(xpref_store_path(XPREF_USER), _config + "/quorvel/preferences.json");
    EXPECT_EQ(xpref_store_path(XPREF_SYSTEM), kwCompany::Folder() + "/preferences.json");

    for (short scope : {XPREF_USER, XPREF_SYSTEM}) {
        SCOPED_TRACE(scope);
        EXPECT_NE(xpref_put_string(scope, "Quorvel", "Controls Version", "1.1.0"), 0);
        char text[16] = {};
        EXPECT_NE(xpref_get_string(scope, "Quorvel", "Controls Version", text, sizeof(text)), 0);
        EXPECT_STREQ(text, "1.1.0");

        const unsigned char block[5] = {0x00, 0xff, 0x10, 0x7f, 0x80};
        EXPECT_NE(xpref_put_data(scope, "Quorvel", "Controls", block, sizeof(block)), 0);
        unsigned char back[5] = {};
        EXPECT_NE(xpref_get_data(scope, "Quorvel", "Controls", back, sizeof(back)), 0);
        EXPECT_EQ(0, std::memcmp(block, back, sizeof(block))) << "every byte value survives";

        EXPECT_NE(xpref_put_string(scope, "Quorvel", "Controls Version", "1.2.0"), 0);
        EXPECT_NE(xpref_get_string(scope, "Quorvel", "Controls Version", text, sizeof(text)), 0);
        EXPECT_STREQ(text, "1.2.0") << "a second write replaces the value";
        EXPECT_NE(xpref_get_data(scope, "Quorvel", "Controls", back, sizeof(back)), 0)
            << "writing one key keeps the others";
    }

    // The scopes are separate stores.
    EXPECT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Only user", "u"), 0);
    char text[8] = {};
    EXPECT_EQ(xpref_get_string(XPREF_SYSTEM, "Quorvel", "Only user", text, sizeof(text)), 0);

    // Binary values are readable in the file.
    const std::string system = ReadFile(xpref_store_path(XPREF_SYSTEM));
    EXPECT_NE(system.find("00ff107f80"), std::string::npos) << system;
}

TEST_F(PrefStore, MissingWrongKindAndWrongSizeReadAsMissing) {
    char text[8] = "keep";
    unsigned char data[2] = {9, 9};
    EXPECT_EQ(xpref_get_string(XPREF_USER, "Quorvel", "Nothing", text, sizeof(text)), 0)
        << "no store yet";
    EXPECT_EQ(xpref_get_data(XPREF_SYSTEM, "Quorvel", "Nothing", data, 2), 0);

    ASSERT_NE(xpref_put_data(XPREF_USER, "Quorvel", "Block", "\x01\x02\x03", 3), 0);
    ASSERT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Text", "abc"), 0);
    EXPECT_EQ(xpref_get_data(XPREF_USER, "Quorvel", "Block", data, 2), 0)
        << "a block of another size is not this block";
    EXPECT_EQ(data[0], 9) << "a failed read leaves the buffer alone";
    EXPECT_EQ(xpref_get_string(XPREF_USER, "Quorvel", "Block", text, sizeof(text)), 0);
    EXPECT_EQ(xpref_get_data(XPREF_USER, "Quorvel", "Text", data, 3), 0);
    EXPECT_EQ(xpref_get_string(XPREF_USER, "Other", "Text", text, sizeof(text)), 0)
        << "sections are separate";

    EXPECT_EQ(xpref_put_string(3, "Quorvel", "Text", "x"), 0) << "unknown scope";
    EXPECT_EQ(xpref_put_string(XPREF_USER, "", "Text", "x"), 0) << "empty section";
    EXPECT_EQ(xpref_put_string(XPREF_USER, "Quorvel", nullptr, "x"), 0) << "no key";
    EXPECT_EQ(xpref_put_string(XPREF_USER, "Quorvel", "Text", "bad \xff utf-8"), 0);
    EXPECT_NE(xpref_get_string(XPREF_USER, "Quorvel", "Text", text, sizeof(text)), 0);
    EXPECT_STREQ(text, "abc") << "refused writes change nothing";

    EXPECT_NE(xpref_delete(XPREF_USER, "Quorvel", "Text"), 0);
    EXPECT_EQ(xpref_get_string(XPREF_USER, "Quorvel", "Text", text, sizeof(text)), 0);
}

TEST_F(PrefStore, LongTextsAreCutToTheBufferOnACharacterBoundary) {
    ASSERT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Name", "ab\xc3\xa9z"), 0);
    char four[4] = {};
    EXPECT_NE(xpref_get_string(XPREF_USER, "Quorvel", "Name", four, sizeof(four)), 0);
    EXPECT_STREQ(four, "ab") << "the two-byte character does not fit in the last byte";
    char six[6] = {};
    EXPECT_NE(xpref_get_string(XPREF_USER, "Quorvel", "Name", six, sizeof(six)), 0);
    EXPECT_STREQ(six, "ab\xc3\xa9z");
}

TEST_F(PrefStore, UserValuesAreKeptPerCompany) {
    ASSERT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Grid Columns", "ISSUE"), 0);
    TestCompany other(false); // now the current company
    char text[16] = {};
    EXPECT_EQ(xpref_get_string(XPREF_USER, "Quorvel", "Grid Columns", text, sizeof(text)), 0)
        << "another company has its own user values";
    EXPECT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Grid Columns", "STATUS"), 0);
    EXPECT_NE(xpref_get_string(XPREF_USER, "Quorvel", "Grid Columns", text, sizeof(text)), 0);
    EXPECT_STREQ(text, "STATUS");

    kwCompany::Close();
    EXPECT_EQ(xpref_store_path(XPREF_SYSTEM), "") << "no company, no installation store";
    EXPECT_EQ(xpref_put_string(XPREF_SYSTEM, "Quorvel", "Form Report", "x"), 0);
}

TEST_F(PrefStore, AMalformedStoreReadsAsMissingAndIsSetAsideOnWrite) {
    const std::string path = xpref_store_path(XPREF_SYSTEM);
    for (const char* garbage : {"{ not json", "[1, 2, 3]", "", "{\"sections\": 5}",
                                "{\"sections\": {\"Quorvel\": {\"Controls\": {\"hex\": \"zz\"}}}}",
                                "{\"sections\": {\"Quorvel\": {\"Controls\": {\"hex\": 12}}}}"}) {
        SCOPED_TRACE(garbage);
        WriteFile(path, garbage);
        char text[8] = {};
        unsigned char data[1] = {};
        EXPECT_EQ(xpref_get_string(XPREF_SYSTEM, "Quorvel", "Controls", text, sizeof(text)), 0);
        EXPECT_EQ(xpref_get_data(XPREF_SYSTEM, "Quorvel", "Controls", data, 1), 0);

        EXPECT_NE(xpref_put_string(XPREF_SYSTEM, "Quorvel", "Form Report", "QV Form View"), 0)
            << "a damaged store does not block new values";
        EXPECT_NE(xpref_get_string(XPREF_SYSTEM, "Quorvel", "Form Report", text, sizeof(text)), 0);
        fs::remove(path);
    }
    WriteFile(path, "{ broken");
    ASSERT_NE(xpref_put_string(XPREF_SYSTEM, "Quorvel", "Key", "v"), 0);
    EXPECT_EQ(ReadFile(path + ".bad"), "{ broken") << "the damaged file is kept aside";
}

TEST_F(PrefStore, ADamagedValueIsLoggedWithItsPlaceAndTheOthersStay) {
    const std::string path = xpref_store_path(XPREF_SYSTEM);
    WriteFile(path, R"({"format": 1, "sections": {"Prog": {"Good": "yes", "Number": 5,
        "Odd": {"hex": 12}, "Half": {"hex": "abc"}, "Block": {"hex": "0a0b"}}}})");
    char text[16] = {};
    unsigned char data[2] = {};
    // (key, the place the log names)
    const std::pair<const char*, const char*> damaged[] = {
        {"Number", "preferences.json: sections.Prog.Number must be a text or"},
        {"Odd", "preferences.json: sections.Prog.Odd must be a text or"},
        {"Half", "preferences.json: sections.Prog.Half must be a text or"},
    };
    for (const auto& [key, place] : damaged) {
        EXPECT_EQ(xpref_get_string(XPREF_SYSTEM, "Prog", key, text, sizeof(text)), 0) << key;
        EXPECT_EQ(xpref_get_data(XPREF_SYSTEM, "Prog", key, data, 1), 0) << key;
        std::string log = ReadFile(kwCompany::LogFile());
        EXPECT_NE(log.find(place), std::string::npos) << log;
    }
    EXPECT_NE(xpref_get_string(XPREF_SYSTEM, "Prog", "Good", text, sizeof(text)), 0);
    EXPECT_NE(xpref_get_data(XPREF_SYSTEM, "Prog", "Block", data, 2), 0);
    ASSERT_NE(xpref_put_string(XPREF_SYSTEM, "Prog", "Number", "mended"), 0);
    EXPECT_NE(xpref_get_string(XPREF_SYSTEM, "Prog", "Number", text, sizeof(text)), 0);
    EXPECT_STREQ(text, "mended");
    EXPECT_NE(xpref_get_string(XPREF_SYSTEM, "Prog", "Good", text, sizeof(text)), 0)
        << "a damaged value does not cost the others";
    EXPECT_FALSE(fs::exists(path + ".bad"));

    // A store of the wrong shape is set aside whole, its place named.
    WriteFile(path, R"({"format": "one", "sections": {}})");
    EXPECT_EQ(xpref_get_string(XPREF_SYSTEM, "Prog", "Good", text, sizeof(text)), 0);
    EXPECT_NE(ReadFile(kwCompany::LogFile()).find("preferences.json: format must be a whole number"),
              std::string::npos);
    WriteFile(path, R"({"sections": {"Prog": ["Good"]}})");
    EXPECT_EQ(xpref_get_string(XPREF_SYSTEM, "Prog", "Good", text, sizeof(text)), 0);
    EXPECT_NE(ReadFile(kwCompany::LogFile()).find("preferences.json: sections.Prog must be a JSON object"),
              std::string::npos);
    ASSERT_NE(xpref_put_string(XPREF_SYSTEM, "Prog", "Good", "again"), 0);
    EXPECT_EQ(ReadFile(path + ".bad"), R"({"sections": {"Prog": ["Good"]}})");
}

TEST_F(PrefStore, TwoProcessesWritingAtOnceLoseNoKey) {
    constexpr int KEYS = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            int failures = 0;
            for (int i = 0; i < KEYS; ++i) {
                const std::string key = "P" + std::to_string(child) + "-" + std::to_string(i);
                if (!xpref_put_string(XPREF_SYSTEM, "Quorvel", key.c_str(), key.c_str())) {
                    ++failures;
                }
                const short value = static_cast<short>(i);
                if (!xpref_put_data(XPREF_USER, "Quorvel", key.c_str(), &value, 2)) ++failures;
            }
            _exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failed";
    }
    for (int child = 0; child < 2; ++child) {
        for (int i = 0; i < KEYS; ++i) {
            const std::string key = "P" + std::to_string(child) + "-" + std::to_string(i);
            char text[16] = {};
            EXPECT_NE(xpref_get_string(XPREF_SYSTEM, "Quorvel", key.c_str(), text, sizeof(text)), 0)
                << key << " lost from the installation store";
            EXPECT_EQ(std::string(text), key);
            short value = -1;
            EXPECT_NE(xpref_get_data(XPREF_USER, "Quorvel", key.c_str(), &value, 2), 0)
                << key << " lost from the user store";
            EXPECT_EQ(value, i);
        }
    }
}

TEST_F(PrefStore, AWriterKilledMidWriteLeavesAWholeStore) {
    ASSERT_NE(xpref_put_string(XPREF_SYSTEM, "Quorvel", "Stable", "still here"), 0);
    for (int round = 0; round < 5; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0;; ++i) {
                const std::string value(200 + i % 50, static_cast<char>('a' + i % 26));
                xpref_put_string(XPREF_SYSTEM, "Quorvel", "Busy", value.c_str());
            }
        }
        usleep(20000 + round * 7000);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        const std::string text = ReadFile(xpref_store_path(XPREF_SYSTEM));
        EXPECT_FALSE(nlohmann::json::parse(text, nullptr, false).is_discarded())
            << "the store is always a whole file";
        char stable[16] = {};
        EXPECT_NE(xpref_get_string(XPREF_SYSTEM, "Quorvel", "Stable", stable, sizeof(stable)), 0);
        EXPECT_STREQ(stable, "still here");
        EXPECT_NE(xpref_put_string(XPREF_SYSTEM, "Quorvel", "After", "written"), 0)
            << "the dead writer's lock died with it";
    }
    for (const auto& entry : fs::directory_iterator(kwCompany::Folder())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.rfind("preferences.json.", 0) != 0 || name == "preferences.json.lock")
            << "abandoned temporary file left behind: " << name;
    }
}
