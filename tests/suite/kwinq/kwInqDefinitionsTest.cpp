// Inquiry definitions: the demo company's fit its dictionaries; a damaged file is named
// with the place of its fault and gives nothing.
#include "kwinq/kwInqDefinitions.h"

#include "TestCompany.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::string Write(const std::string& folder, const std::string& text) {
    const std::string path = folder + "/inquiries.json";
    std::ofstream(path) << text;
    return path;
}

} // namespace

TEST(InquiryDefinitions, DemoInquiriesNameFieldsOfTheirDrivingRecords) {
    TestCompany company(false);
    std::string error;
    const auto definitions = kwInqDefinitions::Company(&error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_GE(definitions->Inquiries().size(), 10u);
    for (const kwInqDefinition& inquiry : definitions->Inquiries()) {
        const std::string what = inquiry.application + " - " + inquiry.name;
        EXPECT_LE(inquiry.name.size(), 30u) << what;
        kwioDictFile dictionary;
        ASSERT_EQ(dictionary.Open(inquiry.file), 0) << what << ": no dictionary " << inquiry.file;
        for (const auto* list : {&inquiry.columns, &inquiry.keys}) {
            for (const std::string& field : *list) {
                const short number = xio_num(dictionary.FileNum(), 0, 0, field.c_str());
                xio_fld_def def{};
                ASSERT_NE(number, 0) << what << ": " << field << " is no field of " << inquiry.file;
                ASSERT_EQ(xio_get_fld_def(dictionary.FileNum(), number, &def, 0, 0), 0);
                EXPECT_EQ(def.recordType, inquiry.recordType) << what << ": " << field;
            }
        }
    }
    for (const kwRptDefinition& report : definitions->Reports())
        EXPECT_TRUE(std::filesystem::exists(company.Path("reports/" + report.design + ".RPT"))) << report.design;
    EXPECT_EQ(definitions->InquiriesOf("ap").size(), 3u) << "the code's letter case does not matter";
    ASSERT_NE(definitions->FindInquiry("ap", "VENDOR INVOICES"), nullptr);
    EXPECT_EQ(definitions->FindInquiry("AP", "Vendor invoices")->file, "API");
    EXPECT_EQ(definitions->FindInquiry("GL", "Vendor invoices"), nullptr) << "names are per application";
}

TEST(InquiryDefinitions, DamagedFilesAreNamedWithThePlaceAndGiveNothing) {
    const std::string folder = TestCompany::MakeTempFolder("kwinq-defs-");
    const std::string inquiry = R"({"application": "AP", "name": "Vendors", "file": "APV", "recordType": 1, "columns": ["VENDOR"]})";
    const std::pair<std::string, std::string> cases[] = {
        {"{ not json", "not valid JSON"},
        {R"({"inquiries": [{"application": "A1", "name": "X", "file": "APV", "recordType": 1, "columns": ["A"]}]})",
         "inquiries[0].application must be an application's two-letter code"},
        {R"({"inquiries": [)" + inquiry + "," + inquiry + "]}", "inquiries[1].name repeats the inquiry \"Vendors\" of AP"},
        {R"({"inquiries": [{"application": "AP", "name": "X", "file": "APV", "recordType": 1, "columns": []}]})",
         "inquiries[0].columns must name at least one field"},
        {R"({"inquiries": [{"application": "AP", "name": "X", "file": "APV", "columns": ["A"]}]})",
         "inquiries[0] has no \"recordType\""},
        {R"({"inquiries": [{"application": "AP", "name": "1234567890123456789012345678901", "file": "APV", "recordType": 1, "columns": ["A"]}]})",
         "inquiries[0].name must be 1 to 30 characters"},
        {R"({"reports": [{"application": "AP", "name": "X", "design": "../x"}]})",
         "reports[0].design must name a report design of the reports folder"},
    };
    for (const auto& [text, fault] : cases) {
        const std::string path = Write(folder, text);
        kwInqDefinitions definitions;
        std::string error;
        EXPECT_FALSE(kwInqDefinitions::Load(path, &definitions, &error)) << text;
        EXPECT_NE(error.find(path), std::string::npos) << "the file is named: " << error;
        EXPECT_NE(error.find(fault), std::string::npos) << "expected \"" << fault << "\" in: " << error;
        EXPECT_TRUE(definitions.Inquiries().empty() && definitions.Reports().empty()) << text;
    }
    kwInqDefinitions none;
    std::string error;
    EXPECT_TRUE(kwInqDefinitions::Load(folder + "/absent.json", &none, &error)) << "a missing file is no fault";
    std::filesystem::remove_all(folder);
}
