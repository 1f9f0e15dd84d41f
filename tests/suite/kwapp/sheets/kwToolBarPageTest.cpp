// The Customize sheet's toolbar page: its template's control ids are the code's.
#include "kwapp/sheets/kwToolBarPage.h"

#include "UiControlIds.h"

#include <gtest/gtest.h>

TEST(kwToolBarPageTemplate, ControlIdsMatchTheOnesTheCodeUses) {
    const std::map<std::string, int> expected{{"taskList", kwToolBarPage::IDC_TASK_LIST}};
    EXPECT_EQ(UiControlIds("suite/kwapp/sheets/kwToolBarPage.ui"), expected);
}
