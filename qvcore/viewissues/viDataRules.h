// The data rules of View Issues, installed as the grid view's callbacks: issue numbering,
// creation and closing stamps, the default due date, the reviewed mark, confirmation and
// link clean-up on delete, the query's conditions as the row filter, the repair of the
// issue counter when the window opens and the deletion of closed issues when it closes.
#pragma once

#include <string>

class kwdmCallbackInfo;
class kwdmCallbackManager;
class kwdmQueryRow;
class viAppData;

// The view's notify-create function: registers the callbacks below.
void viNotifyCreate(kwdmCallbackManager& callbacks);

short viOnViewOpen(kwdmCallbackInfo& info);
short viOnViewClose(kwdmCallbackInfo& info);
short viConfirmDelete(kwdmCallbackInfo& info);
short viRowFilter(kwdmCallbackInfo& info);
short viOnRowEnter(kwdmCallbackInfo& info);
short viOnRowWrite(kwdmCallbackInfo& info);
short viOnStatusChange(kwdmCallbackInfo& info);

// Marks an existing row reviewed (and changed) when it is not yet.
void viMarkReviewed(kwdmQueryRow& row);
// Stamps three columns with the current operator, today and now, or (clear) empties them;
// mark: the row counts as changed.
void viSetStamps(kwdmQueryRow& row, const char* operatorColumn, const char* dateColumn, const char* timeColumn,
                 bool clear, bool mark);
// Starts a condition set for the issue file and loads the current query's conditions
// into it (replacing the previous set); answers the handle.
short viLoadConditions(viAppData& data, short issueFile);
