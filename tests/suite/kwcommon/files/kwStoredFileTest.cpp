// Stored files are placed whole or not at all; leftovers of dead writers go; locks
// exclude other descriptors and vanish with their holder.
#include "TestFiles.h"

#include "kwcommon/kwStoredFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string NewFolder() {
    std::string pattern = (fs::temp_directory_path() / "kwstored.XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

pid_t DeadProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST(kwStoredFile, WritesReplaceWholeOrKeepTheFirstAndLeaveNothingBeside) {
    const std::string folder = NewFolder();
    const std::string path = folder + "/settings.json";
    std::string error;
    ASSERT_TRUE(kwStoredFile::Write(path, "one", &error)) << error;
    ASSERT_TRUE(kwStoredFile::Write(path, "two", &error)) << error;
    EXPECT_EQ(ReadAll(path), "two");
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0644u) << "the final mode, not the private mode of the temporary file";

    EXPECT_FALSE(kwStoredFile::Write(path, "three", &error, 0644, kwStoredFile::Place::NoReplace));
    EXPECT_EQ(ReadAll(path), "two") << "NoReplace never overwrites";
    EXPECT_EQ(EntriesIn(folder), 1u) << "no temporary file stays behind";

    EXPECT_FALSE(kwStoredFile::Write(folder + "/missing/x.json", "x", &error));
    EXPECT_NE(error.find("missing/x.json"), std::string::npos) << error;
    std::string bytes;
    EXPECT_TRUE(kwStoredFile::Read(path, &bytes));
    EXPECT_EQ(bytes, "two");
    fs::remove_all(folder);
}

TEST(kwStoredFile, AbandonedTemporariesOfDeadWritersAreRemovedOthersKept) {
    const std::string folder = NewFolder();
    const std::string target = folder + "/qvi.dat";
    const std::string mine = kwStoredFile::TemporaryPath(target);
    WriteAll(mine, "in progress");
    const std::string dead = folder + "/.qvi.dat.tmp-" + std::to_string(DeadProcessId()) + "-abcdefgh";
    WriteAll(dead, "left by a killed writer");
    WriteAll(folder + "/.hidden", "not ours");
    WriteAll(folder + "/notes.tmp-1-x", "not a temporary name");

    EXPECT_EQ(kwStoredFile::RemoveAbandonedTemporaries(folder), 1);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(mine)) << "a running writer's file stays";
    EXPECT_TRUE(fs::exists(folder + "/.hidden"));
    EXPECT_TRUE(fs::exists(folder + "/notes.tmp-1-x"));

    bool placed = false;
    ASSERT_TRUE(kwStoredFile::PlaceFile(mine, target, kwStoredFile::Place::NoReplace, nullptr, &placed));
    EXPECT_TRUE(placed);
    EXPECT_FALSE(fs::exists(mine));
    EXPECT_EQ(ReadAll(target), "in progress");
    fs::remove_all(folder);
}

TEST(kwFileLock, LocksExcludeOtherDescriptorsAndDieWithTheirHolder) {
    const std::string folder = NewFolder();
    const std::string path = folder + "/file.lck";
    kwFileLock first, second;
    ASSERT_TRUE(first.Open(path));
    ASSERT_TRUE(second.Open(path));
    ASSERT_TRUE(first.TryLock(5));
    EXPECT_TRUE(first.TryLock(5)) << "a descriptor may take its own lock again";
    EXPECT_FALSE(second.TryLock(5)) << "another descriptor in the same process is another user";
    EXPECT_TRUE(second.TryLock(6)) << "locks are per byte";
    EXPECT_TRUE(second.HeldElsewhere(5));
    EXPECT_FALSE(second.Acquire(5, std::chrono::milliseconds(30)));
    EXPECT_TRUE(second.TryLock(5, false) == false) << "a shared request meets an exclusive lock";
    first.Close();
    EXPECT_TRUE(second.TryLock(5)) << "closing releases";

    // A holder that dies releases too.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        kwFileLock held;
        held.Open(path);
        const bool ok = held.TryLock(9);
        char byte = ok ? 1 : 0;
        (void)!::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);
    EXPECT_FALSE(second.TryLock(9));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(second.TryLock(9));

    kwFileWriteLock writer(folder + "/prefs.json");
    EXPECT_TRUE(writer.Held());
    kwFileWriteLock other(folder + "/prefs.json", std::chrono::milliseconds(20));
    EXPECT_FALSE(other.Held());
    ::close(ready[0]);
    ::close(ready[1]);
    fs::remove_all(folder);
}

TEST(kwStoredFile, FoldersArePlacedWholeOverNothingButAnEmptyFolder) {
    const std::string folder = NewFolder();
    const std::string target = folder + "/company";
    auto made = [&](const std::string& content) {
        const std::string temporary = kwStoredFile::TemporaryPath(target);
        fs::create_directories(temporary + "/dict");
        WriteAll(temporary + "/company.json", content);
        WriteAll(temporary + "/dict/qvi.dct", "{}");
        return temporary;
    };
    fs::create_directory(target); // an empty leftover does not block the place
    bool placed = false;
    std::string error;
    ASSERT_TRUE(kwStoredFile::PlaceFolder(made("first"), target, &error, &placed)) << error;
    EXPECT_TRUE(placed);
    EXPECT_EQ(ReadAll(target + "/company.json"), "first");
    EXPECT_EQ(ReadAll(target + "/dict/qvi.dct"), "{}");

    ASSERT_TRUE(kwStoredFile::PlaceFolder(made("second"), target, &error, &placed))
        << "another process's folder in place is as good";
    EXPECT_FALSE(placed);
    EXPECT_EQ(ReadAll(target + "/company.json"), "first") << "a full folder is never replaced";
    EXPECT_EQ(EntriesIn(folder), 1u) << "the temporary folder is gone";

    // A temporary folder of a dead maker goes like a temporary file.
    const std::string dead = folder + "/.company.tmp-" + std::to_string(DeadProcessId()) + "-abcdefgh";
    fs::create_directories(dead + "/dict");
    WriteAll(dead + "/company.json", "half made");
    EXPECT_EQ(kwStoredFile::RemoveAbandonedTemporaries(folder), 1);
    EXPECT_FALSE(fs::exists(dead));
    fs::remove_all(folder);
}

TEST(kwStoredFile, AppendsAddToTheEndOfALog) {
    const std::string folder = NewFolder();
    const std::string log = folder + "/kwlog.txt";
    std::string error;
    ASSERT_TRUE(kwStoredFile::Append(log, "one\n", &error)) << error;
    ASSERT_TRUE(kwStoredFile::Append(log, "two\n", &error)) << error;
    EXPECT_EQ(ReadAll(log), "one\ntwo\n");
    EXPECT_FALSE(kwStoredFile::Append(folder + "/missing/log.txt", "x", &error));
    EXPECT_NE(error.find("missing/log.txt"), std::string::npos) << error;
    fs::remove_all(folder);
}
