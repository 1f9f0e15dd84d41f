// Issue numbering. Another workstation holds the header only for the moment of one
// read-increment-write, so a held header is read again after a short pause; after some
// seconds the user decides whether to keep waiting. A holder that dies releases the
// header with its process, so nobody waits for a dead workstation.
#include "qvcore/store/qvNextIssueNumber.h"

#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <chrono>
#include <thread>

namespace {
constexpr auto kPause = std::chrono::milliseconds(5);
constexpr std::chrono::milliseconds kAskAfter{5000};
} // namespace

kwSeam<std::chrono::milliseconds()>& qvNextIssueNumber::AskAfterSeam() {
    static kwSeam<std::chrono::milliseconds()> seam;
    return seam;
}

bool qvNextIssueNumber::LockHeader() {
    auto waitingSince = std::chrono::steady_clock::now();
    while (true) {
        const short status = xio_rd_header(_file, 1, 1);
        if (status == XIO_OK) return true;
        if (status != XIO_LOCKED) {
            xio_io_error(_file, status);
            return false;
        }
        if (std::chrono::steady_clock::now() - waitingSince >= (AskAfterSeam() ? AskAfterSeam()() : kAskAfter)) {
            const short answer = xw_wr_message(
                0, XW_YESNO, "The issue numbers are in use by another user.\n\nDo you want to keep waiting?", 0);
            if (answer != XW_ANSWER_YES) return false;
            waitingSince = std::chrono::steady_clock::now();
        }
        std::this_thread::sleep_for(kPause);
    }
}

double qvNextIssueNumber::Next() {
    if (_file == 0 || !LockHeader()) return 0;
    const short field = xio_num(_file, 0, 0, "LASTID");
    x_value_def value;
    xio_get_field(_file, 0, field, &value);
    const double next = value.AsNumber() + 1;
    value.SetNumber(next);
    xio_put_field(_file, 0, field, &value);
    const short status = xio_wr_header(_file, 1);
    if (status) {
        xio_io_error(_file, status);
        xio_free_header(_file, 1);
        return 0;
    }
    return next;
}

void qvNextIssueNumber::Release(double number) {
    if (_file == 0 || !LockHeader()) return;
    const short field = xio_num(_file, 0, 0, "LASTID");
    x_value_def value;
    xio_get_field(_file, 0, field, &value);
    if (value.AsNumber() != number) {
        xio_free_header(_file, 1);
        return;
    }
    value.SetNumber(number - 1);
    xio_put_field(_file, 0, field, &value);
    const short status = xio_wr_header(_file, 1);
    if (status) {
        xio_io_error(_file, status);
        xio_free_header(_file, 1);
    }
}
