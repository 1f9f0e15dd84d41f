// Literals of the library's string table, with and without an access-key marker.
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"

#include "kwcommon/strings/kwStringTable.h"
#include "kwcommon/strings/kwStringTableRegistrar.h"

#include <gtest/gtest.h>

TEST(qvLiteral, LoadsTextsAndPlacesTheAccessKey) {
    EXPECT_EQ(qvLiteral(14, 0, "QVCORE.DLL").str(), "&New Issue");
    EXPECT_EQ(qvLiteral(14, -1, "QVCORE.DLL").str(), "New Issue");
    EXPECT_EQ(qvLiteral(14, 4, "QVCORE.DLL").str(), "New &Issue");
    EXPECT_EQ(qvLiteral(35, 2, "QVCORE.DLL").str(), "OK&") << "at the end of the text";
    EXPECT_EQ(qvLiteral(35, 40, "QVCORE.DLL").str(), "OK&") << "past the end: at the end";
    EXPECT_EQ(qvLiteral(3, -1, "QVCORE.DLL").str(), "") << "id 3 is not in this table";
    EXPECT_EQ(qvLiteral(14, -1, "NOTLOADED.DLL").str(), "");
    EXPECT_EQ(qvLiteral(14, -1, nullptr).str(), "New Issue")
        << "no module name searches the resource chain, which holds the library's table";

    static const kwStringEntry accented[] = {{1, "\xc3\x89t\xc3\xa9"}};
    kwStringTableRegistrar registrar("ACCENT.DLL", accented);
    EXPECT_EQ(qvLiteral(1, 1, "ACCENT.DLL").str(), "\xc3\x89&t\xc3\xa9")
        << "positions count characters, never splitting one";
}

TEST(qvLiteral, TheLibraryTableHoldsTheTrickyTextsExactly) {
    EXPECT_EQ(qvLiteral(1, -1, QVCORE_MODULE).str(), " - ");
    EXPECT_EQ(qvLiteral(34, -1, QVCORE_MODULE).str(), "Add %hd Day");
    EXPECT_EQ(qvLiteral(43, -1, QVCORE_MODULE).str(), "Quorvel Functions");
    EXPECT_EQ(qvLiteral(49, -1, QVCORE_MODULE).str(), "\n" + std::string(25, '-') + "\n");
    EXPECT_EQ(qvLiteral(51, -1, QVCORE_MODULE).str(), "9.8.26");
    EXPECT_EQ(qvLiteral(53, -1, QVCORE_MODULE).str(), "Due date");
    for (short id : {3, 4, 5, 6, 10, 11, 12, 42, 44, 54, 499, 516}) {
        EXPECT_EQ(KWLoadString(QVCORE_MODULE, id), "") << "id " << id << " is not in the table";
    }
    for (short id = 500; id <= 515; ++id) {
        EXPECT_FALSE(KWLoadString(QVCORE_MODULE, id).empty()) << "message " << id;
    }
    EXPECT_EQ(KWLoadString(QVCORE_MODULE, 507),
              "Notify message could not be sent.  Make sure you are logged on to email and "
              "re-send the issue.#error_num#");
}
