// Examining a query file: a sound file has nothing to report, and each kind of damage is
// named, all of them in one pass.
#include "QueryFileTestUtil.h"
#include "TestCompany.h"

#include "qvcore/queries/qvQueryFileCheck.h"
#include "qvcore/store/qvIssueFile.h"

#include <gtest/gtest.h>

using namespace qftest;

namespace {

bool Mentions(const qvQueryFileCheckResult& result, const std::string& words) {
    for (const std::string& problem : result.problems)
        if (problem.find(words) != std::string::npos) return true;
    return false;
}

std::string All(const qvQueryFileCheckResult& result) {
    std::string text;
    for (const std::string& problem : result.problems) text += problem + "\n";
    return text;
}

} // namespace

TEST(QueryFileCheck, SoundAndDamagedFiles) {
    TestCompany company(false);
    qvIssueFile issues(7020);
    ASSERT_TRUE(issues.Open());
    query_file_info info;
    InitInfo(&info);
    const std::string path = info.fileName;
    EXPECT_FALSE(qvCheckQueryFile(path).exists) << "no file: nothing saved, nothing wrong";

    ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
    xc_cond_def status = MarkedCondition(7);
    std::memcpy(status.fieldName, "STATUS", 7);
    ASSERT_EQ(SaveConditions(&info, "alpha", 2, {status, status}), 1);
    ASSERT_EQ(SaveQuery(&info, "beta", 0, 1), 1);
    ASSERT_EQ(SaveQuery(&info, "gamma", 0, 0), 1);
    _qfi_unlock(&info);
    const Bytes good = ReadBytes(path);
    qvQueryFileCheckResult result = qvCheckQueryFile(path, issues.Number());
    EXPECT_TRUE(result.exists);
    EXPECT_EQ(result.queries, 3);
    EXPECT_TRUE(result.problems.empty()) << All(result);

    // Several faults at once, each reported.
    Bytes b = good;
    const size_t alpha = static_cast<size_t>(Get32(b, 16 + 31));
    const size_t beta = static_cast<size_t>(Get32(b, 16 + 39 + 31));
    std::memcpy(&b[16 + 39 * 2], "Alpha", 6);         // gamma renamed: a duplicate, out of order
    std::memcpy(&b[beta + 33], "1.2", 4);             // an old record version
    b[alpha + 31] = 9;                                // an order that is no key
    std::memcpy(&b[alpha + 43 + 210 + 10], "NOFLD", 6); // a condition on a field that is gone
    b[alpha + 43 + 2] = 42;                           // an unknown comparison
    b.push_back(0);                                   // a byte the header does not count
    WriteBytes(path, b);
    result = qvCheckQueryFile(path, issues.Number());
    const std::string all = All(result);
    EXPECT_TRUE(Mentions(result, "have the same name")) << all;
    EXPECT_TRUE(Mentions(result, "is named \"gamma\"")) << all;
    EXPECT_TRUE(Mentions(result, "record version \"1.2\"")) << all;
    EXPECT_TRUE(Mentions(result, "sort order 9 is no key")) << all;
    EXPECT_TRUE(Mentions(result, "no field NOFLD")) << all;
    EXPECT_TRUE(Mentions(result, "unknown comparison 42")) << all;
    EXPECT_TRUE(Mentions(result, "the file has " + std::to_string(b.size()))) << all;
    EXPECT_TRUE(Mentions(result, "after the last record belong to no query")) << all;

    // Structure: a record outside the file, records overlapping, a wrong count of
    // conditions, a first-record offset that does not follow the directory.
    b = good;
    b[16 + 39 + 31 + 3] = 0x10;                 // beta's record far outside
    b[16 + 39 * 2 + 31] = b[16 + 31];           // gamma on top of alpha
    b[16 + 39 * 2 + 32] = b[16 + 32];
    b[alpha + 37] = 5;                          // alpha says 5 conditions
    b[8] = 17;
    WriteBytes(path, b);
    result = qvCheckQueryFile(path, issues.Number());
    EXPECT_TRUE(Mentions(result, "query \"beta\": its record")) << All(result);
    EXPECT_TRUE(Mentions(result, "overlap")) << All(result);
    EXPECT_TRUE(Mentions(result, "the record says 5 conditions; its length holds 2")) << All(result);
    EXPECT_TRUE(Mentions(result, "first record at offset 17")) << All(result);
    EXPECT_TRUE(Mentions(result, "belong to no query")) << "beta's bytes are left over: " << All(result);

    WriteBytes(path, Bytes(good.begin(), good.begin() + 10));
    result = qvCheckQueryFile(path, issues.Number());
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_NE(result.problems[0].find("shorter than its 16-byte header"), std::string::npos);
}
