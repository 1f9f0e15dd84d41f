// The calls for converting a data file: opening through the dictionary a file keeps,
// batches, backups and the end of the write-ahead log.
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

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

TEST(FileConversion, AnOldFileOpensThroughTheDictionaryItKeeps) {
    TestCompany company(false);
    std::string text = ReadAll(company.Path("dict/qvi.dct"));
    text.replace(text.find("13.1.0"), 6, "6.0.0");
    WriteAll(company.Path("qvi-6.0.0.dct"), text);
    std::string error;
    auto old = kwDictionaryLoader::LoadFile(company.Path("qvi-6.0.0.dct"), &error);
    ASSERT_TRUE(old) << error;
    const std::string path = company.Path("ISSUES.QVI");
    short file = OpenWith(old, path, 0, true);
    AddIssue(file, 1);
    xio_cls_file(file);

    // The upgrade host's look at the file through the company's dictionary.
    xio_open_def def{};
    std::snprintf(def.path, sizeof def.path, "%s", path.c_str());
    std::snprintf(def.minDataVersion, sizeof def.minDataVersion, "13.0.0");
    def.readOnly = 1;
    std::string detail;
    EXPECT_EQ(xio_open_file_with(&def, kwDictionaryLoader::Load("QVI", &error), 0, &file, &detail),
              XIO_NEEDS_UPGRADE);
    EXPECT_NE(detail.find("qvupgrade --data"), std::string::npos) << detail;
    def.forUpgrade = 1;
    ASSERT_EQ(xio_open_file_with(&def, kwDictionaryLoader::Load("QVI", &error), 0, &file), XIO_OK);
    xio_def info{};
    ASSERT_EQ(xio_get_def(file, &info, 0), XIO_OK);
    EXPECT_STREQ(info.fileVersion, "6.0.0");
    std::string kept;
    ASSERT_EQ(xio_get_file_dictionary(file, &kept), XIO_OK);
    EXPECT_EQ(kept, text) << "the file keeps the text of the dictionary it was made with";
    xio_cls_file(file);

    auto own = kwDictionaryLoader::Parse(kept, "kept", &error);
    ASSERT_TRUE(own) << error;
    file = OpenWith(own, path, 0, false, true);
    ASSERT_EQ(xio_rd_first(file, 1, 0, 0), XIO_OK);
    EXPECT_EQ(Count(file), 1);
    xio_cls_file(file);
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
