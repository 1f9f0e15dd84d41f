// The View Issues data rules as grid callbacks.
#include "qvcore/viewissues/viDataRules.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvQueryInfo.h"
#include "qvcore/store/qvErrorMessage.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvNextIssueNumber.h"
#include "qvcore/viewissues/viAppData.h"
#include "qvcore/viewissues/viAutoFilter.h"

#include "kwdm/callbacks/kwdmCallbackManager.h"
#include "kwdm/callbacks/kwdmEvents.h"
#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/data/kwdmFileManager.h"
#include "kwdm/data/kwdmQueryRow.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwNum.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"
#include "kwcommon/xs.h"

namespace {

constexpr const char* kIssueFile = "QVI";
constexpr const char* kNode = "issue";
constexpr const char* kModule = "QVCORE.DLL";
constexpr short kIssueRecord = QV_RECORD_ISSUE;
constexpr short kStatusKey = QV_KEY_STATUS;

viAppData* DataOf(kwdmCallbackInfo& info) { return dynamic_cast<viAppData*>(info.AppData()); }

short IssueFileOf(kwdmCallbackInfo& info) { return info.QueryRow().GetFileManager().FileNum(kIssueFile); }

bool IsClosed(const std::string& status) { return x_equal_nocase(status, "closed"); }

std::string FieldText(short file, const char* name) {
    x_value_def value;
    xio_get_field(file, 0, xio_num(file, 0, 0, name), &value);
    return value.AsText();
}

short Nothing(kwdmCallbackInfo&) { return 0; }

// LASTID raised to the highest issue number when it is below it, or set to 0 for a file
// without issues, so that numbering never hands out a number in use.
short RepairLastId(short file) {
    qvNextIssueNumber header(file);
    if (!header.LockHeader()) return 1;
    const short lastField = xio_num(file, 0, 0, "LASTID");
    x_value_def value;
    xio_get_field(file, 0, lastField, &value);
    const double last = value.AsNumber();
    double highest = 0;
    const short status = xio_rd_last(file, kIssueRecord, QV_KEY_ISSUE_NUMBER, 0);
    if (status == XIO_OK) {
        xio_get_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &value);
        highest = value.AsNumber();
    } else if (status != XIO_NO_RECORD) {
        xio_free_header(file, 1);
        return 0;
    }
    if (last < highest || highest == 0) {
        value.SetNumber(highest);
        xio_put_field(file, 0, lastField, &value);
        if (const short written = xio_wr_header(file, 1)) {
            xio_io_error(file, written);
            xio_free_header(file, 1);
        }
    } else {
        xio_free_header(file, 1);
    }
    return 0;
}

} // namespace

void viNotifyCreate(kwdmCallbackManager& callbacks) {
    callbacks.SetViewCallback(KWDM_VIEW_OPEN, viOnViewOpen);
    callbacks.SetViewCallback(KWDM_VIEW_REREAD, Nothing);
    callbacks.SetViewCallback(KWDM_VIEW_CLOSE, viOnViewClose);
    callbacks.SetRowCallback(KWDM_ROW_DELETE, kNode, viConfirmDelete);
    callbacks.SetRowCallback(KWDM_ROW_QUALIFY, kNode, viRowFilter);
    callbacks.SetRowCallback(KWDM_ROW_ENTER, kNode, viOnRowEnter);
    callbacks.SetRowCallback(KWDM_ROW_LEAVE, kNode, Nothing);
    callbacks.SetRowCallback(KWDM_ROW_WRITE, kNode, viOnRowWrite);
    callbacks.SetColCallback(KWDM_COLUMN_CHANGED, "STATUS", viOnStatusChange);
}

short viLoadConditions(viAppData& data, short issueFile) {
    if (data.Conditions()) xc_term_conditions(data.Conditions(), 1);
    xc_cond_init_def block{};
    block.programNumber = static_cast<int16_t>(data.CommandId());
    block.fileNumber = issueFile;
    block.recordType = kIssueRecord;
    const short handle = xc_init_conditions(&block, 1);
    data.SetConditions(handle);
    if (!handle) return 0;
    qvQueryInfo queries(static_cast<short>(data.CommandId()));
    xc_cond_def* conditions = nullptr;
    const short count = queries.GetCondInfo(data.QueryName(), &conditions);
    for (short i = 0; i < count; ++i) xc_put_condition(handle, &conditions[i]);
    if (conditions) _qfi_free(conditions);
    return handle;
}

short viOnViewOpen(kwdmCallbackInfo& info) {
    viAppData* data = DataOf(info);
    kwdmViewCtrl& grid = info.ControlMgr();
    const short file = grid.RootDataBuffer()->Files().FileNum(kIssueFile);
    if (data) {
        viLoadConditions(*data, file);
        data->SetGridControl(&grid);
    }
    return RepairLastId(file);
}

short viOnViewClose(kwdmCallbackInfo& info) {
    viAppData* data = DataOf(info);
    if (data && data->Conditions()) {
        xc_term_conditions(data->Conditions(), 1);
        data->SetConditions(0);
    }
    if (!Prefs::DeleteWhenClosed()) return 0;
    const short file = IssueFileOf(info);
    const short program = data ? static_cast<short>(data->CommandId()) : 0;
    x_wait_on("");
    xio_clr_record(file, kIssueRecord);
    const x_value_def closed = x_value_def::OfText("closed");
    xio_put_field(file, 0, xio_num(file, 0, 0, "STATUS"), &closed);
    short status = xio_rd_ge(file, kIssueRecord, kStatusKey, 1);
    while (status == XIO_OK) {
        if (!IsClosed(FieldText(file, "STATUS"))) {
            xio_unlock_record(file, kIssueRecord, 1);
            break;
        }
        if (viPassesAutoFilter(file) && viClosedByCurrentOperator(file)) {
            qvIssue issue(file, program, false);
            x_value_def number;
            xio_get_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &number);
            issue.Value(QV_ISSUE).FromXval(number);
            issue.DeleteLinks();
            if (const short deleted = xio_del_record(file, kIssueRecord)) {
                xio_io_error(file, deleted);
                break;
            }
        } else {
            xio_unlock_record(file, kIssueRecord, 1);
        }
        status = xio_rd_next(file, kIssueRecord, kStatusKey, 1);
    }
    x_wait_off();
    return 0;
}

short viConfirmDelete(kwdmCallbackInfo& info) {
    qvErrorMessage question(qvMessageId(503), XW_YESNO, kModule);
    if (question.Answer() != 0) return 1;
    viAppData* data = DataOf(info);
    kwdmQueryRow& row = info.QueryRow();
    x_wait_on("");
    qvIssue issue(IssueFileOf(info), data ? static_cast<short>(data->CommandId()) : 0, false);
    // The values as stored: the links were made with them.
    for (int n = 1; n < qvIssue::kValueCount; ++n) {
        const kwdmCell* cell = row.Data(qvIssue::FieldName(n));
        if (!cell) continue;
        if (!issue.Value(n).CopyFrom(cell->SavedValue())) issue.Value(n).Set(cell->SavedText());
    }
    issue.DeleteLinks();
    x_wait_off();
    return KWDM_DELETE_ROW;
}

short viRowFilter(kwdmCallbackInfo& info) {
    viAppData* data = DataOf(info);
    const short handle = data ? data->Conditions() : 0;
    const bool active = handle && xc_conditions_exist(handle, 0, 0);
    if (info.Probe()) return active ? 1 : 0;
    if (!active) return 0;
    return xc_meets_conditions(handle, IssueFileOf(info), kIssueRecord, info.QueryRow().Index(), 0, 1) ? 0 : 1;
}

short viOnRowEnter(kwdmCallbackInfo& info) {
    kwdmQueryRow& row = info.QueryRow();
    if (row.IsNewRow()) {
        viSetStamps(row, "OPERCRE", "DATECRE", "TIMECRE", false, false);
        if (kwdmCell* due = row.Data("DUEDATE")) due->SetValue(kwDate(xd_get_date()), false);
    } else if (viAppData* data = DataOf(info); data && data->FormOpen()) {
        viMarkReviewed(row);
    }
    return 0;
}

short viOnRowWrite(kwdmCallbackInfo& info) {
    kwdmQueryRow& row = info.QueryRow();
    if (row.IsNewRow()) {
        const double number = qvNextIssueNumber(IssueFileOf(info)).Next();
        if (number <= 0) return 1;
        if (kwdmCell* issue = row.Data("ISSUE")) issue->SetValue(kwNum<long>(static_cast<long>(number)), false);
    }
    viMarkReviewed(row);
    return 0;
}

void viMarkReviewed(kwdmQueryRow& row) {
    if (row.IsNewRow()) return;
    kwdmCell* reviewed = row.Data("REVIEWE");
    if (reviewed && reviewed->NewValue().IsNull()) reviewed->SetValue(kwBool(true), true);
}

void viSetStamps(kwdmQueryRow& row, const char* operatorColumn, const char* dateColumn, const char* timeColumn,
                 bool clear, bool mark) {
    xs_oper_def oper{};
    if (!clear) xs_get_oper_def(&oper);
    if (kwdmCell* cell = row.Data(operatorColumn)) cell->SetValue(kwAlpha(clear ? "" : oper.id), mark);
    if (kwdmCell* cell = row.Data(dateColumn))
        cell->SetValue(clear ? kwDate::Empty() : kwDate(xd_get_date()), mark);
    if (kwdmCell* cell = row.Data(timeColumn)) cell->SetValue(clear ? kwTime() : kwTime(xd_get_time()), mark);
}

short viOnStatusChange(kwdmCallbackInfo& info) {
    kwdmQueryRow& row = info.QueryRow();
    const kwdmCell* status = row.Data("STATUS");
    if (!status) return 0;
    const bool closedNow = IsClosed(status->NewText());
    const bool closedBefore = IsClosed(status->OldText());
    const bool closedStored = IsClosed(status->SavedText());
    const bool mark = !row.IsNewRow();
    if (!closedNow) {
        viSetStamps(row, "OPERCLO", "DATECLO", "TIMECLO", true, mark);
    } else if (closedBefore || !closedStored) {
        viSetStamps(row, "OPERCLO", "DATECLO", "TIMECLO", false, mark);
    } else {
        // Closed again before it was saved open: the stored closing stamps stand.
        for (const char* name : {"OPERCLO", "DATECLO", "TIMECLO"})
            if (kwdmCell* cell = row.Data(name)) {
                const std::unique_ptr<kwData> saved = cell->SavedValue().Clone();
                cell->SetValue(*saved, true);
            }
    }
    return 0;
}
