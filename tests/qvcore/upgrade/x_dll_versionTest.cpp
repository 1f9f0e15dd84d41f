// What the upgrade host reads first: the library's name, version and lowest data
// version, exported under plain names.
#include "qvcore/upgrade/qvUpgrade.h"
#include "qvcore/upgrade/qvVersionResource.h"

#include "qvkit/qvVersion.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <string>

TEST(x_dll_version, NamesTheLibraryFromItsVersionResourceCutToTheBuffers) {
    char name[64] = "?";
    char version[16] = "?";
    x_dll_version(name, sizeof name, version, sizeof version);
    EXPECT_STREQ(name, QVCORE_LIBRARY_DESCRIPTION);
    EXPECT_STREQ(version, kwBase::Version(QV_VERSION).ToString().c_str());
    EXPECT_STREQ(version, "13.1.24");

    char shortName[5] = "????";
    char shortVersion[3] = "??";
    x_dll_version(shortName, sizeof shortName, shortVersion, sizeof shortVersion);
    EXPECT_STREQ(shortName, "qvco");
    EXPECT_STREQ(shortVersion, "13");
    char untouched[4] = "abc";
    x_dll_version(untouched, 0, nullptr, 0);
    EXPECT_STREQ(untouched, "abc") << "a buffer of no size is left alone";
}

TEST(x_dll_version, FallsBackWhenTheResourceCannotBeRead) {
    char name[64], version[16];
    qvCopyDllVersion(nullptr, name, sizeof name, version, sizeof version);
    EXPECT_STREQ(name, "qvcore Library");
    EXPECT_STREQ(version, "XX.XX.XX");
    const qvVersionResource broken{"Issue services", "13.x"};
    qvCopyDllVersion(&broken, name, sizeof name, version, sizeof version);
    EXPECT_STREQ(name, "Issue services");
    EXPECT_STREQ(version, "XX.XX.XX") << "a version that does not normalise";
    const qvVersionResource padded{"", "013.01.024"};
    qvCopyDllVersion(&padded, name, sizeof name, version, sizeof version);
    EXPECT_STREQ(name, "qvcore Library");
    EXPECT_STREQ(version, "13.1.24") << "normalised as kwBase::Version writes it";
}

TEST(x_min_data_version, IsLiteral51CutToTheBuffer) {
    char buffer[32] = "?";
    x_min_data_version(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "9.8.26");
    char small[4] = "???";
    x_min_data_version(small, sizeof small);
    EXPECT_STREQ(small, "9.8");
}

TEST(x_upgrade_dllcall, EntryPointsCarryPlainNames) {
    for (const char* name : {X_DLL_VERSION_NAME, X_MIN_DATA_VERSION_NAME, X_UPGRADE_DLLCALL_NAME})
        EXPECT_NE(dlsym(RTLD_DEFAULT, name), nullptr) << name << " is not exported undecorated";
    EXPECT_EQ(dlsym(RTLD_DEFAULT, X_UPGRADE_DLLCALL_NAME), reinterpret_cast<void*>(&x_upgrade_dllcall));
}
