// Libraries found and loaded by name at run time.
#include "kwcommon/xdll.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

TEST(xdll, LogicalNamesBecomeFileNames) {
    EXPECT_EQ(xdll_file_name("QVCORE.DLL"), "libqvcore.so");
    EXPECT_EQ(xdll_file_name("KWINQ"), "libkwinq.so");
    EXPECT_EQ(xdll_file_name("libmapi.so"), "libmapi.so");
    EXPECT_EQ(xdll_file_name("libz.so.1"), "libz.so.1");
    EXPECT_EQ(xdll_file_name("/opt/suite/libqvcore.so"), "/opt/suite/libqvcore.so");
}

TEST(xdll, LoadsNextToTheProgramAndFindsEntriesByName) {
    xdll_library library;
    std::string error;
    ASSERT_TRUE(library.Load("KWCOMMON.DLL", &error)) << error;
    EXPECT_EQ(library.File(), std::string(QV_BIN_DIR) + "/libkwcommon.so") << "found beside the test program";
    using FileName = std::string (*)(std::string_view);
    // The entry's name as this compiler spells it: the helper looks names up as given.
    const auto fileName = library.Entry<FileName>("_Z14xdll_file_nameB5cxx11St17basic_string_viewIcSt11char_traitsIcEE");
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(fileName("MAPI"), "libmapi.so");
    EXPECT_EQ(library.Symbol("no_such_entry"), nullptr);

    xdll_library moved = std::move(library);
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_TRUE(moved.IsLoaded());
    moved.Unload();
    EXPECT_EQ(moved.Symbol("xdll_file_name"), nullptr);

    xdll_library missing;
    EXPECT_FALSE(missing.Load("NOSUCHLIB.DLL", &error));
    EXPECT_NE(error.find("libnosuchlib.so"), std::string::npos) << error;
    EXPECT_FALSE(missing.IsLoaded());
}
