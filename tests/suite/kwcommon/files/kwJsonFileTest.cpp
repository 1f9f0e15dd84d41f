// Checked JSON reading: every fault names the file and the JSON path, nothing throws out of
// a loader, and a file that is not JSON says where it breaks.
#include "TestFiles.h"

#include "kwcommon/kwJsonFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The error of reading member key of doc with read, "" when it succeeded.
std::string FaultOf(const nlohmann::json& doc, const std::function<void(const kwJsonNode&)>& read) {
    std::string error;
    if (kwJsonLoad("set.json", &error, [&] { read(kwJsonNode(doc, "set.json")); })) return {};
    return error;
}

} // namespace

TEST(kwJsonFile, WrongTypesAreFaultsNamingFileAndPath) {
    const auto doc = nlohmann::json::parse(R"({
        "name": 7, "on": "yes", "count": 2.5, "big": 18446744073709551615, "list": {"a": 1},
        "mail": {"port": "587"}, "people": [{"id": "A"}, {"id": null}],
        "odd key": {"x": []}, "ok": "text", "n": 40 })");
    const std::pair<std::function<void(const kwJsonNode&)>, std::string> cases[] = {
        {[](const kwJsonNode& n) { n.Text("name", ""); }, "set.json: name must be a text, not 7"},
        {[](const kwJsonNode& n) { n.Flag("on", false); }, "set.json: on must be true or false, not \"yes\""},
        {[](const kwJsonNode& n) { n.Whole("count", 0, 0, 9); }, "set.json: count must be a whole number from 0 to 9, not 2.5"},
        {[](const kwJsonNode& n) { n.Whole("big", 0, 0, 100); }, "set.json: big must be a whole number from 0 to 100"},
        {[](const kwJsonNode& n) { n.Whole("n", 0, 0, 9); }, "set.json: n must be a whole number from 0 to 9, not 40"},
        {[](const kwJsonNode& n) { n.Member("list").ExpectArray(); }, "set.json: list must be a list, not {\"a\":1}"},
        {[](const kwJsonNode& n) { n.Member("mail").Whole("port", 0, 0, 65535); }, "set.json: mail.port must be"},
        {[](const kwJsonNode& n) {
             n.Member("people").ForEachItem([](size_t, const kwJsonNode& p) { p.Text("id", ""); });
         },
         "set.json: people[1].id must be a text, not null"},
        {[](const kwJsonNode& n) { n.Member("odd key").Member("x").Text(); }, "set.json: [\"odd key\"].x must be a text"},
        {[](const kwJsonNode& n) { n.Member("absent"); }, "set.json: the file has no \"absent\""},
        {[](const kwJsonNode& n) { n.Member("ok").ExpectObject(); }, "set.json: ok must be a JSON object, not \"text\""},
        {[](const kwJsonNode& n) { n.Member("ok").Find("x"); }, "set.json: ok must be a JSON object"},
        {[](const kwJsonNode& n) { (void)n.Json().at("name").get<std::string>(); }, "set.json: type must be string"},
    };
    for (const auto& [read, expected] : cases) {
        const std::string fault = FaultOf(doc, read);
        EXPECT_EQ(fault.rfind(expected, 0), 0u) << "expected \"" << expected << "\", got \"" << fault << "\"";
    }
    EXPECT_EQ(FaultOf(doc, [](const kwJsonNode& n) {
                  EXPECT_EQ(n.Text("ok", ""), "text");
                  EXPECT_EQ(n.Text("missing", "fallback"), "fallback");
                  EXPECT_EQ(n.Whole("missing", -1, -5, 5), -1);
                  EXPECT_EQ(n.Member("people").Item(0).Member("id").Path(), "people[0].id");
              }),
              "")
        << "sound reads and fallbacks";
}

TEST(kwJsonFile, ReadingFilesTellsMissingFromMalformed) {
    const std::string folder = (fs::temp_directory_path() / ("kwjson-" + std::to_string(::getpid()))).string();
    fs::create_directories(folder);
    nlohmann::json doc;
    std::string error;
    EXPECT_EQ(kwJsonReadFile(folder + "/none.json", &doc, &error), kwJsonRead::Missing);
    EXPECT_EQ(kwJsonReadFile(folder, &doc, &error), kwJsonRead::Malformed) << "a folder is no file";
    WriteAll(folder + "/bad.json", "{\"a\": 1,\n \"b\": }");
    EXPECT_EQ(kwJsonReadFile(folder + "/bad.json", &doc, &error), kwJsonRead::Malformed);
    EXPECT_EQ(error.rfind(folder + "/bad.json: not valid JSON at byte ", 0), 0u) << error;
    WriteAll(folder + "/latin1.json", "{\"a\": \"caf\xe9\"}");
    EXPECT_EQ(kwJsonReadFile(folder + "/latin1.json", &doc, &error), kwJsonRead::Malformed) << "not UTF-8";
    WriteAll(folder + "/good.json", "{\"a\": [1, 2]}");
    ASSERT_EQ(kwJsonReadFile(folder + "/good.json", &doc, &error), kwJsonRead::Ok);
    EXPECT_EQ(doc["a"][1], 2);

    std::string text;
    EXPECT_TRUE(kwJsonDump(doc, &text));
    EXPECT_EQ(text, "{\n  \"a\": [\n    1,\n    2\n  ]\n}\n");
    EXPECT_FALSE(kwJsonDump(nlohmann::json("caf\xe9"), &text)) << "text that is not UTF-8 is not written";
    fs::remove_all(folder);
}
