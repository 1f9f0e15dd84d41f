// The sheet is destroyed before the file is closed: closing without saving removes its
// provisional record, which needs the file still open.
#include "qvcore/newissue/qv_new_issue.h"

#include "qvcore/newissue/niPropSheet.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwapp/tasks/kwCommand.h"

#include <QApplication>

extern "C" unsigned char qv_new_issue(void* /*first*/, kwCommand* command) {
    // The sheet is a window: without a user interface there is nobody to fill it in.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
    qvIssueFile file(static_cast<short>(command ? command->ID() : QV_CMD_NEW_ISSUE));
    if (!file.Open()) return 0;
    unsigned char saved = 0;
    {
        niPropSheet sheet(file.Number(), command);
        sheet.DoModal();
        saved = sheet.result() == niPropSheet::RESULT_SAVED ? 1 : 0;
    }
    file.Close();
    return saved;
}
