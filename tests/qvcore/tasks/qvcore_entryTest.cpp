// The library's load and unload lines and its link object in the framework's registry.
#include "qvcore/tasks/qvcore_entry.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwObjectRegistry.h"
#include "kwapp/debug/kwDebugOutput.h"
#include "kwapp/resources/kwDynLinkLibrary.h"
#include "qvcore/tasks/qvcore_DynLinkObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

TEST(qvcoreEntry, LoadingTheLibraryWroteItsAttachLine) {
    const std::string path = qvcore_ModulePath();
    EXPECT_EQ(std::filesystem::path(path).filename(), "libqvcore.so");
    EXPECT_TRUE(std::filesystem::path(path).is_absolute()) << path;
    const std::string expected = path + " 13.1.24 process attach.\n";
    const auto lines = kwDebugLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
        << "no line \"" << expected << "\" among " << lines.size() << " debug lines";
}

TEST(qvcoreEntryDeathTest, UnloadingTheLibraryWritesItsDetachLine) {
    const std::string expected = qvcore_ModulePath() + " 13\\.1\\.24 process detach\\.";
    EXPECT_EXIT(
        {
            ::setenv("QV_DEBUG", "1", 1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), expected);
}

TEST(qvcoreEntry, LinkObjectJoinsTheResourceChainAndHoldsTheLibrary) {
    kwObjectRegistry& registry = kwObjectRegistry::Instance();
    EXPECT_EQ(registry.NumberOf(QVCORE_DYNLINK_TYPE), 500000);
    kwDynLinkLibrary::Detach(QVCORE_MODULE);
    {
        kwApplication app("Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26"));
        app.CreateLibraryLinks();
        EXPECT_GE(app.LibraryLinkCount(), 1u);
        kwDynLinkLibrary* link = kwDynLinkLibrary::Find(QVCORE_MODULE);
        ASSERT_NE(link, nullptr) << "the link object linked the library in";
        EXPECT_EQ(link->Path(), qvcore_ModulePath());
        EXPECT_EQ(qvcore_init_ext_dll(), link) << "linked once, whoever asks";
        const auto order = kwDynLinkLibrary::SearchOrder();
        EXPECT_NE(std::find(order.begin(), order.end(), QVCORE_MODULE), order.end());

        auto object = registry.Create(QVCORE_DYNLINK_TYPE);
        ASSERT_NE(object, nullptr);
        EXPECT_TRUE(static_cast<qvcore_DynLinkObject*>(object.get())->HoldsLibrary());
    }
    EXPECT_NE(kwDynLinkLibrary::Find(QVCORE_MODULE), nullptr) << "the link lasts as long as the library";
}
