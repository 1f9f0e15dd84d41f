// The events a view control calls back for, by kind and number.
//
// View events:  2 the view is created and its data open; 4 the rows were read again
//               (Requery, Refresh); 9 the view is closing.
// Row events:   0 the focused row is about to be written (nonzero keeps it unwritten);
//               3 before a delete (KWDM_DELETE_ROW deletes it, anything else keeps it);
//               7 a row became the focused row; 8 the focused row was left;
//               9 qualification: nonzero skips the candidate record, which is in the
//               file's record buffer. A qualification callback is also called once
//               whenever the rows are read anew with Probe() set: it answers nonzero
//               when it may skip records at all, so that rows it never skips can be
//               placed by the key's index instead of being counted one by one.
// Column events: 0 a user changed the column's value in the focused row.
#pragma once

enum kwdmViewEvent : short {
    KWDM_VIEW_OPEN = 2,
    KWDM_VIEW_REREAD = 4,
    KWDM_VIEW_CLOSE = 9,
};

enum kwdmRowEvent : short {
    KWDM_ROW_WRITE = 0,
    KWDM_ROW_DELETE = 3,
    KWDM_ROW_ENTER = 7,
    KWDM_ROW_LEAVE = 8,
    KWDM_ROW_QUALIFY = 9,
};

enum kwdmColumnEvent : short {
    KWDM_COLUMN_CHANGED = 0,
};

// The answer of a before-delete callback that lets the row be deleted.
constexpr short KWDM_DELETE_ROW = 776;
