// Opening the issue file, with the fallback through an older issue application's file.
#include "qvcore/store/qvIssueFile.h"

#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"

#include "kwcommon/x_message.h"
#include "kwcommon/xa.h"
#include "kwcommon/xio.h"

qvIssueFile::qvIssueFile(short programNumber) : _programNumber(programNumber) {}

qvIssueFile::~qvIssueFile() { Close(); }

bool qvIssueFile::Open() {
    Close();
    if (_programNumber == 0) return false;
    // Data older than the lowest version this library works with waits for the upgrade.
    _file.SetMinimumDataVersion(qvLiteral(51, -1, QVCORE_MODULE).str());
    short status = _file.PromptedOpen(QV_ISSUE_FILE, _programNumber, "", 0, false, true, false);
    const short first = status;
    if (status == XIO_ABSENT) {
        x_kw_apl_info info{};
        if (xa_get_kw_nam(1, &info, "imi")) {
            status = _file.PromptedOpen("imi", _programNumber, "", 0, false, true, false);
            if (status != XIO_OK && status != XIO_CANCELLED && status != XIO_ABSENT)
                status = _file.PromptedOpen("imi", _programNumber, "", 0, false, false, false);
        }
        if (status == XIO_ABSENT) status = _file.PromptedOpen(QV_ISSUE_FILE, _programNumber, "", 0, true, false, false);
    }
    if (first != XIO_OK && first != XIO_ABSENT && first != XIO_CANCELLED)
        status = _file.PromptedOpen(QV_ISSUE_FILE, _programNumber, "", 0, false, false, false);
    if (status == XIO_OK) {
        _fileNumber = _file.FileNum();
        return true;
    }
    if (status != XIO_CANCELLED) xw_message_box(XW_ERROR, "Error", "Unable to open Issue File");
    return false;
}

void qvIssueFile::Close() {
    _file.Close();
    _fileNumber = 0;
}
