// Where report designs are found: the file control's "RPT" folder first, then the reports
// folder; names in any case; paths taken as they are.
#include "PathTestHelpers.h"
#include "TestCompany.h"

#include "kwcommon/paths/kwPath.h"

#include <gtest/gtest.h>

TEST(kwPathReports, LocatesDesignsWithAndWithoutTheFileControl) {
    TestCompany company(false);
    EXPECT_EQ(kwPath::Reports(""), company.Path("reports/"));
    MakeFile(company.Path("reports/Form.RPT"));
    MakeFile(company.Path("reports/Both.RPT"));
    MakeFile(company.Path("elsewhere/Own.RPT"));

    std::string located = "untouched";
    EXPECT_FALSE(kwPath::LocateReport("Form", located, false)) << "no extension tried";
    EXPECT_FALSE(kwPath::LocateReport("Missing", located, true));
    EXPECT_FALSE(kwPath::LocateReport("", located, true));
    EXPECT_EQ(located, "untouched") << "a miss leaves the result alone";
    EXPECT_TRUE(kwPath::LocateReport("FORM", located, true));
    EXPECT_EQ(located, company.Path("reports/Form.RPT")) << "any case, the real name back";
    EXPECT_TRUE(kwPath::LocateReport(company.Path("elsewhere/Own"), located, true));
    EXPECT_EQ(located, company.Path("elsewhere/Own.RPT")) << "a path is taken as it is";
    EXPECT_FALSE(kwPath::LocateReport(company.Path("elsewhere/Form"), located, true))
        << "and not searched for elsewhere";

    MakeFile(company.Path("reports/TWIN.RPT"));
    MakeFile(company.Path("reports/Twin.rpt"));
    EXPECT_FALSE(kwPath::LocateReport("twin.rpt", located, false))
        << "two files differing only in case: which one was meant is unknown";

    SetReportControl(company.Folder(), "designs");
    MakeFile(company.Path("designs/Both.RPT"));
    EXPECT_TRUE(kwPath::LocateReport("Both", located, true));
    EXPECT_EQ(located, company.Path("designs/Both.RPT")) << "the file control's folder first";
    EXPECT_TRUE(kwPath::LocateReport("Form", located, true));
    EXPECT_EQ(located, company.Path("reports/Form.RPT")) << "then the reports folder";
    EXPECT_EQ(kwPath::Reports(""), company.Path("reports/")) << "which stays where it is";
}
