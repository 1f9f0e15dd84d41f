// Resource ids of the main program: its frame's menu and accelerator table, and its toolbar
// bitmaps.
#pragma once

enum QVResourceId : unsigned short {
    IDR_MAINFRAME = 1, // menu and accelerator table of the frame

    IDB_BUILD_QUERY = 3,
    IDB_SELECT_COLUMNS = 13,
    IDB_ISSUE_FORM = 14,
    IDB_ISSUE_GRID = 15,
    IDB_APPLICATIONS = 24,
};
