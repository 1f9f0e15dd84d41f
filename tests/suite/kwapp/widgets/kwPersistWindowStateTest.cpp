// A window comes back where it was left, across runs; a window never saved keeps its own.
#include "kwapp/widgets/kwPersistWindowState.h"

#include "../KwappTestSupport.h"
#include "kwapp/app/kwUserSettings.h"

#include <gtest/gtest.h>

#include <QMainWindow>

TEST(kwPersistWindowState, RestoresSizeAndPositionSavedEarlier) {
    kwapptest::App();
    kwapptest::UserFolders folders;
    {
        QMainWindow window;
        window.setGeometry(40, 60, 640, 420);
        EXPECT_FALSE(kwPersistWindowState(&window, "ZZ.frame").Restore()) << "nothing stored yet";
        EXPECT_EQ(window.size(), QSize(640, 420));
        ASSERT_TRUE(kwPersistWindowState(&window, "ZZ.frame").Save());
        EXPECT_FALSE(kwPersistWindowState(&window, "ZZ.frame").WasMaximized());
    }
    QMainWindow next;
    next.resize(300, 200);
    ASSERT_TRUE(kwPersistWindowState(&next, "ZZ.frame").Restore());
    EXPECT_EQ(next.size(), QSize(640, 420));
    EXPECT_EQ(kwPersistWindowState(&next, "other").Restore(), false) << "placements are kept per key";

    kwUserSettings::Put("window.ZZ.frame.geometry", "bm90IGEgZ2VvbWV0cnk=");
    QMainWindow damaged;
    damaged.resize(300, 200);
    EXPECT_FALSE(kwPersistWindowState(&damaged, "ZZ.frame").Restore());
    EXPECT_EQ(damaged.size(), QSize(300, 200)) << "an unreadable placement changes nothing";
}
