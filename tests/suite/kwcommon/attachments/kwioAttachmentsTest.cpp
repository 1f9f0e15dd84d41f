// Attachments of records: copies in the store, lists written whole, refusal of sources
// that cannot be read, and one changer per list across objects and processes.
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string MakeFile(const std::string& folder, const std::string& name,
                     const std::string& content) {
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

size_t FilesIn(const std::string& folder) {
    size_t count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        count += entry.is_regular_file();
    return count;
}

class Attachments : public ::testing::Test {
protected:
    void SetUp() override {
        sources = company.Path("sources");
        fs::create_directories(sources);
    }
    TestCompany company{false};
    std::string sources;
};

} // namespace

TEST_F(Attachments, AddedFilesAreListedWrittenAndFoundAgain) {
    const std::string first = MakeFile(sources, "invoice scan.pdf", std::string(100000, 'p'));
    const std::string second = MakeFile(sources, "notes.txt", "call the vendor\n");

    kwioAttachments list("qvi", 1, "12");
    ASSERT_EQ(list.Fetch(), XIO_OK);
    EXPECT_EQ(list.Count(), 0u) << "a record without attachments has an empty list";
    ASSERT_EQ(list.Add(first), XIO_OK);
    ASSERT_EQ(list.Add(second), XIO_OK);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.At(0).name, "invoice scan.pdf");
    EXPECT_EQ(list.At(0).size, 100000);
    EXPECT_EQ(list.At(1).addedBy, "ADMIN") << "the current operator added it";
    EXPECT_TRUE(list.At(1).pending);
    EXPECT_LE(std::chrono::system_clock::now() - list.At(1).added, std::chrono::minutes(1));
    EXPECT_EQ(ReadAll(list.OpenPath(1)), "call the vendor\n")
        << "a pending copy can be opened already";
    EXPECT_TRUE(list.Changed());
    ASSERT_EQ(list.Write(), XIO_OK);
    EXPECT_FALSE(list.Changed());
    list.Free();

    // The copies are the store's own: the sources may go.
    fs::remove(first);
    fs::remove(second);
    kwioAttachments again("QVI", 1, "12");
    ASSERT_EQ(again.Fetch(false), XIO_OK);
    ASSERT_EQ(again.Count(), 2u);
    EXPECT_EQ(again.At(0).name, "invoice scan.pdf");
    EXPECT_EQ(again.At(1).size, 16);
    EXPECT_FALSE(again.At(0).pending);
    EXPECT_EQ(ReadAll(again.OpenPath(0)), std::string(100000, 'p'));
    EXPECT_EQ(again.Add(MakeFile(sources, "x", "x")), XIO_NOT_LOCKED)
        << "a list read only cannot change";
    EXPECT_EQ(again.Remove(0), XIO_NOT_LOCKED);

    kwioAttachments other("QVI", 1, "120");
    ASSERT_EQ(other.Fetch(false), XIO_OK);
    EXPECT_EQ(other.Count(), 0u) << "each record has its own list";
    kwioAttachments otherType("QVI", 2, "12");
    ASSERT_EQ(otherType.Fetch(false), XIO_OK);
    EXPECT_EQ(otherType.Count(), 0u) << "each record type has its own lists";

    // Removing: the list loses it at once, the copy goes with the write.
    ASSERT_EQ(again.Fetch(), XIO_OK) << "a list read only can be taken for change";
    const std::string removedCopy = again.OpenPath(0);
    ASSERT_EQ(again.Remove(0), XIO_OK);
    EXPECT_EQ(again.Remove(5), XIO_NO_RECORD);
    EXPECT_TRUE(fs::exists(removedCopy)) << "nothing is removed before the write";
    ASSERT_EQ(again.Write(), XIO_OK);
    EXPECT_FALSE(fs::exists(removedCopy));
    again.Free();

    kwioAttachments last("QVI", 1, "12");
    ASSERT_EQ(last.Fetch(), XIO_OK);
    ASSERT_EQ(last.Count(), 1u);
    EXPECT_EQ(last.At(0).name, "notes.txt");
}

TEST_F(Attachments, ChangesNotWrittenAreDroppedWithTheirCopies) {
    kwioAttachments list("APV", 1, "ACME");
    ASSERT_EQ(list.Fetch(), XIO_OK);
    ASSERT_EQ(list.Add(MakeFile(sources, "kept.txt", "kept")), XIO_OK);
    ASSERT_EQ(list.Write(), XIO_OK);
    ASSERT_EQ(list.Add(MakeFile(sources, "dropped.txt", "dropped")), XIO_OK);
    ASSERT_EQ(list.Remove(0), XIO_OK);
    const std::string folder = list.Folder();
    list.Free();

    kwioAttachments again("APV", 1, "ACME");
    ASSERT_EQ(again.Fetch(), XIO_OK);
    ASSERT_EQ(again.Count(), 1u) << "Free forgets the removal and the addition";
    EXPECT_EQ(again.At(0).name, "kept.txt");
    EXPECT_EQ(FilesIn(folder), 3u) << "list, lock file and the one copy: " << folder;

    // A holder that died between copying and writing leaves a copy nobody lists; the next
    // holder clears it away.
    MakeFile(folder, "7-orphan.txt", "orphan");
    MakeFile(folder, "list.json.Ab12Cd", "half a list");
    again.Free();
    ASSERT_EQ(again.Fetch(), XIO_OK);
    EXPECT_EQ(FilesIn(folder), 3u);
}

TEST_F(Attachments, SourcesThatCannotBeReadAreRefusedAndStoreNothing) {
    kwioAttachments list("QVI", 1, "3");
    ASSERT_EQ(list.Fetch(), XIO_OK);
    const size_t before = FilesIn(list.Folder());
    xw_clear_shown_messages();

    EXPECT_EQ(list.Add(sources + "/missing.pdf"), XIO_ABSENT);
    ASSERT_EQ(xw_shown_messages().size(), 1u) << "the user is told";
    EXPECT_EQ(xw_shown_messages()[0].type, XW_ERROR);
    EXPECT_NE(xw_shown_messages()[0].text.find("missing.pdf"), std::string::npos)
        << xw_shown_messages()[0].text;
    EXPECT_NE(xw_shown_messages()[0].text.find("does not exist"), std::string::npos);

    EXPECT_NE(list.Add(sources), XIO_OK) << "a folder is no file";
    EXPECT_NE(xw_shown_messages().back().text.find("not a file"), std::string::npos);
    EXPECT_NE(list.Add(""), XIO_OK);

    if (geteuid() != 0) { // the superuser reads everything
        const std::string locked = MakeFile(sources, "secret.txt", "secret");
        ::chmod(locked.c_str(), 0);
        EXPECT_EQ(list.Add(locked), XIO_NOT_AUTHORISED);
        EXPECT_NE(xw_shown_messages().back().text.find("cannot be read"), std::string::npos);
    }
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_FALSE(list.Changed());
    EXPECT_EQ(FilesIn(list.Folder()), before) << "a refused file stores nothing";
    for (const auto& shown : xw_shown_messages())
        EXPECT_EQ(shown.type, XW_ERROR) << shown.text;
}

TEST_F(Attachments, OneChangerPerListWithinAProcess) {
    kwioAttachments first("QVI", 1, "40");
    kwioAttachments second("QVI", 1, "40");
    ASSERT_EQ(first.Fetch(), XIO_OK);
    EXPECT_EQ(second.Fetch(), XIO_IN_USE) << "another object holds the list";
    EXPECT_FALSE(second.HeldForChange());
    EXPECT_EQ(second.Fetch(false), XIO_OK) << "reading is always allowed";

    kwioAttachments elsewhere("QVI", 1, "41");
    EXPECT_EQ(elsewhere.Fetch(), XIO_OK) << "other records are free";

    first.Free();
    EXPECT_EQ(second.Fetch(), XIO_OK) << "Free lets others change the list";
}

TEST_F(Attachments, KeyIsTakenFromTheRecordBuffer) {
    std::ofstream(company.Path("dict/tky.dct")) << R"({
      "file": { "abbrev": "TKY", "defaultFileName": "KEYS.TKY" },
      "recordTypes": [ { "number": 1, "name": "ITEM",
        "fields": [ { "name": "CODE", "type": 0, "width": 10 }, { "name": "SEQ", "type": 1 } ],
        "keys": [ { "number": 0, "name": "ITEM", "fields": ["CODE", "SEQ"] } ] } ] })";
    kwioDataFile data;
    ASSERT_EQ(data.PromptedOpen("TKY", 1, "", 0, true, true, false), 0);
    x_value_def code, seq;
    code.SetText("AB  ");
    seq.SetNumber(7);
    xio_put_field(data.FileNum(), 0, 1, &code);
    xio_put_field(data.FileNum(), 0, 2, &seq);
    EXPECT_EQ(kwioAttachments::KeyTextOf(data.FileNum(), 1), "AB\t7");

    kwioAttachments byBuffer(data.FileNum(), 1);
    ASSERT_EQ(byBuffer.Fetch(), XIO_OK);
    EXPECT_EQ(byBuffer.FileAbbrev(), "TKY");
    ASSERT_EQ(byBuffer.Add(MakeFile(sources, "a.txt", "a")), XIO_OK);
    ASSERT_EQ(byBuffer.Write(), XIO_OK);

    kwioAttachments byName("TKY", 1, "AB\t7");
    EXPECT_EQ(byName.Fetch(), XIO_IN_USE) << "the same record, however it is named";
    ASSERT_EQ(byName.Fetch(false), XIO_OK);
    EXPECT_EQ(byName.Count(), 1u);

    // Another record in the buffer is another list; the first is let go.
    seq.SetNumber(8);
    xio_put_field(data.FileNum(), 0, 2, &seq);
    ASSERT_EQ(byBuffer.Fetch(), XIO_OK);
    EXPECT_EQ(byBuffer.Count(), 0u);
    EXPECT_EQ(byName.Fetch(), XIO_OK) << "the record's list was released when the buffer moved on";
    EXPECT_EQ(kwioAttachments(short{0}, 1).Fetch(), XIO_BAD_FILE_NUMBER);
}

TEST_F(Attachments, AListHeldByAnotherProcessIsInUseUntilItDies) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        kwioAttachments list("QVI", 1, "77");
        const char status = static_cast<char>(list.Fetch());
        if (write(ready[1], &status, 1) != 1) _exit(3);
        pause(); // holds the list until killed
        _exit(0);
    }
    close(ready[1]);
    char status = -1;
    ASSERT_EQ(read(ready[0], &status, 1), 1);
    close(ready[0]);
    ASSERT_EQ(status, XIO_OK) << "the other process took the list";

    kwioAttachments list("QVI", 1, "77");
    EXPECT_EQ(list.Fetch(), XIO_IN_USE);
    EXPECT_EQ(list.Fetch(false), XIO_OK);

    kill(child, SIGKILL);
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    EXPECT_EQ(list.Fetch(), XIO_OK) << "the lock died with its holder";

    // And the other way round: a list held here is in use for another process.
    const pid_t second = fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        kwioAttachments theirs("QVI", 1, "77");
        _exit(theirs.Fetch());
    }
    waitpid(second, &wstatus, 0);
    ASSERT_TRUE(WIFEXITED(wstatus));
    EXPECT_EQ(WEXITSTATUS(wstatus), XIO_IN_USE);
}

TEST_F(Attachments, ADamagedListIsCorruptAndNamesThePlace) {
    kwioAttachments list("QVI", 1, "7");
    ASSERT_EQ(list.Fetch(), XIO_OK);
    ASSERT_EQ(list.Add(MakeFile(sources, "a.txt", "a")), XIO_OK);
    ASSERT_EQ(list.Write(), XIO_OK);
    const std::string path = list.Folder() + "/list.json";
    EXPECT_EQ(ReadAll(path).substr(ReadAll(path).size() - 3), "}\n\n") << "the list's bytes as ever";
    list.Free();

    const std::string entry = R"("name": "a.txt", "stored": "1-a.txt")";
    const std::pair<std::string, std::string> damaged[] = {
        {R"({"key": "7", "attachments": [{)" + entry + R"(, "size": "1"}]})", "attachments[0].size must be a whole number"},
        {R"({"key": "7", "attachments": [{"name": 5, "stored": "1-a.txt"}]})", "attachments[0].name must be a text"},
        {R"({"key": "7", "attachments": [{"name": "a.txt"}]})", "attachments[0] has no \"stored\""},
        {R"({"key": "7", "attachments": [{)" + entry + R"(, "added": true}]})", "attachments[0].added"},
        {R"({"key": "7", "attachments": [{"name": "a", "stored": "../../x"}]})", "attachments[0].stored"},
        {R"({"key": "7", "next": "2", "attachments": []})", "next must be a whole number"},
        {R"({"key": "7", "attachments": {}})", "attachments must be a list"},
        {R"({"key": "7"})", "the file has no \"attachments\""},
    };
    for (const auto& [text, place] : damaged) {
        WriteAll(path, text);
        kwioAttachments again("QVI", 1, "7");
        EXPECT_EQ(again.Fetch(false), XIO_CORRUPT) << text;
        EXPECT_EQ(again.Count(), 0u);
        const std::string log = LastLine(ReadAll(kwCompany::LogFile()));
        EXPECT_NE(log.find("list.json: " + place), std::string::npos) << log;
    }
}
