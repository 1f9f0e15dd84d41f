// Files as objects, and the prompted open that asks the user what to do about an
// absent file or a file in use.
#include "kwcommon/kwioFile.h"

#include "RecordManagerInternal.h"

#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

kwioFile::~kwioFile() { Close(); }

void kwioFile::Close() {
    if (_fileNumber) xio_cls_file(_fileNumber);
    _fileNumber = 0;
}

short kwioDataFile::PromptedOpen(const std::string& abbrev, short programNumber, const std::string& path,
                                 short openMode, bool create, bool quiet, bool exclusive) {
    Close();
    kwio::OpenOptions options;
    options.create = create;
    options.readOnly = openMode == 1;
    options.exclusive = exclusive;
    options.minimumDataVersion = _minimumDataVersion;
    options.forUpgrade = _forUpgrade;
    while (true) {
        short number = 0;
        std::string detail;
        const short status = kwio::OpenDataFile(abbrev, path, programNumber, options, &number, &detail);
        if (status == XIO_OK) {
            _fileNumber = number;
            return XIO_OK;
        }
        if (quiet) return status;
        if (status == XIO_ABSENT && !options.create) {
            const std::string text = "The " + abbrev + " data file does not exist.\n\nDo you want to create it?";
            if (xw_wr_message(0, XW_YESNO, text.c_str(), 0) != XW_ANSWER_YES) return XIO_CANCELLED;
            options.create = true;
            continue;
        }
        if (status == XIO_LOCKED) {
            const std::string text = "The " + abbrev + " data file is in use by another user.";
            if (xw_wr_message(0, XW_RETRY, text.c_str(), 0) == XW_ANSWER_RETRY) continue;
            return XIO_CANCELLED;
        }
        std::string text = "Unable to open the " + abbrev + " data file.\n\n" + xio_status_text(status);
        if (!detail.empty()) text += "\n" + detail;
        text += "\n[status " + std::to_string(status) + "]";
        x_log(programNumber, text.c_str());
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        return status;
    }
}

short kwioDictFile::Open(const std::string& abbrev, short, short) {
    Close();
    short number = 0;
    const short status = xio_open_dictionary(abbrev.c_str(), &number);
    if (status == XIO_OK) _fileNumber = number;
    return status;
}
