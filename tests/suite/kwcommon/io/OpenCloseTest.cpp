// Opening data files: no write when the file is current, data versions, the dictionary a
// file carries, leftovers of killed creators, folders the user may only read, and files
// on network shares.
#include "RecordManagerTestSupport.h"

#include "kwcommon/io/FileSystem.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using rmtest::AddItems;
using rmtest::WalkItems;
using rmtest::WriteTestDictionary;

// One SQL query's first column as text, through a connection of its own.
std::string Query(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            result = text ? text : "";
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

void Exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

short Open(kwioDataFile& file, bool create = false, const std::string& minimum = "", bool forUpgrade = false) {
    file.SetMinimumDataVersion(minimum);
    file.SetOpenForUpgrade(forUpgrade);
    return file.PromptedOpen("TST", 1, "", 0, create, true, false);
}

// Makes the TST file of the current company with count items and closes it.
void MakeFile(int count) {
    kwioDataFile file;
    ASSERT_EQ(Open(file, true), 0);
    ASSERT_EQ(AddItems(file.FileNum(), 1, count), 0);
}

pid_t DeadProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST(OpenClose, ACurrentFileOpensWithoutWritingAndAnOldOneIsBroughtUpToDate) {
    TestCompany company(false);
    WriteTestDictionary(company);
    MakeFile(12);
    const std::string path = company.Path("TEST.TST");

    // Another program holds SQLite's write lock: an open that wanted to write would wait
    // for it and answer 7; a current file needs none.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        kwioDataFile file;
        ASSERT_EQ(Open(file), 0) << "opened while another holds the write lock";
        short ending = 0;
        EXPECT_EQ(WalkItems(file.FileNum(), &ending), 12);
        EXPECT_EQ(ending, XIO_NO_RECORD);
    }
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);

    // A file made before files kept their counts and their dictionary gets both at its
    // next open for writing, in one transaction.
    Exec(path, "DROP TRIGGER kw_count_add_1; DROP TRIGGER kw_count_del_1; DROP TRIGGER kw_count_add_2;"
               "DROP TRIGGER kw_count_del_2; DROP TABLE kw_count; DELETE FROM kw_meta WHERE name = 'dictionary'");
    {
        kwioDataFile file;
        file.PromptedOpen("TST", 1, "", 1, false, true, false);
        int64_t count = 0;
        ASSERT_EQ(xio_count_records(file.FileNum(), 1, &count), 0) << "a reader counts a file that keeps no count";
        EXPECT_EQ(count, 12);
    }
    EXPECT_EQ(Query(path, "SELECT count(*) FROM sqlite_master WHERE name = 'kw_count'"), "0")
        << "opening for reading changed nothing";
    kwioDataFile file;
    ASSERT_EQ(Open(file), 0);
    EXPECT_EQ(Query(path, "SELECT records FROM kw_count WHERE type = 1"), "12");
    ASSERT_EQ(AddItems(file.FileNum(), 13, 1), 0);
    EXPECT_EQ(Query(path, "SELECT records FROM kw_count WHERE type = 1"), "13") << "and keeps it from then on";
    std::string stored;
    ASSERT_EQ(xio_get_file_dictionary(file.FileNum(), &stored), 0);
    EXPECT_NE(stored.find("\"TEST.TST\""), std::string::npos) << "the file carries the text of its dictionary";
}

TEST(OpenClose, DataVersionsAreComparedOnOpen) {
    TestCompany company(false);
    WriteTestDictionary(company, "2.1.0");
    MakeFile(1);

    xio_def def{};
    {
        kwioDataFile file;
        ASSERT_EQ(Open(file, false, "2.0.9"), 0);
        xio_get_def(file.FileNum(), &def, 0);
        EXPECT_STREQ(def.fileVersion, "2.1.0");
        std::string stored;
        ASSERT_EQ(xio_get_file_dictionary(file.FileNum(), &stored), 0);
        EXPECT_NE(stored.find("\"2.1.0\""), std::string::npos);
    }

    // The program's dictionary is older than the file: the file was made by a newer one.
    WriteTestDictionary(company, "2.0.0");
    kwioDataFile file;
    EXPECT_EQ(Open(file), XIO_VERSION);
    xw_clear_shown_messages();
    EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, false, false), XIO_VERSION);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_NE(xw_shown_messages()[0].text.find("newer"), std::string::npos) << xw_shown_messages()[0].text;

    // Data older than the program's minimum waits for the upgrade.
    WriteTestDictionary(company, "3.0.0");
    EXPECT_EQ(Open(file, false, "10.2.0"), XIO_NEEDS_UPGRADE) << "2.1.0 is older than 10.2.0, compared as numbers";
    xw_clear_shown_messages();
    EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, false, false), XIO_NEEDS_UPGRADE);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    const std::string message = xw_shown_messages()[0].text;
    EXPECT_NE(message.find("qvupgrade --data " + company.Folder()), std::string::npos) << message;
    EXPECT_NE(message.find("2.1.0"), std::string::npos) << message;
    EXPECT_EQ(Open(file, false, "10.2.0", true), 0) << "the upgrade host opens it";
    file.Close();
    EXPECT_EQ(Open(file, false, "2.1.0"), 0) << "data at the minimum is fine";
    std::string stored;
    ASSERT_EQ(xio_get_file_dictionary(file.FileNum(), &stored), 0);
    EXPECT_NE(stored.find("\"2.1.0\""), std::string::npos) << "the file keeps the dictionary it was made with";
}

TEST(OpenClose, LeftoversOfKilledCreatorsAreRemovedOnOpen) {
    TestCompany company(false);
    WriteTestDictionary(company);
    const std::string dead = std::to_string(DeadProcess());
    const std::string alive = std::to_string(getpid());
    const std::vector<std::string> gone = {"TEST.TST.new-" + dead, "TEST.TST.new-" + dead + "-journal",
                                           "TEST.TST.new-" + dead + "-wal", ".TEST.TST.tmp-" + dead + "-abcd1234",
                                           ".TEST.TST.tmp-" + dead + "-abcd1234-journal"};
    const std::vector<std::string> kept = {"TEST.TST.new-" + alive, "TEST.TST.newer", "TEST.TST.new-12x"};
    for (const auto& name : gone) std::ofstream(company.Path(name)) << "x";
    for (const auto& name : kept) std::ofstream(company.Path(name)) << "x";
    kwioDataFile file;
    ASSERT_EQ(Open(file, true), 0);
    for (const auto& name : gone) EXPECT_FALSE(fs::exists(company.Path(name))) << name;
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(company.Path(name))) << name << " belongs to a live process";
}

// Runs body as a user without rights to the company folder: "nobody" when the tests run as
// root (who may write anywhere), else this user with the folder and file made read only.
// Answers the body's result (0 when every expectation held).
int AsReader(const std::string& folder, const std::function<int()>& body) {
    if (geteuid() != 0) {
        fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        const int result = body();
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
        return result;
    }
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(90);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST(OpenClose, AFolderTheUserMayNotWriteIsReadNotWritten) {
    // A company in a folder everyone may read; its files belong to the one who made them.
    const std::string folder = TestCompany::MakeTempFolder("qvreadonly-");
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    std::string company;
    {
        TestCompany made(false);
        WriteTestDictionary(made);
        MakeFile(25);
        for (const auto& entry : fs::directory_iterator(made.Folder()))
            fs::copy(entry.path(), folder + "/" + entry.path().filename().string(), fs::copy_options::recursive);
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        fs::permissions(entry.path(), entry.is_directory() ? fs::perms::owner_all | fs::perms::group_read |
                                                                 fs::perms::group_exec | fs::perms::others_read |
                                                                 fs::perms::others_exec
                                                           : fs::perms::owner_read | fs::perms::owner_write |
                                                                 fs::perms::group_read | fs::perms::others_read);
    auto reader = [&folder](int expected) {
        return [&folder, expected]() -> int {
            std::string error;
            if (!kwCompany::Open(folder, &error)) return 10;
            kwDictionaryLoader::ClearCache();
            kwioDataFile file;
            // Asked for writing, as the program asks: it opens for reading.
            if (file.PromptedOpen("TST", 1, "", 0, false, true, false) != 0) return 11;
            const short f = file.FileNum();
            short ending = 0;
            if (WalkItems(f, &ending) != expected || ending != XIO_NO_RECORD) return 12;
            int64_t count = 0;
            if (xio_count_records(f, 1, &count) != 0 || count != expected) return 13;
            if (AddItems(f, 1000, 1) != XIO_READ_ONLY) return 14;
            if (xio_rd_header(f, 1, 1) != XIO_READ_ONLY) return 15;
            if (xio_rd_header(f, 1, 0) != 0) return 16;
            xio_clr_record(f, 1);
            rmtest::PutNumber(f, 1, 3);
            if (xio_rd_record(f, 1, 0, 1) != XIO_READ_ONLY) return 17;
            if (xio_rd_record(f, 1, 0, 0) != 0) return 18;
            return 0;
        };
    };
    // Nobody has it open: no write-ahead log beside it, and none can be made.
    EXPECT_EQ(AsReader(folder, reader(25)), 0);
    EXPECT_FALSE(fs::exists(folder + "/TEST.TST-wal")) << "the reader made nothing";

    // A writer has it open, with records still in its write-ahead log.
    std::string error;
    ASSERT_TRUE(kwCompany::Open(folder, &error)) << error;
    kwDictionaryLoader::ClearCache();
    {
        kwioDataFile writer;
        ASSERT_EQ(writer.PromptedOpen("TST", 1, "", 0, false, true, false), 0);
        ASSERT_EQ(AddItems(writer.FileNum(), 26, 5), 0);
        ASSERT_TRUE(fs::exists(folder + "/TEST.TST-wal"));
        EXPECT_EQ(AsReader(folder, reader(30)), 0) << "the reader sees what is in the log";
    }
    kwCompany::Close();
    fs::remove_all(folder);
}

namespace {
long g_fakeType = 0;
std::string g_fakeOptions;
bool FakeProbe(const std::string&, long* type, std::string* options) {
    *type = g_fakeType;
    *options = g_fakeOptions;
    return true;
}
struct FakeFileSystem {
    FakeFileSystem(long type, std::string options) {
        g_fakeType = type;
        g_fakeOptions = std::move(options);
        kwio::SetFileSystemProbe(FakeProbe);
    }
    ~FakeFileSystem() { kwio::SetFileSystemProbe(nullptr); }
};
} // namespace

TEST(OpenClose, NetworkSharesUseTheRollbackJournalWithTheSameLocks) {
    EXPECT_TRUE(kwio::DescribeFileSystem(kwio::kNfsMagic, "rw,vers=4.2,hard").network);
    EXPECT_TRUE(kwio::DescribeFileSystem(kwio::kNfsMagic, "rw,vers=4.2").sharedLocks);
    EXPECT_FALSE(kwio::DescribeFileSystem(kwio::kNfsMagic, "rw,nolock,vers=3").sharedLocks);
    EXPECT_FALSE(kwio::DescribeFileSystem(kwio::kNfsMagic, "rw,local_lock=all").sharedLocks);
    EXPECT_TRUE(kwio::DescribeFileSystem(kwio::kCifsMagic, "rw,vers=3.0").sharedLocks);
    EXPECT_FALSE(kwio::DescribeFileSystem(kwio::kSmb2Magic, "rw,nobrl").sharedLocks);
    EXPECT_FALSE(kwio::DescribeFileSystem(0xEF53, "rw,relatime").network) << "ext4 is local";
    EXPECT_FALSE(kwio::FileSystemOf("/tmp").network) << "this machine's own disk";

    TestCompany company(false);
    WriteTestDictionary(company);
    const std::string path = company.Path("TEST.TST");
    {
        FakeFileSystem nfs(kwio::kNfsMagic, "rw,vers=4.2");
        kwioDataFile file;
        ASSERT_EQ(Open(file, true), 0);
        EXPECT_EQ(Query(path, "PRAGMA journal_mode"), "delete") << "a file made on a share has no write-ahead log";
        ASSERT_EQ(AddItems(file.FileNum(), 1, 3), 0);
        kwioDataFile other;
        ASSERT_EQ(Open(other), 0);
        xio_clr_record(file.FileNum(), 1);
        rmtest::PutNumber(file.FileNum(), 1, 2);
        ASSERT_EQ(xio_rd_record(file.FileNum(), 1, 0, 1), 0);
        xio_clr_record(other.FileNum(), 1);
        rmtest::PutNumber(other.FileNum(), 1, 2);
        EXPECT_EQ(xio_rd_record(other.FileNum(), 1, 0, 1), XIO_LOCKED) << "record locks work as on a local disk";
        EXPECT_EQ(xio_rd_record(other.FileNum(), 1, 0, 0), 0);
    }
    fs::remove(path);
    MakeFile(2);
    EXPECT_EQ(Query(path, "PRAGMA journal_mode"), "wal") << "made on the local disk";
    {
        FakeFileSystem smb(kwio::kCifsMagic, "rw,vers=3.1.1");
        // Someone else has it open: the journal cannot change under them.
        sqlite3* holder = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &holder), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(holder, "SELECT count(*) FROM r1", nullptr, nullptr, nullptr), SQLITE_OK);
        kwioDataFile file;
        xw_clear_shown_messages();
        xw_script_answers({XW_ANSWER_CANCEL});
        EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, false, false), XIO_CANCELLED);
        ASSERT_EQ(xw_shown_messages().size(), 1u) << "offered Retry";
        sqlite3_close(holder);
        ASSERT_EQ(Open(file), 0);
        EXPECT_EQ(Query(path, "PRAGMA journal_mode"), "delete") << "moved to a share, it changes journal once";
        short ending = 0;
        EXPECT_EQ(WalkItems(file.FileNum(), &ending), 2);
    }
    {
        FakeFileSystem unlocked(kwio::kNfsMagic, "rw,vers=3,nolock");
        kwioDataFile file;
        EXPECT_EQ(Open(file), XIO_NO_LOCKS);
        xw_clear_shown_messages();
        EXPECT_EQ(file.PromptedOpen("TST", 1, "", 0, false, false, false), XIO_NO_LOCKS);
        ASSERT_EQ(xw_shown_messages().size(), 1u);
        EXPECT_NE(xw_shown_messages()[0].text.find("nolock"), std::string::npos) << xw_shown_messages()[0].text;
    }
}
