// Libraries loaded by logical name into handles, and their functions found by handle.
#include "kwcommon/xdll_load.h"

#include <gtest/gtest.h>

TEST(xdll_load, HandlesByNameAndFoldersThatHoldNothing) {
    xdll_set_search_folders({"/nonexistent-folder"});
    EXPECT_EQ(xdll_load_dll("KWINQ"), 0) << "not in the only folder looked in";
    EXPECT_NE(xdll_last_error().find("libkwinq.so"), std::string::npos) << xdll_last_error();
    EXPECT_EQ(xdll_load_dll(""), 0);

    xdll_set_search_folders({QV_BIN_DIR});
    const short handle = xdll_load_dll("KWCOMMON.DLL");
    ASSERT_GT(handle, 0) << xdll_last_error();
    EXPECT_EQ(xdll_last_error(), "");
    EXPECT_EQ(xdll_load_dll("kwcommon"), handle) << "the same library, the same handle";
    EXPECT_EQ(xdll_get_function(handle, "no_such_function"), nullptr);
    EXPECT_EQ(xdll_get_function(0, "xdll_load_dll"), nullptr) << "no library behind handle 0";
    EXPECT_EQ(xdll_get_function(static_cast<short>(handle + 1), "xdll_load_dll"), nullptr);
    xdll_set_search_folders({});
}
