// String tables: lookup by module and id, the resource chain, cutting, registration life.
#include "kwcommon/strings/kwAppAbbreviation.h"
#include "kwcommon/strings/kwStringTable.h"
#include "kwcommon/strings/kwStringTableRegistrar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {
const kwStringEntry mainTable[] = {
    {3, "Main three"},
    {57344, "Frame title"},
};
const kwStringEntry libraryTable[] = {
    {3, "Library three"},
    {4, "Library four"},
    {7, "Seven"},
};

std::string Repeat(const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}
} // namespace

TEST(kwStringTable, LooksUpByModuleAndIdAndFollowsTheChain) {
    kwStringTableRegistrar library("TESTLIB.DLL", libraryTable);
    kwStringTableRegistrar program("TESTPROG.EXE", mainTable);
    kwSetMainModuleName("TESTPROG.EXE");

    EXPECT_EQ(KWLoadString("TESTLIB.DLL", 4), "Library four");
    EXPECT_EQ(KWLoadString("testlib.dll", 7), "Seven") << "module names ignore letter case";
    EXPECT_EQ(KWLoadString("TESTLIB.DLL", 5), "") << "a missing id gives the empty text";
    EXPECT_EQ(KWLoadString("NOSUCH.DLL", 4), "") << "an unregistered module gives nothing";
    EXPECT_EQ(KWLoadString("TESTPROG.EXE", static_cast<short>(57344)), "Frame title")
        << "ids above 32767 travel as their 16-bit value";

    EXPECT_EQ(KWLoadString("", 3), "Main three") << "the program's own table comes first";
    EXPECT_EQ(KWLoadString("", 4), "Library four") << "then the libraries' tables";
    EXPECT_EQ(KWLoadString("", 99), "");
    kwSetMainModuleName("QV.EXE");
}

TEST(kwStringTable, CutsLongTextsOnACharacterBoundary) {
    // 254 ASCII bytes followed by a two-byte character: byte 255 would split it.
    static const std::string straddling = Repeat("a", 254) + "\xc3\xa9" + "tail";
    static const std::string exact = Repeat("b", 255);
    static const std::string longer = Repeat("c", 300);
    static const kwStringEntry table[] = {
        {1, straddling.c_str()}, {2, exact.c_str()}, {3, longer.c_str()}};
    kwStringTableRegistrar registrar("LONG.DLL", table);

    EXPECT_EQ(KWLoadString("LONG.DLL", 1), Repeat("a", 254))
        << "a character that does not fit whole is left out";
    EXPECT_EQ(KWLoadString("LONG.DLL", 2), exact) << "255 bytes fit";
    EXPECT_EQ(KWLoadString("LONG.DLL", 3).size(), KW_STRING_MAX);
}

TEST(kwStringTable, RegistrationLastsAsLongAsTheRegistrar) {
    const kwStringEntry first[] = {{1, "first"}};
    const kwStringEntry second[] = {{1, "second"}};
    {
        kwStringTableRegistrar registrar("SCOPED.DLL", first);
        EXPECT_TRUE(kwHasStringTable("SCOPED.DLL"));
        EXPECT_EQ(KWLoadString("SCOPED.DLL", 1), "first");
    }
    EXPECT_FALSE(kwHasStringTable("SCOPED.DLL")) << "unloading withdraws the table";
    EXPECT_EQ(KWLoadString("SCOPED.DLL", 1), "");

    auto older = std::make_unique<kwStringTableRegistrar>("TWICE.DLL", first);
    kwStringTableRegistrar newer("TWICE.DLL", second);
    EXPECT_EQ(KWLoadString("TWICE.DLL", 1), "second") << "a new registration replaces";
    older.reset();
    EXPECT_EQ(KWLoadString("TWICE.DLL", 1), "second")
        << "the replaced registrar must not withdraw its successor's table";
}

TEST(kwAppAbbreviation, DefaultsToQvAndCanBeSet) {
    EXPECT_EQ(kwAppAbbreviation(), "QV");
    kwSetAppAbbreviation("AP");
    EXPECT_EQ(kwAppAbbreviation(), "AP");
    kwSetAppAbbreviation("QV");
}
