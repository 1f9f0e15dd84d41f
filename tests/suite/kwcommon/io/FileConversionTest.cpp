// The calls for converting a data file: the dictionary a file keeps, opening through a
// dictionary of the caller's, batches, backups and the end of the write-ahead log.
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Two dictionaries hold the same definitions, byte for byte.
void ExpectSameDefinitions(const kwDictionary& a, const kwDictionary& b, const std::string& what) {
    EXPECT_EQ(std::memcmp(&a.file, &b.file, sizeof a.file), 0) << what << ": file";
    EXPECT_EQ(a.fileTypes, b.fileTypes) << what;
    ASSERT_EQ(a.recordTypes.size(), b.recordTypes.size()) << what;
    EXPECT_EQ(std::memcmp(a.recordTypes.data(), b.recordTypes.data(), a.recordTypes.size() * sizeof(xio_rec_def)), 0)
        << what << ": record types";
    ASSERT_EQ(a.fields.size(), b.fields.size()) << what;
    for (size_t i = 0; i < a.fields.size(); ++i)
        EXPECT_EQ(std::memcmp(&a.fields[i], &b.fields[i], sizeof(xio_fld_def)), 0) << what << ": " << a.fields[i].name;
    EXPECT_EQ(a.items, b.items) << what;
    ASSERT_EQ(a.keys.size(), b.keys.size()) << what;
    EXPECT_EQ(std::memcmp(a.keys.data(), b.keys.data(), a.keys.size() * sizeof(xio_key_def)), 0) << what << ": keys";
}

short OpenWith(std::shared_ptr<const kwDictionary> dict, const std::string& path, short options, bool create = false,
               bool readOnly = false) {
    xio_open_def def{};
    std::snprintf(def.path, sizeof def.path, "%s", path.c_str());
    def.create = create ? 1 : 0;
    def.readOnly = readOnly ? 1 : 0;
    short file = 0;
    const short status = xio_open_file_with(&def, std::move(dict), options, &file);
    EXPECT_EQ(status, XIO_OK) << path;
    return file;
}

void AddIssue(short file, double number) {
    xio_init_record(file, 1);
    const x_value_def value = x_value_def::OfNumber(number);
    xio_put_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &value);
    ASSERT_EQ(xio_wr_record(file, 1, 0), XIO_OK);
}

int64_t Count(short file) {
    int64_t count = -1;
    xio_count_records(file, 1, &count);
    return count;
}

} // namespace

TEST(FileConversion, DictionaryJsonLoadsIntoTheSameDefinitions) {
    for (const auto& entry : fs::directory_iterator(TestCompany::DemoFolder() + "/dict")) {
        std::string error;
        auto loaded = kwDictionaryLoader::LoadFile(entry.path().string(), &error);
        ASSERT_TRUE(loaded) << error;
        auto again = kwDictionaryLoader::Parse(xio_dictionary_json(*loaded), "copy", &error);
        ASSERT_TRUE(again) << entry.path() << ": " << error;
        ExpectSameDefinitions(*loaded, *again, entry.path().filename().string());
    }
}

TEST(FileConversion, AFileKeepsTheDictionaryItWasMadeWith) {
    TestCompany company(false);
    std::string text = ReadAll(company.Path("dict/qvi.dct"));
    text.replace(text.find("13.1.0"), 6, "6.0.0");
    std::string error;
    auto old = kwDictionaryLoader::Parse(text, "qvi 6.0.0", &error);
    ASSERT_TRUE(old) << error;
    const std::string path = company.Path("ISSUES.QVI");
    short file = OpenWith(old, path, 0, true);
    AddIssue(file, 1);
    xio_cls_file(file);

    xio_file_info info;
    ASSERT_EQ(xio_read_file_info(path, &info), XIO_OK);
    EXPECT_EQ(info.abbrev, "QVI");
    EXPECT_EQ(info.dataVersion, "6.0.0");
    auto kept = kwDictionaryLoader::Parse(info.dictionary, "kept", &error);
    ASSERT_TRUE(kept) << error;
    ExpectSameDefinitions(*old, *kept, "kept copy");

    xio_file_info none;
    EXPECT_EQ(xio_read_file_info(company.Path("NO.QVI"), &none), XIO_ABSENT);
    WriteAll(company.Path("JUNK.QVI"), std::string(4096, 'j'));
    EXPECT_EQ(xio_read_file_info(company.Path("JUNK.QVI"), &none), XIO_CORRUPT);
}

TEST(FileConversion, BatchesWriteAllOrNothingAndReadOneState) {
    TestCompany company(false);
    std::string error;
    auto dict = kwDictionaryLoader::Load("QVI", &error);
    const std::string path = company.Path("ISSUES.QVI");
    const short file = OpenWith(dict, path, XIO_OPEN_EXCLUSIVE, true);
    ASSERT_EQ(xio_begin_batch(file), XIO_OK);
    for (double n = 1; n <= 3; ++n) AddIssue(file, n);
    ASSERT_EQ(xio_end_batch(file, false), XIO_OK);
    EXPECT_EQ(Count(file), 0) << "rolled back";
    ASSERT_EQ(xio_begin_batch(file), XIO_OK);
    for (double n = 1; n <= 3; ++n) AddIssue(file, n);
    ASSERT_EQ(xio_end_batch(file, true), XIO_OK);
    EXPECT_EQ(Count(file), 3);
    ASSERT_EQ(xio_begin_batch(file), XIO_OK);
    AddIssue(file, 4);
    xio_cls_file(file); // a batch left open goes with the file

    // A reader's batch sees the file as it was when the batch began reading.
    const short reader = OpenWith(dict, path, 0, false, true);
    EXPECT_EQ(Count(reader), 3);
    ASSERT_EQ(xio_begin_batch(reader), XIO_OK);
    ASSERT_EQ(xio_rd_first(reader, 1, 0, 0), XIO_OK);
    const short writer = OpenWith(dict, path, 0);
    AddIssue(writer, 5);
    xio_cls_file(writer);
    EXPECT_EQ(Count(reader), 3) << "the issue written meanwhile is not in the reader's batch";
    ASSERT_EQ(xio_end_batch(reader, false), XIO_OK);
    EXPECT_EQ(Count(reader), 4);
    xio_cls_file(reader);
}

TEST(FileConversion, BackupIsAWholeCopyAndNeverOverwrites) {
    TestCompany company(false);
    std::string error;
    auto dict = kwDictionaryLoader::Load("QVI", &error);
    const short file = OpenWith(dict, company.Path("ISSUES.QVI"), 0, true);
    for (double n = 1; n <= 5; ++n) AddIssue(file, n);
    const std::string backup = company.Path("ISSUES.QVI.bak");
    ASSERT_EQ(xio_backup_file(file, backup), XIO_OK);
    AddIssue(file, 6);
    EXPECT_EQ(xio_backup_file(file, backup), XIO_DUPLICATE_KEY) << "an existing backup is kept";
    xio_cls_file(file);
    for (const auto& entry : fs::directory_iterator(company.Folder()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();

    const short copy = OpenWith(dict, backup, 0, false, true);
    EXPECT_EQ(Count(copy), 5);
    xio_cls_file(copy);
}

TEST(FileConversion, EndingTheLogLeavesTheDataFileAloneAndNeedsSoleUse) {
    TestCompany company(false);
    std::string error;
    auto dict = kwDictionaryLoader::Load("QVI", &error);
    const std::string path = company.Path("ISSUES.QVI");
    const short file = OpenWith(dict, path, 0, true);
    for (double n = 1; n <= 3; ++n) AddIssue(file, n);
    ASSERT_TRUE(fs::exists(path + "-wal"));

    // Another connection to the same data file keeps the log.
    const short other = OpenWith(dict, path, 0, false, true);
    ASSERT_NE(other, 0);
    EXPECT_EQ(Count(other), 3);
    EXPECT_EQ(xio_end_write_ahead_log(file), XIO_LOCKED);
    xio_cls_file(other);

    ASSERT_EQ(xio_end_write_ahead_log(file), XIO_OK);
    EXPECT_FALSE(fs::exists(path + "-wal"));
    // The data file alone holds everything: a copy of it is the file.
    fs::copy_file(path, company.Path("COPY.QVI"));
    xio_cls_file(file);
    const short copy = OpenWith(dict, company.Path("COPY.QVI"), 0);
    EXPECT_EQ(Count(copy), 3);
    xio_cls_file(copy);
}
