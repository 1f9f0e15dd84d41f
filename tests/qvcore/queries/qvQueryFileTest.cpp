// The query file: layout byte for byte, in-place changes, locking between processes, and
// the faults that end the program or are refused.
#include "QueryFileTestUtil.h"
#include "TestCompany.h"

#include "kwcommon/x_message.h"
#include "qvcore/queries/qvQueryFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace qftest;

namespace {

struct Stored {
    std::string name;
    int16_t order = 0;
    std::vector<int> markers; // field numbers of the conditions, in stored order
};

// Reads one query back through the reader's calls.
bool ReadBack(query_file_info* info, const std::string& name, Stored* out) {
    query_def query;
    std::memset(&query, 0, sizeof(query));
    if (_qfi_read_query(info, name.c_str(), &query, nullptr, 1) == 0) return false;
    out->name = query.name;
    out->order = query.order;
    out->markers.clear();
    for (int i = 0; i < query.condCount; ++i) {
        out->markers.push_back(query.conditions[i].field);
        if (query.conditions[i].number1 != query.conditions[i].field * 1.5)
            out->markers.back() = -1;
    }
    _qfi_free_query_cond(&query);
    return true;
}

std::vector<int> Range(int first, int count) {
    std::vector<int> v;
    for (int i = 0; i < count; ++i)
        v.push_back(first + i);
    return v;
}

// Checks the structure of the file on disk: header, sorted directory, records that fill
// the space after the directory exactly, names repeated in the records, length = size.
std::string Inconsistency(const std::string& path) {
    const Bytes b = ReadBytes(path);
    if (b.size() < 16) return "shorter than a header";
    const int count = Get16(b, 6);
    if (Get32(b, 8) != 16 + 39 * count) return "first-record offset is wrong";
    if (Get32(b, 12) != static_cast<int32_t>(b.size()))
        return "header length differs from file size";
    std::vector<std::pair<int32_t, int32_t>> spans;
    std::string previous;
    for (int i = 0; i < count; ++i) {
        const size_t at = 16 + 39 * i;
        const std::string name = GetText(b, at, 31);
        if (i > 0 && qvQueryNameCompare(previous.c_str(), name.c_str()) >= 0)
            return "directory not sorted at " + name;
        previous = name;
        const int32_t offset = Get32(b, at + 31), length = Get32(b, at + 35);
        if (offset < 0 || offset + length > static_cast<int32_t>(b.size()))
            return "entry outside file: " + name;
        if (GetText(b, offset, 31) != name) return "record name differs: " + name;
        if (43 + 210 * Get16(b, offset + 37) != length) return "record length differs: " + name;
        spans.emplace_back(offset, length);
    }
    std::sort(spans.begin(), spans.end());
    int32_t expected = 16 + 39 * count;
    for (const auto& [offset, length] : spans) {
        if (offset != expected) return "records not contiguous";
        expected += length;
    }
    if (expected != static_cast<int32_t>(b.size())) return "records do not end the file";
    return "";
}

class QueryFile : public ::testing::Test {
protected:
    void SetUp() override {
        InitInfo(&info);
        path = info.fileName;
        qvQueryFileSetLockTiming(10, 1000);
    }
    void TearDown() override {
        _qfi_unlock(&info);
        qvQueryFileSetLockTiming(10, 1000);
        xw_set_wait_hook(nullptr);
    }

    Bytes EmptyHeader() {
        Bytes b;
        PutText(b, "1.0.0", 6);
        Put16(b, 0);
        Put32(b, 16);
        Put32(b, 16);
        return b;
    }

    TestCompany company{false};
    query_file_info info;
    std::string path;
};

} // namespace

TEST_F(QueryFile, OpeningMissingFile) {
    EXPECT_EQ(path, company.Folder() + "/misc/qvquery.dat")
        << "the file lives in the miscellaneous folder";

    EXPECT_EQ(_qfi_lock(&info, 1, 3), 0) << "option 3 fails on a missing file";
    EXPECT_EQ(info.handle, -1);
    EXPECT_TRUE(xw_shown_messages().empty()) << "option 3 fails silently";
    EXPECT_FALSE(fs::exists(path)) << "option 3 creates nothing";

    EXPECT_EQ(_qfi_lock(&info, 0, 1), 0) << "option 1 fails on a missing file";
    ASSERT_EQ(xw_shown_messages().size(), 1u) << "option 1 reports the failure";
    EXPECT_NE(xw_shown_messages()[0].text.find("qvquery.dat"), std::string::npos);
    EXPECT_FALSE(fs::exists(path));

    ASSERT_EQ(_qfi_lock(&info, 1, 2), 1) << "option 2 creates the missing file, also for a reader";
    EXPECT_EQ(info.header.count, 0);
    EXPECT_EQ(info.header.first, 16);
    EXPECT_EQ(info.header.length, 16);
    _qfi_unlock(&info);
    EXPECT_EQ(info.handle, -1);
    EXPECT_EQ(ReadBytes(path), EmptyHeader()) << "a new file is exactly the 16-byte header";
    for (const auto& entry : fs::directory_iterator(company.Folder() + "/misc")) {
        EXPECT_EQ(entry.path().filename(), "qvquery.dat") << "no temporary file is left behind";
    }

    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1) << "option 2 opens an existing file as it is";
    _qfi_unlock(&info);
    EXPECT_EQ(ReadBytes(path), EmptyHeader());
}

TEST_F(QueryFile, VersionCompatibility) {
    auto withVersion = [&](const char* version) {
        Bytes b = EmptyHeader();
        std::memset(b.data(), 0, 6);
        std::memcpy(b.data(), version, std::strlen(version));
        WriteBytes(path, b);
        xw_clear_shown_messages();
        return _qfi_lock(&info, 1, 3);
    };
    EXPECT_EQ(withVersion("1.0.7"), 1) << "the third number is not checked";
    _qfi_unlock(&info);
    EXPECT_EQ(withVersion("1.0.0"), 1);
    _qfi_unlock(&info);
    for (const char* bad : {"1.1.0", "2.0.0", "0.0.0"}) {
        EXPECT_EQ(withVersion(bad), 0) << bad << " is refused";
        EXPECT_EQ(info.handle, -1) << bad << ": the file is closed";
        ASSERT_EQ(xw_shown_messages().size(), 1u) << bad;
        EXPECT_EQ(xw_shown_messages()[0].text, "Incompatible query file.");
        EXPECT_EQ(xw_shown_messages()[0].type, XW_INCOMPATIBLE);
    }
    // The refused open released its lock: a writer gets it at once.
    qvQueryFileSetLockTiming(1, 0);
    Bytes b = EmptyHeader();
    WriteBytes(path, b);
    EXPECT_EQ(_qfi_lock(&info, 0, 3), 1) << "no lock is left behind by a refused open";
}

TEST_F(QueryFile, AddToEmptyFileIsByteExact) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    xc_cond_def condition = MarkedCondition(7);
    std::memset(&info.query, 0, sizeof(info.query));
    std::strcpy(info.query.name, "Open issues");
    info.query.order = 2;
    std::memcpy(info.query.version, "1.3", 4);
    info.query.condCount = 1;
    std::memset(info.query.diskPointer, 0xEE, 4); // whatever is there, zero goes to disk
    info.query.conditions = &condition;
    int32_t length = 0;
    _qfi_get_query_size(&info.query, &length);
    ASSERT_EQ(length, 253);
    ASSERT_EQ(_qfi_create_this_query(&info, length), 1);
    _qfi_unlock(&info);

    Bytes expected;
    // Header: version, count 1, first record at 16 + 39, length 55 + 43 + 210.
    const unsigned char header[] = {'1',  '.',  '0',  '.',  '0',  0,    0x01, 0x00,
                                    0x37, 0x00, 0x00, 0x00, 0x34, 0x01, 0x00, 0x00};
    expected.insert(expected.end(), std::begin(header), std::end(header));
    // Directory entry at 16: name in 31 bytes, offset 55, length 253.
    PutText(expected, "Open issues", 31);
    const unsigned char entry[] = {0x37, 0x00, 0x00, 0x00, 0xFD, 0x00, 0x00, 0x00};
    expected.insert(expected.end(), std::begin(entry), std::end(entry));
    // Query header at 55: name, order 2, "1.3", one condition, four zero bytes.
    PutText(expected, "Open issues", 31);
    const unsigned char query[] = {0x02, 0x00, '1', '.', '3', 0, 0x01, 0x00, 0, 0, 0, 0};
    expected.insert(expected.end(), std::begin(query), std::end(query));
    // The condition as the data library laid it out: field 7, comparison 1, connector 0,
    // type 0, record type 0, empty name, "value 7", 10.5, empty second value, reserved.
    const unsigned char cond[] = {0x07, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0};
    expected.insert(expected.end(), std::begin(cond), std::end(cond));
    PutText(expected, "", 8);
    PutText(expected, "value 7", 82);
    const unsigned char tenAndAHalf[] = {0, 0, 0, 0, 0, 0, 0x25, 0x40};
    expected.insert(expected.end(), std::begin(tenAndAHalf), std::end(tenAndAHalf));
    PutText(expected, "", 82 + 8 + 12);

    ASSERT_EQ(expected.size(), 308u);
    EXPECT_EQ(ReadBytes(path), expected) << "header, entry and record laid out as the format says";
}

TEST_F(QueryFile, DirectoryStaysSortedRecordsInCreationOrder) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    const std::vector<std::string> created = {"beta", "Alpha", "ABC", "A_B", "zeta", "Mid"};
    for (size_t i = 0; i < created.size(); ++i) {
        ASSERT_EQ(
            SaveQuery(&info, created[i], static_cast<int16_t>(i), static_cast<int>(i), 100 * i + 1),
            1);
        ASSERT_EQ(Inconsistency(path), "") << "after adding " << created[i];
    }
    query_dir_def* directory = nullptr;
    _qfi_read_dir(&info, &directory);
    ASSERT_NE(directory, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < info.header.count; ++i)
        names.push_back(directory[i].name);
    // "_" sorts before letters because letters fold to lower case, as _stricmp does.
    EXPECT_EQ(names, (std::vector<std::string>{"A_B", "ABC", "Alpha", "beta", "Mid", "zeta"}));
    std::vector<std::pair<int32_t, std::string>> byOffset;
    for (int i = 0; i < info.header.count; ++i)
        byOffset.emplace_back(directory[i].offset, directory[i].name);
    _qfi_free(directory);
    std::sort(byOffset.begin(), byOffset.end());
    std::vector<std::string> recordOrder;
    for (const auto& item : byOffset)
        recordOrder.push_back(item.second);
    EXPECT_EQ(recordOrder, created) << "records stay in the order they were created";

    for (size_t i = 0; i < created.size(); ++i) {
        Stored q;
        std::string asked = created[i];
        for (char& c : asked)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ASSERT_TRUE(ReadBack(&info, asked, &q)) << "names are found whatever their case: " << asked;
        EXPECT_EQ(q.name, created[i]);
        EXPECT_EQ(q.order, static_cast<int16_t>(i));
        EXPECT_EQ(q.markers, Range(100 * i + 1, i)) << created[i];
    }
    Stored none;
    EXPECT_FALSE(ReadBack(&info, "gamma", &none));
    EXPECT_EQ(_qfi_read_query(&info, "Mid", nullptr, nullptr, 0), 5) << "the index is 1-based";
}

TEST_F(QueryFile, RewriteGrowsAndShrinks) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    // Big enough that moving the tail takes more than one 65000-byte chunk.
    ASSERT_EQ(SaveQuery(&info, "first", 1, 300, 1000), 1);
    ASSERT_EQ(SaveQuery(&info, "second", 2, 300, 2000), 1);
    ASSERT_EQ(SaveQuery(&info, "third", 3, 2, 3000), 1);
    const auto sizeBefore = fs::file_size(path);

    ASSERT_EQ(SaveQuery(&info, "FIRST", 4, 312, 5000), 1) << "more conditions";
    EXPECT_EQ(Inconsistency(path), "");
    EXPECT_EQ(fs::file_size(path), sizeBefore + 12 * 210) << "later records moved up";
    Stored q;
    ASSERT_TRUE(ReadBack(&info, "first", &q));
    EXPECT_EQ(q.name, "FIRST") << "a change of letter case is stored";
    EXPECT_EQ(q.order, 4);
    EXPECT_EQ(q.markers, Range(5000, 312));
    ASSERT_TRUE(ReadBack(&info, "second", &q));
    EXPECT_EQ(q.markers, Range(2000, 300)) << "a moved record reads whole";
    ASSERT_TRUE(ReadBack(&info, "third", &q));
    EXPECT_EQ(q.markers, Range(3000, 2));

    ASSERT_EQ(SaveQuery(&info, "first", 5, 0, 0), 1) << "no conditions";
    EXPECT_EQ(Inconsistency(path), "");
    EXPECT_EQ(fs::file_size(path), sizeBefore - 300 * 210)
        << "later records moved down, file truncated";
    ASSERT_TRUE(ReadBack(&info, "second", &q));
    EXPECT_EQ(q.markers, Range(2000, 300));
    ASSERT_TRUE(ReadBack(&info, "first", &q));
    EXPECT_TRUE(q.markers.empty());
    EXPECT_EQ(q.order, 5);

    ASSERT_EQ(SaveQuery(&info, "third", 6, 5, 7000), 1) << "the last record grows in place";
    ASSERT_EQ(SaveQuery(&info, "second", 7, 300, 8000), 1) << "same length: rewritten in place";
    EXPECT_EQ(Inconsistency(path), "");
    ASSERT_TRUE(ReadBack(&info, "third", &q));
    EXPECT_EQ(q.markers, Range(7000, 5));
    ASSERT_TRUE(ReadBack(&info, "second", &q));
    EXPECT_EQ(q.markers, Range(8000, 300));
    EXPECT_EQ(q.order, 7);

    ASSERT_EQ(SaveQuery(&info, "fourth", 0, 1, 9000), 1) << "rewriting an absent name adds it";
    EXPECT_EQ(info.header.count, 4);
    EXPECT_EQ(Inconsistency(path), "");
}

TEST_F(QueryFile, DeleteQueries) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    for (const char* name : {"one", "two", "three"})
        ASSERT_EQ(SaveQuery(&info, name, 1, 3, name[1] * 10), 1);

    query_dir_def entry;
    short index = _qfi_read_query(&info, "three", nullptr, &entry, 0);
    ASSERT_EQ(index, 2);
    ASSERT_EQ(_qfi_delete_query(&info, &entry, index - 1), 1);
    EXPECT_EQ(Inconsistency(path), "");
    EXPECT_EQ(info.header.count, 2);
    Stored q;
    EXPECT_FALSE(ReadBack(&info, "three", &q));
    ASSERT_TRUE(ReadBack(&info, "one", &q));
    EXPECT_EQ(q.markers, Range('n' * 10, 3));
    ASSERT_TRUE(ReadBack(&info, "two", &q));
    EXPECT_EQ(q.markers, Range('w' * 10, 3));

    for (const char* name : {"two", "one"}) {
        index = _qfi_read_query(&info, name, nullptr, &entry, 0);
        ASSERT_GT(index, 0);
        ASSERT_EQ(_qfi_delete_query(&info, &entry, index - 1), 1);
        EXPECT_EQ(Inconsistency(path), "");
    }
    _qfi_unlock(&info);
    EXPECT_EQ(ReadBytes(path), EmptyHeader()) << "deleting the only query leaves the bare header";
}

TEST_F(QueryFile, OldRecordVersionReadsZeroConditions) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    ASSERT_EQ(SaveQuery(&info, "old", 3, 2, 40), 1);
    _qfi_unlock(&info);
    Bytes b = ReadBytes(path);
    std::memcpy(&b[55 + 33], "1.2", 4); // the record's version
    b[55 + 39] = 0xAA;                  // any value in the unused four bytes
    WriteBytes(path, b);

    ASSERT_EQ(_qfi_lock(&info, 1, 3), 1);
    query_def query;
    std::memset(&query, 0, sizeof(query));
    ASSERT_EQ(_qfi_read_query(&info, "old", &query, nullptr, 1), 1);
    ASSERT_EQ(query.condCount, 2);
    ASSERT_NE(query.conditions, nullptr);
    xc_cond_def zero;
    std::memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(std::memcmp(&query.conditions[0], &zero, sizeof(zero)), 0)
        << "conditions stay zero-filled";
    EXPECT_EQ(std::memcmp(&query.conditions[1], &zero, sizeof(zero)), 0);
    EXPECT_EQ(query.diskPointer[0], 0) << "the unused bytes are not taken over";
    EXPECT_EQ(query.order, 3);
    _qfi_free_query_cond(&query);
    EXPECT_EQ(query.conditions, nullptr);
    EXPECT_EQ(query.condCount, 0);

    std::memset(&query, 0, sizeof(query));
    ASSERT_EQ(_qfi_read_query(&info, "old", &query, nullptr, 0), 1);
    EXPECT_EQ(query.conditions, nullptr) << "without the flag nothing is allocated";
    EXPECT_EQ(query.condCount, 2);
}

// More queries or conditions than 16-bit sizes can carry are refused before a byte moves.
TEST_F(QueryFile, LimitsRefusedBeforeWriting) {
    // A full directory of 1680 empty queries, made directly.
    Bytes b;
    PutText(b, "1.0.0", 6);
    Put16(b, QFI_MAX_QUERIES);
    const int32_t first = 16 + 39 * QFI_MAX_QUERIES;
    Put32(b, first);
    Put32(b, first + 43 * QFI_MAX_QUERIES);
    for (int i = 0; i < QFI_MAX_QUERIES; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "Q%04d", i);
        PutText(b, name, 31);
        Put32(b, first + 43 * i);
        Put32(b, 43);
    }
    for (int i = 0; i < QFI_MAX_QUERIES; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "Q%04d", i);
        PutText(b, name, 31);
        Put16(b, 0);
        PutText(b, "1.3", 4);
        Put16(b, 0);
        Put32(b, 0);
    }
    WriteBytes(path, b);

    ASSERT_EQ(_qfi_lock(&info, 0, 1), 1);
    EXPECT_EQ(SaveQuery(&info, "one too many", 0, 0), 0) << "the 1681st query is refused";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "The query file cannot hold more than 1680 queries.");
    EXPECT_EQ(ReadBytes(path), b) << "nothing was written";
    Stored q;
    ASSERT_TRUE(ReadBack(&info, "Q1679", &q)) << "a full directory still reads";

    xw_clear_shown_messages();
    EXPECT_EQ(SaveQuery(&info, "Q0005", 0, 313), 0) << "313 conditions are refused";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "A query cannot hold more than 312 conditions.");
    EXPECT_EQ(ReadBytes(path), b) << "nothing was written";
    EXPECT_EQ(SaveQuery(&info, "Q0005", 0, 312), 1) << "312 conditions fit";
    EXPECT_EQ(Inconsistency(path), "");
}

// The size change after a shift can fail (here: a file-size limit); the writer must then
// answer failure, and a grow that failed must not have changed the file.
TEST_F(QueryFile, FailedResizeIsNotSuccess) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    ASSERT_EQ(SaveQuery(&info, "last", 0, 1), 1);
    _qfi_unlock(&info);
    Bytes before = ReadBytes(path);

    auto underLimit = [&](auto work) {
        EXPECT_EXIT(
            {
                std::signal(SIGXFSZ, SIG_IGN);
                struct rlimit limit {};
                limit.rlim_cur = limit.rlim_max = before.size();
                setrlimit(RLIMIT_FSIZE, &limit);
                xw_clear_shown_messages();
                if (_qfi_lock(&info, 0, 1) != 1) _exit(3);
                const short result = work();
                _qfi_unlock(&info);
                const bool reported = !xw_shown_messages().empty();
                _exit(result == 0 && reported ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    };
    // Rewriting the last record larger only has to extend the file, which fails.
    underLimit([&] { return SaveQuery(&info, "last", 0, 3); });
    EXPECT_EQ(ReadBytes(path), before) << "the failed grow changed nothing";

    // The first query of an empty file likewise only extends it.
    before = EmptyHeader();
    WriteBytes(path, before);
    underLimit([&] { return SaveQuery(&info, "first", 0, 0); });
    EXPECT_EQ(ReadBytes(path), before) << "the failed add changed nothing";
}

// Another process holding byte 0 until it is released or killed.
class Holder {
public:
    explicit Holder(short mode) {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        EXPECT_EQ(pipe(_release), 0);
        _pid = fork();
        if (_pid == 0) {
            alarm(20); // never outlive a test that went wrong
            query_file_info held;
            InitInfo(&held);
            char c = _qfi_lock(&held, mode, 3) ? 'L' : 'F';
            (void)!write(ready[1], &c, 1);
            (void)!read(_release[0], &c, 1);
            _qfi_unlock(&held);
            pause();
        }
        char c = 0;
        EXPECT_EQ(read(ready[0], &c, 1), 1);
        EXPECT_EQ(c, 'L') << "the holder has the lock";
        close(ready[0]);
        close(ready[1]);
    }
    ~Holder() {
        Kill();
        close(_release[0]);
        close(_release[1]);
    }
    void Release() { (void)!write(_release[1], "U", 1); }
    void Kill() {
        if (_pid <= 0) return;
        kill(_pid, SIGKILL);
        waitpid(_pid, nullptr, 0);
        _pid = 0;
    }

private:
    pid_t _pid = 0;
    int _release[2] = {-1, -1};
};

TEST_F(QueryFile, WaitIndicatorAndRetryQuestion) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    _qfi_unlock(&info);
    {
        Holder writer(0);
        qvQueryFileSetLockTiming(2, 20);
        int waitOn = 0, waitOff = 0;
        xw_set_wait_hook([&](bool on, const std::string& text) {
            EXPECT_EQ(text, "") << "the wait indicator has no text";
            if (!on) return void(++waitOff);
            if (++waitOn == 3) { // the other workstation lets go during the third attempt
                writer.Release();
                qvQueryFileSetLockTiming(100, 20);
            }
        });
        xw_script_answers({XW_ANSWER_RETRY, XW_ANSWER_RETRY, XW_ANSWER_CANCEL});
        EXPECT_EQ(_qfi_lock(&info, 1, 3), 1) << "the reader gets the lock after retrying";
        _qfi_unlock(&info);
        EXPECT_EQ(waitOn, 3);
        EXPECT_EQ(waitOn, waitOff) << "the wait indicator is removed";
        ASSERT_EQ(xw_shown_messages().size(), 2u) << "one question per failed attempt";
        for (const auto& message : xw_shown_messages()) {
            EXPECT_EQ(message.type, XW_RETRY);
            EXPECT_EQ(message.text, "Unable to lock " + path + ".");
        }
    }
    Holder reader(1);
    qvQueryFileSetLockTiming(2, 10);
    xw_set_wait_hook(nullptr);
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_CANCEL});
    EXPECT_EQ(_qfi_lock(&info, 0, 1), 0) << "a writer is kept out by a reader; Cancel gives up";
    EXPECT_EQ(info.handle, -1) << "and the file is closed";
    EXPECT_EQ(xw_shown_messages().size(), 1u);
}

// The second process waits while the first holds byte 0, and gets it when the first
// unlocks or dies.
TEST_F(QueryFile, SecondProcessWaitsForHolder) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    _qfi_unlock(&info);
    for (const bool killHolder : {false, true}) {
        Holder holder(0);
        const pid_t waiter = fork();
        if (waiter == 0) {
            alarm(20);
            qvQueryFileSetLockTiming(100, 50);
            query_file_info mine;
            InitInfo(&mine);
            const auto start = std::chrono::steady_clock::now();
            const short locked = _qfi_lock(&mine, 0, 3);
            const auto waited = std::chrono::steady_clock::now() - start;
            _exit(locked == 1 && xw_shown_messages().empty() &&
                          waited >= std::chrono::milliseconds(400)
                      ? 0
                      : 1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (killHolder)
            holder.Kill();
        else
            holder.Release();
        int status = 0;
        ASSERT_EQ(waitpid(waiter, &status, 0), waiter);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << (killHolder ? "the lock dies with its holder"
                           : "the waiter gets the lock once it is released")
            << ", and not before";
    }
}

using QueryFileDeathTest = QueryFile;

TEST_F(QueryFileDeathTest, FatalFaults) {
    EXPECT_EXIT(_qfi_lock(&info, 2, 3), ::testing::ExitedWithCode(70), "Invalid open mode");
    EXPECT_EXIT(_qfi_lock(&info, 0, 4), ::testing::ExitedWithCode(70), "Invalid error option");
    EXPECT_EXIT(_qfi_lock(&info, 0, 0), ::testing::ExitedWithCode(70), "qvquery.dat")
        << "option 0 ends the program when the file cannot be opened";

    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    ASSERT_EQ(SaveQuery(&info, "alpha", 0, 2), 1);
    ASSERT_EQ(SaveQuery(&info, "beta", 0, 1), 1);
    _qfi_unlock(&info);
    const Bytes good = ReadBytes(path);

    WriteBytes(path, good);
    ASSERT_EQ(_qfi_lock(&info, 0, 1), 1);
    query_dir_def entry;
    ASSERT_EQ(_qfi_read_query(&info, "beta", nullptr, &entry, 0), 2);
    EXPECT_EXIT(_qfi_delete_query(&info, &entry, 0), ::testing::ExitedWithCode(70),
                "Invalid query index")
        << "deleting at a place that holds another entry";
    EXPECT_EXIT(_qfi_create_this_query(&info, 99), ::testing::ExitedWithCode(70),
                "Invalid query length");
    _qfi_unlock(&info);
    EXPECT_EQ(ReadBytes(path), good);
}

// A damaged file never ends a program that reads it: a reader is told once and answers
// nothing, a writer is refused every time and writes nothing, and the file stays as it was.
TEST_F(QueryFile, DamagedFileIsReportedNotFatal) {
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    ASSERT_EQ(SaveQuery(&info, "alpha", 0, 2), 1);
    ASSERT_EQ(SaveQuery(&info, "beta", 0, 1), 1);
    _qfi_unlock(&info);
    const Bytes good = ReadBytes(path);
    const std::string report = "The query file " + path + " is damaged; run qvadmin query check.";
    const size_t betaRecord = static_cast<size_t>(Get32(good, 16 + 39 + 31));

    // Damage to the header or directory is found when the file is opened; damage inside a
    // record when the record is read (and harms no writer: records are moved by the
    // directory's lengths).
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> damage = {
        {"entry offset past the end", [](Bytes& b) { b[16 + 31 + 1] = 0x7F; }},
        {"entry length past the end", [](Bytes& b) { b[16 + 35] = 0xFF, b[16 + 36] = 0x7F; }},
        {"name without its zero", [](Bytes& b) { std::memset(&b[16], 'x', 31); }},
        {"negative count", [](Bytes& b) { b[6] = 0xFF, b[7] = 0xFF; }},
        {"file cut short", [](Bytes& b) { b.resize(b.size() - 100); }},
        {"header cut short", [](Bytes& b) { b.resize(3); }},
        {"two records overlap", [](Bytes& b) { b[16 + 39 + 31] = b[16 + 31], b[16 + 39 + 32] = b[16 + 32]; }},
        {"record counts more conditions than it holds", [&](Bytes& b) { b[betaRecord + 37] = 9; }},
    };
    for (const auto& [what, harm] : damage) {
        Bytes b = good;
        harm(b);
        WriteBytes(path, b);
        xw_clear_shown_messages();
        for (int reading = 0; reading < 2; ++reading) {
            Stored q;
            const bool opened = _qfi_lock(&info, 1, 3) == 1;
            const bool both = opened && ReadBack(&info, "alpha", &q) && ReadBack(&info, "beta", &q);
            EXPECT_FALSE(both) << what << ": a damaged file answers no query";
            EXPECT_EQ(info.damaged, 1) << what;
            _qfi_unlock(&info);
        }
        ASSERT_EQ(xw_shown_messages().size(), 1u) << what << ": the reader reports the damage once";
        EXPECT_EQ(xw_shown_messages()[0].text, report) << what;
        EXPECT_EQ(xw_shown_messages()[0].type, XW_ERROR) << what;

        xw_clear_shown_messages();
        if (std::string(what).rfind("record ", 0) != 0) {
            EXPECT_EQ(_qfi_lock(&info, 0, 1), 0) << what << ": a writer is refused";
            EXPECT_EQ(info.handle, -1) << what;
            EXPECT_EQ(xw_shown_messages().size(), 1u) << what << ": and told every time";
        }
        EXPECT_EQ(ReadBytes(path), b) << what << ": nothing is written";
    }
    WriteBytes(path, good);
    ASSERT_EQ(_qfi_lock(&info, 1, 3), 1) << "the sound file opens again";
    _qfi_unlock(&info);

}

// Two workstations creating the file at once: the second one's query is added between the
// first one's creation and its lock, and the first one still sees it.
TEST_F(QueryFile, CreationReadsTheHeaderUnderTheLock) {
    bool added = false;
    xw_set_wait_hook([&](bool on, const std::string&) {
        if (!on || added) return;
        added = true;
        query_file_info other;
        InitInfo(&other);
        ASSERT_EQ(_qfi_lock(&other, 0, 1), 1) << "the file exists once it is created";
        ASSERT_EQ(SaveQuery(&other, "theirs", 0, 1), 1);
        _qfi_unlock(&other);
    });
    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    EXPECT_TRUE(added);
    EXPECT_EQ(info.header.count, 1) << "the header is read from the file after the lock";
    ASSERT_EQ(SaveQuery(&info, "ours", 0, 2), 1);
    Stored q;
    EXPECT_TRUE(ReadBack(&info, "theirs", &q));
    EXPECT_TRUE(ReadBack(&info, "ours", &q));
    _qfi_unlock(&info);
    EXPECT_EQ(Inconsistency(path), "");
}
