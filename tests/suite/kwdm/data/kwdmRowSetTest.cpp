// Rows found from the index (counted and placed without reading the records between) and
// by walking under a qualification (counted in slices, End from the last record, the
// walks meeting), in the key's order, in a bounded window.
#include "../KwdmTestSupport.h"

#include "kwdm/data/kwdmRowSet.h"

#include "kwcommon/conditions/xc_alt_keys.h"

#include <set>

using namespace kwdmtest;

namespace {

class RowSet : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
    void TearDown() override {
        if (file) xio_cls_file(file);
    }
    void Make(int64_t count) {
        IssueGeneratorOptions options;
        options.count = count;
        std::string error;
        ASSERT_TRUE(GenerateIssues(options, &error)) << error;
        xio_open_def def{};
        std::snprintf(def.abbrev, sizeof(def.abbrev), "QVI");
        def.programNumber = kProgram;
        ASSERT_EQ(xio_open_file(&def, &file), XIO_OK);
    }
    kwdmRowSet::Source Plain(short key = 0) const {
        kwdmRowSet::Source source;
        source.file = file;
        source.key = key;
        return source;
    }
    // ISSUE is the issue record's first field.
    static double Issue(const kwdmRecord* record) { return record ? record->values[0].number : -1; }

    TestCompany company{false};
    short file = 0;
    kwdmRowSet rows;
};

} // namespace

TEST_F(RowSet, IndexedRowsArePlacedFromEitherEndInTheKeysOrder) {
    Make(1000);
    ASSERT_TRUE(rows.Open(Plain(), std::chrono::milliseconds(50)));
    EXPECT_TRUE(rows.Indexed()) << "the primary key's index places every row";
    EXPECT_EQ(rows.Count(), 1000) << "counted before a single row is read";
    EXPECT_EQ(rows.CachedRows(), 0u);
    EXPECT_EQ(Issue(rows.Row(999)), 1000) << "End reads backwards from the last record";
    EXPECT_EQ(Issue(rows.Row(500)), 501) << "a jump to the middle";
    EXPECT_EQ(Issue(rows.Row(0)), 1);
    EXPECT_EQ(Issue(rows.Row(998)), 999) << "next to a block already read";
    EXPECT_EQ(rows.Row(1000), nullptr) << "past the last row";
    for (int64_t row = 0; row < 1000; ++row) ASSERT_EQ(Issue(rows.Row(row)), row + 1) << "row " << row;
    EXPECT_LE(rows.CachedRows(), kwdmRowSet::kMaxBlocks * kwdmRowSet::kBlockRows) << "a bounded window";

    // By status: every row in (status, number) order, whichever end it was read from.
    ASSERT_TRUE(rows.Open(Plain(1), std::chrono::milliseconds(50)));
    ASSERT_TRUE(rows.Indexed());
    const short status = xio_num(file, 0, 0, "STATUS");
    for (int64_t row : {999, 0, 400, 401, 998}) ASSERT_NE(rows.Row(row), nullptr);
    for (int64_t row = 1; row < 1000; ++row) {
        const kwdmRecord* before = rows.Row(row - 1);
        const kwdmRecord* after = rows.Row(row);
        const int c = rows.Layout().Compare(status, before->values[static_cast<size_t>(status - 1)],
                                            after->values[static_cast<size_t>(status - 1)]);
        ASSERT_TRUE(c < 0 || (c == 0 && Issue(before) < Issue(after))) << "row " << row;
    }
    const kwdmRecord middle = *rows.Row(640);
    EXPECT_EQ(rows.RowOf(middle), 640) << "a record's row from the index";
}

TEST_F(RowSet, AnIndexedSelectionKeepsExactlyItsValues) {
    Make(600);
    // One responsible name written in other letters: not the same person for the filter.
    xio_clr_record(file, 1);
    const x_value_def number = x_value_def::OfNumber(601);
    xio_put_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &number);
    const x_value_def name = x_value_def::OfText("dana whitfield");
    xio_put_field(file, 0, xio_num(file, 0, 0, "RESPONS"), &name);
    ASSERT_EQ(xio_wr_record(file, 1, 0), XIO_OK);
    // And one with blanks after the name: the same person.
    const x_value_def later = x_value_def::OfNumber(602);
    xio_put_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &later);
    const x_value_def padded = x_value_def::OfText("Dana Whitfield   ");
    xio_put_field(file, 0, xio_num(file, 0, 0, "RESPONS"), &padded);
    ASSERT_EQ(xio_wr_record(file, 1, 0), XIO_OK);
    kwdmRowSet::Source source = Plain();
    source.selectionField = xio_num(file, 0, 0, "RESPONS");
    source.selectionValues = {x_value_def::OfText("Dana Whitfield"), x_value_def::OfText("")};
    ASSERT_TRUE(rows.Open(source, std::chrono::milliseconds(50)));
    EXPECT_TRUE(rows.Indexed()) << "the responsible key followed by the issue number serves it";

    // What a walk over the whole file finds.
    std::vector<double> expected;
    for (short status = xio_rd_first(file, 1, 0, 0); status == XIO_OK; status = xio_rd_next(file, 1, 0, 0)) {
        x_value_def value;
        xio_get_field(file, 0, source.selectionField, &value);
        std::string text = value.AsText();
        while (!text.empty() && text.back() == ' ') text.pop_back();
        if (text == "Dana Whitfield" || text.empty()) {
            xio_get_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &value);
            expected.push_back(value.AsNumber());
        }
    }
    ASSERT_EQ(rows.Count(), static_cast<int64_t>(expected.size()));
    // Read from the middle outwards, so both ends and the neighbours are used.
    for (int64_t row : {rows.Count() / 2, rows.Count() - 1, int64_t{0}})
        EXPECT_EQ(Issue(rows.Row(row)), expected[static_cast<size_t>(row)]) << "row " << row;
    for (int64_t row = 0; row < rows.Count(); ++row)
        ASSERT_EQ(Issue(rows.Row(row)), expected[static_cast<size_t>(row)]) << "row " << row;
    EXPECT_EQ(Issue(rows.Row(rows.Count() - 1)), 602) << "blanks after the name do not count";
    EXPECT_EQ(std::count(expected.begin(), expected.end(), 601.0), 0) << "\"dana whitfield\" is not \"Dana Whitfield\"";
}

TEST_F(RowSet, WalkedRowsGrowInSlicesAndEndWalksBackFromTheLastRecord) {
    Make(3000);
    const short urgency = xio_num(file, 0, 0, "URGENCY");
    kwdmRowSet::Source source = Plain();
    int asked = 0;
    source.qualifies = [&] {
        ++asked;
        x_value_def value;
        xio_get_field(file, 0, urgency, &value);
        return value.AsText() == "Critical"; // issues 7, 17, 27 ...
    };
    int64_t announced = 0;
    std::vector<int64_t> places;
    rows.SetEvents({[&](int64_t at, int64_t count) {
        announced += count;
        places.push_back(at);
    }});
    ASSERT_TRUE(rows.Open(source, std::chrono::milliseconds(50)));
    EXPECT_FALSE(rows.Indexed()) << "a qualification decides: rows are counted by walking";
    EXPECT_TRUE(rows.Counting());
    EXPECT_GE(rows.Count(), 32) << "a first page is found at once";
    EXPECT_LT(rows.Count(), 300);
    EXPECT_EQ(Issue(rows.Row(0)), 7);

    // End before the counting is done: the last rows, read backwards from the last record.
    rows.ReachEnd(std::chrono::milliseconds(50));
    ASSERT_TRUE(rows.Counting());
    EXPECT_EQ(Issue(rows.Row(rows.Count() - 1)), 2997) << "the last issue that qualifies";
    EXPECT_EQ(Issue(rows.Row(rows.Count() - 2)), 2987);

    while (rows.Counting()) rows.Work(std::chrono::milliseconds(5));
    ASSERT_EQ(rows.Count(), 300) << "every tenth issue, each once";
    EXPECT_EQ(announced, 300) << "every row was announced as it was found";
    for (int64_t row = 0; row < 300; ++row) ASSERT_EQ(Issue(rows.Row(row)), 7 + 10 * row) << "row " << row;
    const kwdmRecord found = *rows.Row(123);
    EXPECT_EQ(rows.RowOf(found), 123) << "a record's row from the checkpoints";
    EXPECT_GT(asked, 3000) << "each record was asked about while counting";
}

TEST_F(RowSet, AnOrderWithoutItsIndexIsWalked) {
    ASSERT_EQ(xc_deactivate_alt_key("QVI", 2), 0);
    Make(200);
    ASSERT_TRUE(rows.Open(Plain(2), std::chrono::milliseconds(50)));
    EXPECT_FALSE(rows.Indexed()) << "a switched-off key keeps no index to count on";
    while (rows.Counting()) rows.Work(std::chrono::milliseconds(5));
    EXPECT_EQ(rows.Count(), 200);
    std::set<double> seen;
    for (int64_t row = 0; row < 200; ++row) seen.insert(Issue(rows.Row(row)));
    EXPECT_EQ(seen.size(), 200u) << "every issue once";
}
