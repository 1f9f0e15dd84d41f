// The library's conversions of the issue record: the upgrade record's bytes, the 4.3.0
// and 7.0.0 conversions and when they apply, the bank register's every open failure.
#include "TestCompany.h"
#include "TestFiles.h"

#include "qvcore/upgrade/qvBankRegister.h"
#include "qvcore/upgrade/qvUpgrade.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/xk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string OldDictionary(const std::string& name) {
    return TestCompany::DemoFolder() + "/../demo-old/dict-old/" + name;
}

std::vector<std::string>& Reported() {
    static std::vector<std::string> lines;
    return lines;
}

void Collect(uintptr_t*, const char* message) { Reported().push_back(message); }

// The old record (a 4.2.0 issue) and the new one (today's dictionary) in record buffers,
// as the host holds them, and an upgrade record pointing at both.
class UpgradeCall : public ::testing::Test {
protected:
    void SetUp() override {
        Reported().clear();
        std::string error;
        auto oldDict = kwDictionaryLoader::LoadFile(OldDictionary("qvi-4.2.0.dct"), &error);
        ASSERT_TRUE(oldDict) << error;
        xio_open_def def{};
        ASSERT_EQ(xio_open_file_with(&def, oldDict, XIO_OPEN_DICTIONARY_ONLY, &_old), XIO_OK);
        ASSERT_EQ(xio_open_file_with(&def, kwDictionaryLoader::Load("QVI", &error), XIO_OPEN_DICTIONARY_ONLY, &_new),
                  XIO_OK)
            << error;
        xio_init_record(_old, 1);
        xio_init_record(_new, 1);
        _record.step = X_UPGRADE_STEP_CONVERT;
        _record.recordType = 1;
        std::strcpy(_record.abbrev, "QVI");
        _record.oldVersion = kwBase::Version("4.2.0");
        _record.newVersion = kwBase::Version("13.1.0");
        _record.oldFile = _old;
        _record.newFile = _new;
        _record.context[0] = 1;
        _record.report = &Collect;
        _countOpens.emplace(qvBankRegister::OpenSeam().Replace([this](const xio_open_def& open, short* file) {
            ++_registerOpens;
            return xio_open_file(&open, file);
        }));
    }
    void TearDown() override {
        _countOpens.reset();
        xio_cls_file(_old);
        xio_cls_file(_new);
    }

    // An old issue moved into the new buffer as the host moves it: by field name.
    void OldIssue(double issue, const std::string& bank, double check, double arsType) {
        Put(_old, "ISSUE", x_value_def::OfNumber(issue));
        Put(_old, "CMBANK", x_value_def::OfText(bank));
        Put(_old, "CMCHECK", x_value_def::OfNumber(check));
        Put(_old, "ARSTYPE", x_value_def::OfNumber(arsType));
        for (const char* name : {"ISSUE", "CMBANK", "ARSTYPE"}) Put(_new, name, Get(_old, name));
    }

    static void Put(short file, const char* name, const x_value_def& value) {
        xio_put_field(file, 0, xio_num(file, 0, 0, name), &value);
    }
    static x_value_def Get(short file, const char* name) {
        x_value_def value;
        xio_get_field(file, 0, xio_num(file, 0, 0, name), &value);
        return value;
    }
    double New(const char* name) const { return Get(_new, name).AsNumber(); }

    TestCompany _company;
    short _old = 0;
    short _new = 0;
    x_upgrade_def _record{};
    int _registerOpens = 0;
    std::optional<kwSeam<short(const xio_open_def&, short*)>::Guard> _countOpens;
};

} // namespace

TEST_F(UpgradeCall, RecordKeepsItsBytesAtTheirOffsets) {
    _record.step = 0x0102;
    _record.recordType = 0x0304;
    _record.oldFile = 0x0506;
    _record.newFile = 0x0708;
    _record.oldVersion = kwBase::Version("4.2.0");
    _record.newVersion = kwBase::Version("7.10.300");
    unsigned char bytes[sizeof(x_upgrade_def)];
    std::memcpy(bytes, &_record, sizeof bytes);
    const unsigned char fixed[35] = {0,    0x02, 0x01, 0x04, 0x03, 'Q', 'V', 'I', 0, // 0-8
                                     4,    0,    2,    0,    0,    0,   1,   0,      // 9-16 4.2.0
                                     7,    0,    10,   0,    0x2c, 1,   1,   0,      // 17-24 7.10.300
                                     0x06, 0x05, 0x08, 0x07,                         // 25-28
                                     0,    0,    0,    0,    0,    0};               // 29-34
    for (size_t i = 0; i < sizeof fixed; ++i) EXPECT_EQ(bytes[i], fixed[i]) << "byte " << i;
    uintptr_t context;
    std::memcpy(&context, bytes + 35, sizeof context);
    EXPECT_EQ(context, 1u) << "the first context word at 35";
    x_upgrade_report_fn report;
    std::memcpy(&report, bytes + 35 + 2 * sizeof(uintptr_t), sizeof report);
    EXPECT_EQ(report, &Collect) << "the report function after the two context words";
}

TEST_F(UpgradeCall, ConversionsApplyWhenTheRecordPassesTheirVersions) {
    // 4.2.0 -> 13.1.0: both. Check 10402 of OPERATING is run 240101, sequence 2.
    OldIssue(2, "OPERATING", 10402, 0);
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_OK);
    EXPECT_EQ(New("ARSTYPE"), 1) << "ARSTYPE 0 becomes the first item";
    EXPECT_EQ(New("CMTRUN"), 240101);
    EXPECT_EQ(New("CMTSEQ"), 2);
    EXPECT_EQ(_registerOpens, 1);

    // ARSTYPE other than 0 stays; 4.2.0 -> 4.3.0 passes only the first threshold.
    xio_init_record(_new, 1);
    OldIssue(3, "OPERATING", 10402, 3);
    _record.newVersion = kwBase::Version("4.3.0");
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_OK);
    EXPECT_EQ(New("ARSTYPE"), 3);
    EXPECT_EQ(New("CMTRUN"), 0) << "below 7.0.0 the register is not read";
    EXPECT_EQ(_registerOpens, 1);

    // 7.0.0 -> 7.1.0 passes neither.
    xio_init_record(_new, 1);
    OldIssue(4, "OPERATING", 10402, 0);
    _record.oldVersion = kwBase::Version("7.0.0");
    _record.newVersion = kwBase::Version("7.1.0");
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_OK);
    EXPECT_EQ(New("ARSTYPE"), 0);
    EXPECT_EQ(New("CMTRUN"), 0);
    EXPECT_EQ(_registerOpens, 1);

    // 6.2.0 -> 7.0.0 passes the second only.
    OldIssue(5, "PAYROLL", 10408, 0);
    _record.oldVersion = kwBase::Version("6.2.0");
    _record.newVersion = kwBase::Version("7.0.0");
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_OK);
    EXPECT_EQ(New("ARSTYPE"), 0);
    EXPECT_EQ(New("CMTRUN"), 240102);
    EXPECT_EQ(New("CMTSEQ"), 3);
    EXPECT_TRUE(Reported().empty()) << Reported().front();
}

TEST_F(UpgradeCall, CheckZeroNeverOpensTheRegister) {
    fs::remove(kwCompany::Path("REGISTER.CMT"));
    OldIssue(7, "OPERATING", 0, 2);
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_OK);
    EXPECT_EQ(_registerOpens, 0);
    EXPECT_EQ(New("CMTRUN"), 0);
    EXPECT_EQ(Get(_new, "CMBANK").AsText(), "OPERATING");
    EXPECT_TRUE(Reported().empty());
}

TEST_F(UpgradeCall, MissingCheckDropsTheIssueNamingCheckBankAndIssue) {
    OldIssue(11, "OPERATING", 10499, 0);
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_DROP);
    ASSERT_EQ(Reported().size(), 1u);
    EXPECT_EQ(Reported()[0], "Check number 10499 not found for bank OPERATING.  Issue 11 deleted.");

    // The company's word for the check, capitalised word by word; a bank account holding
    // "<" is shown as it is, not read as a term code.
    ASSERT_EQ(xk_put_description(8, 0, "cheque no."), XIO_OK);
    OldIssue(12, "<8I>", 10499, 0);
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_DROP);
    ASSERT_EQ(Reported().size(), 2u);
    EXPECT_EQ(Reported()[1], "Cheque No. number 10499 not found for bank <8I>.  Issue 12 deleted.");

    // Without a context word nothing is reported, and the issue is still dropped.
    _record.context[0] = 0;
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_DROP);
    EXPECT_EQ(Reported().size(), 2u);
}

TEST_F(UpgradeCall, OtherTypesStepsAndFilesAreLeftAlone) {
    OldIssue(11, "OPERATING", 10499, 0);
    const std::vector<std::function<void(x_upgrade_def&)>> others = {
        [](x_upgrade_def& r) { r.recordType = 2; },
        [](x_upgrade_def& r) { r.step = X_UPGRADE_STEP_BEFORE_MOVE; },
        [](x_upgrade_def& r) { r.step = X_UPGRADE_STEP_WRITTEN; },
        [](x_upgrade_def& r) { std::strcpy(r.abbrev, "CMT"); },
    };
    for (size_t i = 0; i < others.size(); ++i) {
        x_upgrade_def record = _record;
        others[i](record);
        EXPECT_EQ(x_upgrade_dllcall(&record), X_UPGRADE_OK) << "case " << i;
    }
    EXPECT_EQ(New("ARSTYPE"), 0);
    EXPECT_EQ(_registerOpens, 0);
    EXPECT_TRUE(Reported().empty());
    EXPECT_EQ(x_upgrade_dllcall(nullptr), X_UPGRADE_FAILED);
}

TEST_F(UpgradeCall, EveryRegisterOpenFailureIsReportedAndAnswered) {
    // Each case runs in a company of its own: the path is the current company's.
    auto registerPath = [] { return kwCompany::Path("REGISTER.CMT"); };
    struct Case {
        const char* what;
        std::function<void()> arrange;
        short result;
        const char* message;
    };
    short held = 0;
    // The stand-in of the cases that need one.
    std::optional<kwSeam<short(const xio_open_def&, short*)>::Guard> stand;
    const std::vector<Case> cases = {
        {"named files on", [] { WriteAll(kwCompany::Path("filecontrol.json"), R"({"CMT": {"namedFiles": true}})"); }, 1,
         "CMT named files must be disabled before upgrading the QVI file."},
        {"folder missing",
         [] { WriteAll(kwCompany::Path("filecontrol.json"), R"({"CMT": {"folder": "no-such-folder"}})"); }, 2,
         "The drive does not exist."},
        {"drive (seam)",
         [&] { stand.emplace(qvBankRegister::OpenSeam().Replace([](const xio_open_def&, short*) { return short{XIO_NO_DRIVE}; })); },
         2, "The drive does not exist."},
        {"absent", [&] { fs::remove(registerPath()); }, 3, "REGISTER.CMT was not found."},
        {"in use",
         [&] {
             xio_open_def def{};
             std::snprintf(def.path, sizeof def.path, "%s", registerPath().c_str());
             std::string error;
             ASSERT_EQ(xio_open_file_with(&def, kwDictionaryLoader::Load("CMT", &error), XIO_OPEN_EXCLUSIVE, &held),
                       XIO_OK);
         },
         7, "REGISTER.CMT is in use by another process."},
        {"corrupt", [&] { WriteAll(registerPath(), std::string(4096, 'x')); }, 14, "REGISTER.CMT is corrupt."},
        {"not authorised (seam)",
         [&] {
             stand.emplace(qvBankRegister::OpenSeam().Replace(
                 [](const xio_open_def&, short*) { return short{XIO_NOT_AUTHORISED}; }));
         },
         16, "The current operator is not authorized to open the REGISTER.CMT."},
        {"dictionary damaged", [] { WriteAll(kwCompany::Path("dict/cmt.dct"), "{"); }, XIO_DICTIONARY,
         "REGISTER.CMT could not be opened due to unexpected I/O error."},
    };
    for (const Case& c : cases) {
        TestCompany company; // a fresh company each time
        Reported().clear();
        stand.reset();
        c.arrange();
        xio_init_record(_new, 1);
        OldIssue(2, "OPERATING", 10402, 0);
        EXPECT_EQ(x_upgrade_dllcall(&_record), c.result) << c.what;
        EXPECT_EQ(Reported(), std::vector<std::string>{c.message}) << c.what;
        EXPECT_EQ(New("CMTRUN"), 0) << c.what << ": nothing converted";
        if (held) xio_cls_file(held);
        held = 0;
    }
}

TEST_F(UpgradeCall, RegisterOlderThanSevenMustBeUpgradedFirst) {
    // The register rewritten by a 6.0.0 dictionary.
    std::string text = ReadAll(kwCompany::Path("dict/cmt.dct"));
    text.replace(text.find("13.1.0"), 6, "6.0.0");
    std::string error;
    auto old = kwDictionaryLoader::Parse(text, "cmt 6.0.0", &error);
    ASSERT_TRUE(old) << error;
    fs::remove(kwCompany::Path("REGISTER.CMT"));
    xio_open_def def{};
    def.create = 1;
    short file = 0;
    ASSERT_EQ(xio_open_file_with(&def, old, 0, &file), XIO_OK);
    xio_cls_file(file);

    OldIssue(2, "OPERATING", 10402, 0);
    EXPECT_EQ(x_upgrade_dllcall(&_record), X_UPGRADE_FAILED);
    EXPECT_EQ(Reported(), std::vector<std::string>{"REGISTER.CMT must be upgraded before upgrading the QVI file."});
}
