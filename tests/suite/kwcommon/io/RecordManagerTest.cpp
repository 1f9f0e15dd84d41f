// The record manager against a small dictionary of its own: records, walks, locks
// between processes, crash safety and damaged files.
#include "RecordManagerTestSupport.h"

#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using rmtest::WriteTestDictionary;

class RecordManager : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestDictionary(company);
        ASSERT_EQ(file.PromptedOpen("TST", 1, "", 0, true, true, false), 0);
        f = file.FileNum();
        id = xio_num(f, 0, 0, "ID");
        name = xio_num(f, 0, 0, "NAME");
        group = xio_num(f, 0, 0, "group");
        due = xio_num(f, 0, 0, "DUE");
        notes = xio_num(f, 0, 0, "NOTES");
        lastId = xio_num(f, 0, 0, "LASTID");
    }

    void Put(short field, const x_value_def& value) { ASSERT_EQ(xio_put_field(f, 0, field, &value), 0); }
    void Put(short field, double value) { Put(field, x_value_def::OfNumber(value)); }
    void Put(short field, const std::string& value) { Put(field, x_value_def::OfText(value)); }
    double Number(short field) {
        x_value_def v;
        EXPECT_EQ(xio_get_field(f, 0, field, &v), 0);
        return v.AsNumber();
    }
    std::string Text(short field) {
        x_value_def v;
        EXPECT_EQ(xio_get_field(f, 0, field, &v), 0);
        return v.AsText();
    }
    short Add(double idValue, const std::string& nameValue, const std::string& groupValue, double dueValue = 0) {
        xio_clr_record(f, 1);
        Put(id, idValue);
        Put(name, nameValue);
        Put(group, groupValue);
        Put(due, dueValue);
        return xio_wr_record(f, 1, 0);
    }

    TestCompany company{false};
    kwioDataFile file;
    short f = 0, id = 0, name = 0, group = 0, due = 0, notes = 0, lastId = 0;
};

TEST_F(RecordManager, DefinitionsComeFromTheDictionary) {
    EXPECT_EQ(id, 1);
    EXPECT_EQ(group, 3) << "field names are found without regard to case";
    EXPECT_EQ(xio_num(f, 0, 0, "NOPE"), 0);
    EXPECT_EQ(lastId, 9) << "header fields follow the fields of every record type";
    xio_def def{};
    ASSERT_EQ(xio_get_def(f, &def, 0), 0);
    EXPECT_STREQ(def.abbrev, "TST");
    EXPECT_EQ(def.keyCount, 2);
    EXPECT_EQ(std::string(def.path), company.Path("TEST.TST"));
    xio_rec_def rec{};
    ASSERT_EQ(xio_get_rec_def(f, 2, &rec, 1), 0);
    EXPECT_EQ(rec.firstField, 7);
    EXPECT_EQ(rec.fieldCount, 2);
    EXPECT_EQ(xio_get_rec_def(f, 3, &rec, 1), XIO_BAD_RECORD_TYPE);
    xio_key_def key{};
    ASSERT_EQ(xio_get_key_def(f, 1, &key, 1), 0);
    EXPECT_EQ(key.fieldCount, 2);
    EXPECT_EQ(key.fields[0], group);
    EXPECT_EQ(key.userOrder, 1);
    char item[16];
    ASSERT_EQ(xio_get_item_alpha(f, 6, 2, item, sizeof(item)), 0);
    EXPECT_STREQ(item, "Second");
    EXPECT_EQ(xio_get_item_alpha(f, 6, 3, item, sizeof(item)), XIO_NO_RECORD);
    xio_init_record(f, 1);
    EXPECT_EQ(Number(6), 2) << "a new record starts at the default item";
}

TEST_F(RecordManager, RecordsAreAddedReadRewrittenAndDeleted) {
    ASSERT_EQ(Add(1, "one", "B"), 0);
    ASSERT_EQ(Add(2, "two", "A"), 0);
    EXPECT_EQ(Add(2, "again", "A"), XIO_DUPLICATE_KEY) << "key 0 is unique";

    xio_clr_record(f, 1);
    Put(id, 2);
    ASSERT_EQ(xio_rd_record(f, 1, 0, 0), 0);
    EXPECT_EQ(Text(name), "two");
    EXPECT_EQ(xio_rep_record(f, 1), XIO_NOT_LOCKED) << "a rewrite needs the record read with lock";

    ASSERT_EQ(xio_rd_record(f, 1, 0, 1), 0);
    Put(name, "TWO and more than ten");
    ASSERT_EQ(xio_rep_record(f, 1), 0);
    xio_unlock_record(f, 1, 1);
    xio_clr_record(f, 1);
    Put(id, 2);
    ASSERT_EQ(xio_rd_record(f, 1, 0, 0), 0);
    EXPECT_EQ(Text(name), "TWO and mo") << "text is cut to the field's width";

    const int64_t position = xio_save_record(f, 1);
    xio_clr_record(f, 1);
    ASSERT_EQ(xio_restore_record(f, position, 1, 0), 0);
    EXPECT_EQ(Number(id), 2);

    ASSERT_EQ(xio_del_record(f, 1), 0);
    xio_clr_record(f, 1);
    Put(id, 2);
    EXPECT_EQ(xio_rd_record(f, 1, 0, 0), XIO_NO_RECORD);
    EXPECT_EQ(xio_status(f), XIO_NO_RECORD);

    std::string longText(1500, 'x');
    longText += "ünïcode";
    xio_clr_record(f, 1);
    Put(id, 9);
    ASSERT_EQ(xio_put_long_text(f, notes, longText), 0);
    ASSERT_EQ(xio_wr_record(f, 1, 0), 0);
    xio_clr_record(f, 1);
    Put(id, 9);
    ASSERT_EQ(xio_rd_record(f, 1, 0, 0), 0);
    std::string back;
    ASSERT_EQ(xio_get_long_text(f, notes, &back), 0);
    EXPECT_EQ(back, longText);
    EXPECT_EQ(Text(notes).size(), 81u) << "the value carrier holds 81 bytes of a long text";
}

TEST_F(RecordManager, WalksFollowEachKeyToTheEnd) {
    int64_t count = -1;
    ASSERT_EQ(xio_count_records(f, 1, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(xio_rd_last(f, 1, 0, 0), XIO_NO_RECORD) << "an empty file has no last record";
    EXPECT_EQ(xio_rd_first(f, 1, 0, 0), XIO_NO_RECORD);

    for (int i = 1; i <= 100; ++i)
        ASSERT_EQ(Add(i, "n" + std::to_string(i), i % 3 == 0 ? "C" : (i % 2 ? "A" : "B"), 20260000 + (i % 7)), 0);

    // By key 0 from the start: every record in number order, then 10.
    xio_clr_record(f, 1);
    ASSERT_EQ(xio_rd_ge(f, 1, 0, 0), 0);
    int seen = 1;
    double previous = Number(id);
    EXPECT_EQ(previous, 1);
    while (xio_rd_next(f, 1, 0, 0) == 0) {
        EXPECT_GT(Number(id), previous);
        previous = Number(id);
        ++seen;
    }
    EXPECT_EQ(seen, 100);
    EXPECT_EQ(xio_status(f), XIO_NO_RECORD);

    // By the alternate key from group B on: group B in number order, then C.
    xio_clr_record(f, 1);
    Put(group, "B");
    ASSERT_EQ(xio_rd_ge(f, 1, 1, 0), 0);
    std::vector<std::pair<std::string, double>> order;
    do {
        order.emplace_back(Text(group), Number(id));
    } while (xio_rd_next(f, 1, 1, 0) == 0);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), std::make_pair(std::string("B"), 2.0));
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << "group then number order";
    EXPECT_EQ(order.back().first, "C");
    EXPECT_EQ(order.size(), 67u) << "groups B and C only (group A holds the 33 odd numbers not divisible by 3)";

    // A key with duplicates: every record once, rowid breaking ties.
    xio_clr_record(f, 1);
    ASSERT_EQ(xio_rd_first(f, 1, 2, 0), 0);
    std::set<double> ids{Number(id)};
    while (xio_rd_next(f, 1, 2, 0) == 0) ids.insert(Number(id));
    EXPECT_EQ(ids.size(), 100u);

    // Backwards from the last.
    ASSERT_EQ(xio_rd_last(f, 1, 0, 0), 0);
    EXPECT_EQ(Number(id), 100);
    ASSERT_EQ(xio_rd_prev(f, 1, 0, 0), 0);
    EXPECT_EQ(Number(id), 99);

    // Deleting while walking goes on with the following record.
    xio_clr_record(f, 1);
    Put(group, "C");
    ASSERT_EQ(xio_rd_ge(f, 1, 1, 1), 0);
    int deleted = 0;
    while (xio_status(f) == 0 && Text(group) == "C") {
        ASSERT_EQ(xio_del_record(f, 1), 0);
        ++deleted;
        xio_rd_next(f, 1, 1, 1);
    }
    EXPECT_EQ(deleted, 33);
    ASSERT_EQ(xio_count_records(f, 1, &count), 0);
    EXPECT_EQ(count, 67);

    // A write in the middle of a walk is seen by the walk.
    xio_clr_record(f, 1);
    ASSERT_EQ(xio_rd_first(f, 1, 0, 0), 0);
    const int64_t first = xio_save_record(f, 1);
    ASSERT_EQ(Add(1.5, "late", "A"), 0);
    ASSERT_EQ(xio_restore_record(f, first, 1, 0), 0);
    ASSERT_EQ(xio_rd_next(f, 1, 0, 0), 0);
    EXPECT_EQ(Number(id), 1.5);
}

TEST_F(RecordManager, CountsAreKeptByTheFileAndAWalkMayChangeItsKey) {
    ASSERT_EQ(rmtest::AddItems(f, 1, 30), 0);
    kwioDataFile other;
    ASSERT_EQ(other.PromptedOpen("TST", 2, "", 0, false, true, false), 0);
    ASSERT_EQ(rmtest::AddItems(other.FileNum(), 31, 5), 0);
    xio_clr_record(f, 1);
    Put(id, 3);
    ASSERT_EQ(xio_rd_record(f, 1, 0, 1), 0);
    ASSERT_EQ(xio_del_record(f, 1), 0);
    int64_t count = 0;
    ASSERT_EQ(xio_count_records(f, 1, &count), 0);
    EXPECT_EQ(count, 34) << "writes of both opens are counted";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(company.Path("TEST.TST").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT records FROM kw_count WHERE type = 1", -1, &stmt, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int64(stmt, 0), 34) << "the count is kept in the file itself";
    sqlite3_finalize(stmt);
    sqlite3_close(db);

    // Read by group (key 1), then go on by number (key 0) from that record.
    xio_clr_record(f, 1);
    Put(group, "B");
    Put(id, 10);
    ASSERT_EQ(xio_rd_ge(f, 1, 1, 0), 0);
    EXPECT_EQ(Number(id), 10);
    ASSERT_EQ(xio_rd_next(f, 1, 0, 0), 0);
    EXPECT_EQ(Number(id), 11) << "the next record by number follows the record read by group";
    ASSERT_EQ(xio_rd_next(f, 1, 1, 0), 0);
    EXPECT_EQ(Text(group), "A") << "and the next by group follows 11 in group A";
    EXPECT_EQ(Number(id), 13);
}

TEST_F(RecordManager, SwitchedOffAlternateKeysKeepNoIndexYetStillWalk) {
    auto indexes = [&] {
        std::set<std::string> names;
        sqlite3* db = nullptr;
        sqlite3_open_v2(company.Path("TEST.TST").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'index'", -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) names.insert(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return names;
    };
    ASSERT_EQ(Add(1, "one", "B", 20260102), 0);
    ASSERT_EQ(Add(2, "two", "A", 20260101), 0);
    EXPECT_TRUE(indexes().count("k1_2"));

    ASSERT_EQ(xc_deactivate_alt_key("TST", 2), 0);
    ASSERT_EQ(xio_update_keys(xio_key_chg_def("TST", nullptr, 2, 0)), 0);
    EXPECT_FALSE(indexes().count("k1_2")) << "the switched-off key's index is dropped";
    file.Close();
    ASSERT_EQ(file.PromptedOpen("TST", 1, "", 0, false, true, false), 0);
    f = file.FileNum();
    EXPECT_FALSE(indexes().count("k1_2")) << "and opening the file again does not bring it back";
    xio_clr_record(f, 1);
    ASSERT_EQ(xio_rd_first(f, 1, 2, 0), 0);
    EXPECT_EQ(Number(id), 2) << "the walk by the key still follows its order";

    ASSERT_EQ(xc_activate_alt_key("TST", 2), 0);
    ASSERT_EQ(xio_update_keys(xio_key_chg_def("TST", nullptr, 2, 1)), 0);
    EXPECT_TRUE(indexes().count("k1_2"));
}

TEST_F(RecordManager, TwoOpensExcludeEachOtherLikeTwoUsers) {
    ASSERT_EQ(Add(1, "one", "A"), 0);
    kwioDataFile other;
    ASSERT_EQ(other.PromptedOpen("TST", 2, "", 0, false, true, false), 0);
    const short g = other.FileNum();

    ASSERT_EQ(xio_rd_record(f, 1, 0, 1), 0);
    ASSERT_EQ(xio_rd_record(f, 1, 0, 1), 0) << "the same file may read its own locked record with lock";
    x_value_def v;
    v.SetNumber(1);
    xio_put_field(g, 0, id, &v);
    EXPECT_EQ(xio_rd_record(g, 1, 0, 1), XIO_LOCKED);
    EXPECT_EQ(xio_rd_record(g, 1, 0, 0), 0) << "reading without lock is always allowed";
    xio_unlock_record(f, 1, 1);
    EXPECT_EQ(xio_rd_record(g, 1, 0, 1), 0);

    ASSERT_EQ(xio_rd_header(f, 1, 1), 0);
    EXPECT_EQ(xio_rd_header(g, 1, 1), XIO_LOCKED);
    EXPECT_EQ(xio_wr_header(g, 1), XIO_NOT_LOCKED);
    Put(lastId, 41);
    ASSERT_EQ(xio_wr_header(f, 1), 0);
    ASSERT_EQ(xio_rd_header(g, 1, 1), 0);
    x_value_def last;
    xio_get_field(g, 0, lastId, &last);
    EXPECT_EQ(last.AsNumber(), 41);
    xio_free_header(g, 1);

    kwioDataFile exclusive;
    EXPECT_EQ(exclusive.PromptedOpen("TST", 3, "", 0, false, true, true), XIO_LOCKED)
        << "an exclusive open waits for nobody and is refused while others have the file";
}

// Runs body in a child process that signals readiness through a pipe, then waits.
pid_t RunChild(const std::function<void()>& body, int* readyFd) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        body();
        const char ok = 1;
        if (write(fds[1], &ok, 1) != 1) _exit(3);
        pause();
        _exit(0);
    }
    close(fds[1]);
    *readyFd = fds[0];
    return pid;
}

TEST_F(RecordManager, LocksDieWithTheirProcess) {
    ASSERT_EQ(Add(7, "seven", "A"), 0);
    const std::string folder = company.Folder();
    int ready = -1;
    const pid_t child = RunChild(
        [&] {
            // Never closed: the child keeps both locks until it dies.
            static kwioDataFile mine;
            if (mine.PromptedOpen("TST", 5, "", 0, false, true, false) != 0) _exit(2);
            x_value_def v;
            v.SetNumber(7);
            xio_put_field(mine.FileNum(), 0, 1, &v);
            if (xio_rd_record(mine.FileNum(), 1, 0, 1) != 0) _exit(2);
            if (xio_rd_header(mine.FileNum(), 1, 1) != 0) _exit(2);
        },
        &ready);
    ASSERT_GT(child, 0);
    char flag = 0;
    ASSERT_EQ(read(ready, &flag, 1), 1) << "the child took its locks";
    close(ready);

    xio_clr_record(f, 1);
    Put(id, 7);
    EXPECT_EQ(xio_rd_record(f, 1, 0, 1), XIO_LOCKED);
    EXPECT_EQ(xio_rd_header(f, 1, 1), XIO_LOCKED);

    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(xio_rd_record(f, 1, 0, 1), 0) << "the record lock died with its holder";
    EXPECT_EQ(xio_rd_header(f, 1, 1), 0) << "the header lock died with its holder";
    xio_free_header(f, 1);
}

TEST_F(RecordManager, AWriterKilledMidWriteLosesNothingAcknowledged) {
    file.Close();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        kwioDataFile mine;
        if (mine.PromptedOpen("TST", 5, "", 0, false, true, false) != 0) _exit(2);
        const short g = mine.FileNum();
        for (int i = 1;; ++i) {
            xio_clr_record(g, 1);
            x_value_def v;
            v.SetNumber(i);
            xio_put_field(g, 0, 1, &v);
            v.SetText(std::string(8, static_cast<char>('a' + i % 26)));
            xio_put_field(g, 0, 2, &v);
            if (xio_wr_record(g, 1, 0) != 0) _exit(2);
            // Acknowledged: the write answered 0.
            if (write(fds[1], &i, sizeof(i)) != sizeof(i)) _exit(3);
        }
    }
    close(fds[1]);
    int acknowledged = 0, value = 0;
    while (acknowledged < 300 && read(fds[0], &value, sizeof(value)) == sizeof(value)) acknowledged = value;
    kill(child, SIGKILL);
    while (read(fds[0], &value, sizeof(value)) == sizeof(value)) acknowledged = value;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was killed, not finished";

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(company.Path("TEST.TST").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok");
    sqlite3_finalize(stmt);
    sqlite3_close(db);

    ASSERT_EQ(file.PromptedOpen("TST", 1, "", 0, false, true, false), 0);
    f = file.FileNum();
    for (int i = 1; i <= acknowledged; ++i) {
        xio_clr_record(f, 1);
        Put(id, i);
        ASSERT_EQ(xio_rd_record(f, 1, 0, 0), 0) << "acknowledged record " << i << " of " << acknowledged;
    }
}

TEST(RecordManagerFiles, DamagedAndMissingFilesAnswerClearly) {
    TestCompany company(false);
    WriteTestDictionary(company);
    kwioDataFile file;
    EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, true, false), XIO_ABSENT);
    EXPECT_EQ(file.FileNum(), 0);

    // Not quiet: asked whether to create it; No cancels.
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, false, false), XIO_CANCELLED);
    ASSERT_FALSE(xw_shown_messages().empty());
    EXPECT_NE(xw_shown_messages().back().text.find("does not exist"), std::string::npos);

    std::mt19937 random(7);
    std::ofstream out(company.Path("TEST.TST"), std::ios::binary);
    for (int i = 0; i < 8192; ++i) out.put(static_cast<char>(random()));
    out.close();
    EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, true, false), XIO_CORRUPT);
    xw_clear_shown_messages();
    EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, false, false), XIO_CORRUPT);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_NE(xw_shown_messages()[0].text.find("corrupt"), std::string::npos) << xw_shown_messages()[0].text;

    xio_open_def def{};
    std::snprintf(def.abbrev, sizeof(def.abbrev), "TST");
    std::snprintf(def.path, sizeof(def.path), "%s", company.Path("no/such/folder/TEST.TST").c_str());
    def.create = 1;
    short number = 0;
    EXPECT_EQ(xio_open_file(&def, &number), XIO_NO_DRIVE);
}

TEST(Dictionaries, MalformedDictionariesNameTheFileAndThePlace) {
    std::string error;
    EXPECT_FALSE(kwDictionaryLoader::Parse("{ \"file\": ", "bad.dct", &error));
    EXPECT_NE(error.find("bad.dct: not valid JSON"), std::string::npos) << error;

    const std::string longName = R"({"file":{"abbrev":"X"},"recordTypes":[{"number":1,"name":"R",
        "fields":[{"name":"OK","type":0},{"name":"TOOLONGNAME","type":0}],"keys":[{"number":0,"name":"K","fields":["OK"]}]}]})";
    EXPECT_FALSE(kwDictionaryLoader::Parse(longName, "x.dct", &error));
    EXPECT_NE(error.find("x.dct: recordTypes[0].fields[1]"), std::string::npos) << error;
    EXPECT_NE(error.find("longer than 7"), std::string::npos) << error;

    const std::string badKey = R"({"file":{"abbrev":"X"},"recordTypes":[{"number":1,"name":"R",
        "fields":[{"name":"A","type":0}],"keys":[{"number":0,"name":"K","fields":["B"]}]}]})";
    EXPECT_FALSE(kwDictionaryLoader::Parse(badKey, "x.dct", &error));
    EXPECT_NE(error.find("recordTypes[0].keys[0].fields[0]"), std::string::npos) << error;

    const std::string badType = R"({"file":{"abbrev":"X"},"recordTypes":[{"number":1,"name":"R",
        "fields":[{"name":"A","type":12}],"keys":[{"number":0,"name":"K","fields":["A"]}]}]})";
    EXPECT_FALSE(kwDictionaryLoader::Parse(badType, "x.dct", &error));
    EXPECT_NE(error.find("fields[0].type"), std::string::npos) << error;

    const std::string noKey = R"({"file":{"abbrev":"X"},"recordTypes":[{"number":1,"name":"R","fields":[{"name":"A","type":0}]}]})";
    EXPECT_FALSE(kwDictionaryLoader::Parse(noKey, "x.dct", &error));
    EXPECT_NE(error.find("no key 0"), std::string::npos) << error;

    EXPECT_FALSE(kwDictionaryLoader::Parse("[1,2]", "x.dct", &error));
    EXPECT_FALSE(kwDictionaryLoader::LoadFile("/nonexistent/z.dct", &error));
    EXPECT_NE(error.find("/nonexistent/z.dct"), std::string::npos);
}

} // namespace
