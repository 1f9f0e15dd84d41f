// Positions by ordinal in a key's order: counts and records at an ordinal from either end,
// the ordinal of a record, with and without a selection of values, the refusal where no
// index serves, and the file version that tells of changes.
#include "TestCompany.h"

#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

const char* kDictionary = R"({
  "file": { "abbrev": "KPT", "description": "Key positions", "defaultFileName": "TEST.KPT", "dataVersion": "1.0.0" },
  "recordTypes": [
    { "number": 1, "name": "ITEM", "description": "Item",
      "fields": [
        { "name": "ID", "type": 1 },
        { "name": "OWNER", "type": 0, "width": 10, "caseFlag": true },
        { "name": "COLOUR", "type": 0, "width": 10 } ],
      "keys": [
        { "number": 0, "name": "ID", "fields": ["ID"], "unique": true },
        { "number": 1, "name": "OWNER", "fields": ["OWNER", "ID"] },
        { "number": 2, "name": "COLOUR", "fields": ["COLOUR", "ID"] } ] } ]
})";

class KeyPositions : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(company.Path("dict/kpt.dct")) << kDictionary;
        xio_open_def def{};
        std::snprintf(def.abbrev, sizeof(def.abbrev), "KPT");
        def.programNumber = 1;
        def.create = 1;
        ASSERT_EQ(xio_open_file(&def, &file), XIO_OK);
        // 60 items owned in turn by "Ann", "Bob", nobody, and "ann" (another person's case).
        const char* owners[] = {"Ann", "Bob", "", "ann"};
        for (int id = 1; id <= 60; ++id) {
            xio_clr_record(file, 1);
            Put("ID", x_value_def::OfNumber(id));
            Put("OWNER", x_value_def::OfText(id == 59 ? "Ann  " : owners[id % 4]));
            Put("COLOUR", x_value_def::OfText(id % 2 ? "red" : "blue"));
            ASSERT_EQ(xio_wr_record(file, 1, 0), XIO_OK);
        }
    }
    void TearDown() override { xio_cls_file(file); }
    void Put(const char* name, const x_value_def& value) { xio_put_field(file, 0, xio_num(file, 0, 0, name), &value); }
    double Id() {
        x_value_def value;
        xio_get_field(file, 0, xio_num(file, 0, 0, "ID"), &value);
        return value.AsNumber();
    }
    xio_selection Owners(std::vector<std::string> names, short key = 0) {
        xio_selection selection;
        selection.key = key;
        selection.field = xio_num(file, 0, 0, "OWNER");
        for (const auto& name : names) selection.values.push_back(x_value_def::OfText(name));
        return selection;
    }

    TestCompany company{false};
    short file = 0;
};

} // namespace

TEST_F(KeyPositions, EveryRecordByOrdinalFromEitherEnd) {
    xio_selection all;
    int64_t count = 0;
    ASSERT_EQ(xio_count_selection(file, all, &count), XIO_OK);
    EXPECT_EQ(count, 60);
    ASSERT_EQ(xio_rd_ordinal(file, all, 0, 0, 0), XIO_OK);
    EXPECT_EQ(Id(), 1);
    ASSERT_EQ(xio_rd_ordinal(file, all, 0, 1, 0), XIO_OK);
    EXPECT_EQ(Id(), 60) << "ordinal 0 from the end is the last record";
    ASSERT_EQ(xio_rd_ordinal(file, all, 25, 0, 0), XIO_OK);
    EXPECT_EQ(Id(), 26);
    int64_t ordinal = -1;
    ASSERT_EQ(xio_ordinal_of(file, all, &ordinal), XIO_OK);
    EXPECT_EQ(ordinal, 25);
    ASSERT_EQ(xio_ordinal_of(file, all, &ordinal, 1), XIO_OK);
    EXPECT_EQ(ordinal, 34) << "counted from the end: the records after it";
    EXPECT_EQ(xio_rd_next(file, 1, 0, 0), XIO_OK) << "a walk goes on from the record placed";
    EXPECT_EQ(Id(), 27);
    EXPECT_EQ(xio_rd_ordinal(file, all, 60, 0, 0), XIO_NO_RECORD);

    // By colour: the blue ones (even ids) first.
    all.key = 2;
    ASSERT_EQ(xio_rd_ordinal(file, all, 29, 0, 0), XIO_OK);
    EXPECT_EQ(Id(), 60);
    ASSERT_EQ(xio_rd_ordinal(file, all, 30, 0, 0), XIO_OK);
    EXPECT_EQ(Id(), 1);
}

TEST_F(KeyPositions, ASelectionCountsAndPlacesOnlyItsValues) {
    // Ann's (ids 4, 8 ... 60, and 59 written with blanks after the name) and nobody's
    // (2, 6, ... 58), in id order; "ann" (3, 7 ...) is someone else.
    const xio_selection selection = Owners({"Ann", ""});
    ASSERT_EQ(xio_selection_indexed(file, selection), XIO_OK) << "the owner key then the id serves the id order";
    int64_t count = 0;
    ASSERT_EQ(xio_count_selection(file, selection, &count), XIO_OK);
    EXPECT_EQ(count, 31);
    std::vector<double> ids;
    for (int64_t n = 0; n < count; ++n) {
        ASSERT_EQ(xio_rd_ordinal(file, selection, n, 0, 0), XIO_OK);
        ids.push_back(Id());
        int64_t ordinal = -1;
        ASSERT_EQ(xio_ordinal_of(file, selection, &ordinal), XIO_OK);
        EXPECT_EQ(ordinal, n);
    }
    std::vector<double> expected;
    for (int id = 1; id <= 60; ++id)
        if (id % 4 == 0 || id % 4 == 2 || id == 59) expected.push_back(id);
    EXPECT_EQ(ids, expected);
    ASSERT_EQ(xio_rd_ordinal(file, selection, 1, 1, 0), XIO_OK);
    EXPECT_EQ(Id(), 59) << "from the end: the name with blanks after it counts";

    ASSERT_EQ(xio_rd_ordinal(file, Owners({"Bob"}, 1), 3, 0, 0), XIO_OK);
    EXPECT_EQ(Id(), 13) << "Bob's fourth, in the owner key's own order";
}

TEST_F(KeyPositions, WithoutAnIndexThatServesThereIsNoPosition) {
    xio_selection byColour;
    byColour.field = xio_num(file, 0, 0, "COLOUR");
    byColour.values = {x_value_def::OfText("red")};
    byColour.key = 1;
    EXPECT_EQ(xio_selection_indexed(file, byColour), XIO_BAD_KEY) << "no key of colour then owner";
    byColour.key = 0;
    EXPECT_EQ(xio_selection_indexed(file, byColour), XIO_OK);

    xio_cls_file(file);
    ASSERT_EQ(xc_deactivate_alt_key("KPT", 1), 0);
    std::filesystem::remove(company.Path("TEST.KPT"));
    SetUp();
    xio_selection byOwner;
    byOwner.key = 1;
    int64_t count = 0;
    EXPECT_EQ(xio_count_selection(file, byOwner, &count), XIO_BAD_KEY) << "a switched-off key has no index";
    EXPECT_EQ(xio_rd_ordinal(file, Owners({"Ann"}), 0, 0, 0), XIO_BAD_KEY);
}

TEST_F(KeyPositions, ARecordFromAnotherKeysWalkAndTheFileVersion) {
    // Read by a walk on the owner key: the record's place in the colour order is still known.
    xio_clr_record(file, 1);
    Put("OWNER", x_value_def::OfText("Bob"));
    ASSERT_EQ(xio_rd_ge(file, 1, 1, 0), XIO_OK);
    ASSERT_EQ(xio_rd_next(file, 1, 1, 0), XIO_OK);
    ASSERT_EQ(Id(), 5);
    xio_selection byColour;
    byColour.key = 2;
    int64_t ordinal = -1;
    ASSERT_EQ(xio_ordinal_of(file, byColour, &ordinal), XIO_OK);
    EXPECT_EQ(ordinal, 32) << "after the 30 blue ones and the red 1 and 3";

    int64_t before = 0, same = 0, afterOwn = 0, afterOther = 0;
    ASSERT_EQ(xio_file_version(file, &before), XIO_OK);
    ASSERT_EQ(xio_file_version(file, &same), XIO_OK);
    EXPECT_EQ(same, before) << "nothing written, nothing changed";
    xio_clr_record(file, 1);
    Put("ID", x_value_def::OfNumber(61));
    ASSERT_EQ(xio_wr_record(file, 1, 0), XIO_OK);
    ASSERT_EQ(xio_file_version(file, &afterOwn), XIO_OK);
    EXPECT_NE(afterOwn, before) << "this open's own write";

    // Another workstation's commit, which moves nothing in this process.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(company.Path("TEST.KPT").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "INSERT INTO r1 (\"ID\") VALUES (62)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_EQ(xio_file_version(file, &afterOther), XIO_OK);
    EXPECT_NE(afterOther, afterOwn) << "another workstation's write";
}
