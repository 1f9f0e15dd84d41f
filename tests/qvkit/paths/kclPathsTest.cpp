// The path functions: universal form, splitting, drive completion through the drive seam,
// default places, the ".RPT" extension, validating and shortening design names.
#include "PathTestHelpers.h"
#include "TestCompany.h"

#include "qvkit/paths/kclPaths.h"
#include "qvkit/paths/kwUniversalName.h"

#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {
struct Buffer {
    char text[kclPathBufferSize] = {};
    explicit Buffer(const std::string& value) {
        std::snprintf(text, sizeof(text), "%s", value.c_str());
    }
    std::string str() const { return text; }
};

std::string AddDrive(const std::string& path) {
    Buffer buffer(path);
    kclAddDrive(buffer.text);
    return buffer.str();
}
} // namespace

TEST(kclPaths, UniversalFormAndSplitting) {
    TestCompany company(false);
    std::filesystem::create_directory_symlink(company.Path("dict"), company.Path("link"));
    EXPECT_EQ(kwUniversalName(company.Path("link/./x/../a.dct")), company.Path("dict/a.dct"))
        << "links, '.' and '..' resolved";
    EXPECT_EQ(kwUniversalName(company.Path("dict//")), company.Path("dict/"))
        << "a folder keeps one trailing separator";

    Buffer folder("stale");
    Buffer name("");
    EXPECT_EQ(kclParsePathname(folder.text, name.text, "Form.rpt"), 1);
    EXPECT_EQ(folder.str(), "") << "a bare name has an empty folder, not the old text";
    EXPECT_EQ(name.str(), "Form.rpt");
    EXPECT_EQ(kclParsePathname(folder.text, name.text, company.Path("link/Form.rpt")), 1);
    EXPECT_EQ(folder.str(), company.Path("dict/")) << "split in universal form";

    for (const std::string& bad :
         {std::string("/srv/co/"), std::string(), "/srv/" + std::string(256, 'n'),
          "/" + std::string(255, 'f') + "/x"}) {
        EXPECT_EQ(kclParsePathname(folder.text, name.text, bad), 0) << bad.size();
    }
    EXPECT_EQ(name.str(), "Form.rpt") << "a failed split writes nothing";
    EXPECT_EQ(kclParsePathname(folder.text, name.text, "/" + std::string(255, 'n')), 1);
}

TEST(kclPaths, DriveRulesThroughTheDriveSeam) {
    TestCompany company(false);
    xio_open_def def{};
    std::snprintf(def.abbrev, sizeof(def.abbrev), "QVI");
    std::snprintf(def.path, sizeof(def.path), "%s", company.Path("issues.qvi").c_str());
    def.create = 1;
    short file = 0;
    ASSERT_EQ(xio_open_file(&def, &file), XIO_OK);
    char path[kclPathBufferSize] = "old";
    kclGetFilePathname(file, path, sizeof(path));
    EXPECT_EQ(std::string(path), kwUniversalName(company.Path("issues.qvi")));

    EXPECT_EQ(kclGetFileDrive(file), '\0') << "no drive letters on this platform";
    EXPECT_EQ(AddDrive("/co/Form.rpt"), "/co/Form.rpt");
    {
        DriveScope drive('C');
        EXPECT_EQ(kclGetFileDrive(file), 'C') << "a path without a drive is on the current one";
        EXPECT_EQ(AddDrive("/co/Form.rpt"), "C:/co/Form.rpt");
        for (const char* kept : {"//server/share/Form.rpt", "co/Form.rpt", "", "D:/Form.rpt"}) {
            EXPECT_EQ(AddDrive(kept), kept) << "network, relative, empty and drive paths";
        }
        const std::string full = "/" + std::string(253, 'x');
        EXPECT_EQ(AddDrive(full), full) << "no room for the drive: left whole rather than cut";
    }
    xio_cls_file(file);

    std::unique_ptr<char[]> none(kclGetDefaultPath("rpt"));
    EXPECT_STREQ(none.get(), "*.rpt") << "no file control: a pattern of the abbreviation";
    SetReportControl(company.Folder(), "designs/./current");
    std::unique_ptr<char[]> controlled(kclGetDefaultPath("rpt"));
    EXPECT_EQ(std::string(controlled.get()), company.Path("designs/current"));
    DriveScope drive('C');
    std::unique_ptr<char[]> withDrive(kclGetDefaultPath("RPT"));
    EXPECT_EQ(std::string(withDrive.get()), "C:" + company.Path("designs/./current"));
}

TEST(kclPaths, RptExtension) {
    auto add = [](const std::string& name) {
        Buffer buffer(name);
        kclAddRptExtension(buffer.text);
        return buffer.str();
    };
    auto remove = [](const std::string& name) {
        Buffer buffer(name);
        kclRemoveRptExtension(buffer.text);
        return buffer.str();
    };
    EXPECT_EQ(add("Form View"), "Form View.RPT");
    EXPECT_EQ(add("Form View.rpt"), "Form View.rpt") << "a name ending in .rpt is left alone";
    EXPECT_EQ(add("Form.Rpt"), "Form.Rpt.RPT") << "only the two spellings count";
    EXPECT_EQ(add(std::string(253, 'n')), std::string(253, 'n')) << "no room: unchanged";
    EXPECT_EQ(remove("Form.RPT"), "Form");
    EXPECT_EQ(remove("Old.rpt.RPT"), "Old.rpt") << ".RPT is looked for first";
}

TEST(kclPaths, ValidateAndStripDesignNames) {
    TestCompany company(false);
    MakeFile(company.Path("reports/QV Form View.RPT"));
    const std::string located = company.Path("reports/QV Form View.RPT");

    Buffer name("qv form view");
    EXPECT_EQ(kclValidateDesignNameAndAddPath(name.text, true), 1) << "any case, .RPT added";
    EXPECT_EQ(name.str(), located);
    Buffer exact("QV Form View");
    EXPECT_EQ(kclValidateDesignNameAndAddPath(exact.text, false), 0) << "no extension tried";
    const std::string roundabout = company.Path("reports/../reports/Missing");
    Buffer missing(roundabout);
    EXPECT_EQ(kclValidateDesignNameAndAddPath(missing.text, true), 0);
    EXPECT_EQ(missing.str(), company.Path("reports/Missing")) << "universal form regardless";
    Buffer untouched(roundabout);
    EXPECT_EQ(kclValidateDesignName(untouched.text), 0);
    EXPECT_EQ(untouched.str(), roundabout) << "unchanged when not found";

    SetReportControl(company.Folder(), "designs");
    auto strip = [](const std::string& path, short size = kclPathBufferSize) {
        Buffer buffer(path);
        kclStripReportPathFromFilename(buffer.text, size);
        return buffer.str();
    };
    EXPECT_EQ(strip(company.Path("reports/Form.RPT")), "Form.RPT");
    EXPECT_EQ(strip(company.Path("designs/List.RPT")), "List.RPT");
    EXPECT_EQ(strip(company.Path("reports/old/../../other/List.RPT")),
              company.Path("other/List.RPT"))
        << "any other folder stays, in universal form";
    DriveScope drive('C');
    EXPECT_EQ(strip(company.Path("reports/Form.RPT")), "Form.RPT")
        << "name and folders are completed with the same drive";
    EXPECT_EQ(strip(company.Path("other/List.RPT")), "C:" + company.Path("other/List.RPT"));
    EXPECT_EQ(strip("/a/b.RPT", 10), "/a/b.RPT") << "a result that does not fit leaves the name";
}
