// Dictionaries with a value of the wrong type anywhere: refused with the file and the JSON
// path named, never a crash.
#include "kwcommon/xio_dict.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

TEST(kwDictionaryLoader, WrongTypesNameTheFileAndThePath) {
    const auto sound = nlohmann::json::parse(R"({
        "file": { "abbrev": "X", "dataVersion": "1.0.0", "fileTypes": ["A"] },
        "recordTypes": [ { "number": 1, "name": "R", "linkGroup": 0,
            "fields": [ { "name": "A", "type": 0, "width": 10, "items": [] },
                        { "name": "C", "type": 7, "items": ["one", "two"], "defaultItem": 1 } ],
            "keys": [ { "number": 0, "name": "K", "fields": ["A"], "unique": true } ] } ],
        "header": [ { "name": "LASTID", "type": 1 } ] })");
    std::string error;
    ASSERT_TRUE(kwDictionaryLoader::Parse(sound.dump(), "x.dct", &error)) << error;

    // (JSON pointer of the value to spoil, the bad value, the path the message names)
    const std::tuple<const char*, nlohmann::json, const char*> cases[] = {
        {"/file", "X", "x.dct: file must be a JSON object"},
        {"/file/abbrev", 7, "x.dct: file.abbrev must be a text, not 7"},
        {"/file/dataVersion", nullptr, "x.dct: file.dataVersion must be a text, not null"},
        {"/file/description", true, "x.dct: file.description must be a text"},
        {"/file/defaultFileName", 1, "x.dct: file.defaultFileName must be a text"},
        {"/file/fileTypes", "A", "x.dct: file.fileTypes must be a list"},
        {"/file/fileTypes/0", 3, "x.dct: file.fileTypes[0] must be a text"},
        {"/recordTypes", nlohmann::json::object(), "x.dct: recordTypes must be a list"},
        {"/recordTypes/0", 1, "x.dct: recordTypes[0] must be a JSON object"},
        {"/recordTypes/0/number", "1", "x.dct: recordTypes[0].number must be a whole number"},
        {"/recordTypes/0/name", nlohmann::json::array(), "x.dct: recordTypes[0].name must be a text"},
        {"/recordTypes/0/linkGroup", 1.5, "x.dct: recordTypes[0].linkGroup must be a whole number"},
        {"/recordTypes/0/fields/0/type", "0", "x.dct: recordTypes[0].fields[0].type must be a whole number"},
        {"/recordTypes/0/fields/0/width", -1, "x.dct: recordTypes[0].fields[0].width must be a whole number from 0"},
        {"/recordTypes/0/fields/0/longText", 1, "x.dct: recordTypes[0].fields[0].longText must be true or false"},
        {"/recordTypes/0/fields/0/items", "a", "x.dct: recordTypes[0].fields[0].items must be a list"},
        {"/recordTypes/0/fields/1/items/1", 2, "x.dct: recordTypes[0].fields[1].items[1] must be a text"},
        {"/recordTypes/0/fields/1/defaultItem", 3, "x.dct: recordTypes[0].fields[1].defaultItem names an item"},
        {"/recordTypes/0/keys/0/fields/0", 1, "x.dct: recordTypes[0].keys[0].fields[0] must be a text"},
        {"/recordTypes/0/keys/0/unique", "yes", "x.dct: recordTypes[0].keys[0].unique must be true or false"},
        {"/recordTypes/0/keys/0/number", nullptr, "x.dct: recordTypes[0].keys[0].number must be a whole number"},
        {"/header/0/name", 5, "x.dct: header[0].name must be a text"},
        {"/header", 5, "x.dct: header must be a list"},
    };
    for (const auto& [pointer, bad, place] : cases) {
        nlohmann::json spoiled = sound;
        spoiled[nlohmann::json::json_pointer(pointer)] = bad;
        EXPECT_FALSE(kwDictionaryLoader::Parse(spoiled.dump(), "x.dct", &error)) << pointer;
        EXPECT_EQ(error.rfind(place, 0), 0u) << pointer << ": " << error;
    }
}
