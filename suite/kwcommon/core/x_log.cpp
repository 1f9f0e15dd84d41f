// The suite log and fatal faults. Log lines are written with one write() on a file
// opened for appending, under the suite's append lock, so processes never interleave.
#include "kwcommon/x_log.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_message.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {
std::string Timestamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof(buffer), "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

std::string LogLines(short logId, const char* text) {
    const std::string prefix = Timestamp() + "\t" + kwCompany::CurrentOperatorId() + "\t" +
                               std::to_string(logId) + "\t";
    std::string lines;
    std::string body = text ? text : "";
    size_t start = 0;
    // Carriage returns and line feeds start new lines; each carries the full prefix so
    // the log stays one record per line.
    while (true) {
        size_t end = body.find_first_of("\r\n", start);
        lines += prefix + body.substr(start, end == std::string::npos ? std::string::npos : end - start) + "\n";
        if (end == std::string::npos) break;
        start = end + 1;
        if (body[end] == '\r' && start < body.size() && body[start] == '\n') ++start;
        if (start >= body.size()) break;
    }
    return lines;
}
} // namespace

void x_log(short logId, const char* text) {
    if (!kwCompany::IsOpen()) return;
    // A log that cannot be written must not stop the work, nor change the errno that the
    // caller may still report.
    const int saved = errno;
    kwStoredFile::Append(kwCompany::LogFile(), LogLines(logId, text));
    errno = saved;
}

void x_abort(short file, const char* text) {
    x_log(file, text);
    xw_wr_message(0, XW_ERROR, text, 0);
    std::fflush(nullptr);
    std::_Exit(X_FATAL_EXIT_CODE);
}

namespace {
std::string IoReport(const char* fileName, int error) {
    std::string text = "I/O error on ";
    text += fileName ? fileName : "(unnamed file)";
    text += ": ";
    text += error ? std::strerror(error) : "unexpected error";
    text += ".";
    return text;
}

short StatusOfErrno(int error) {
    switch (error) {
    case ENOENT: return 3;
    case ENOTDIR: return 2;
    case EACCES:
    case EPERM: return 16;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY: return 7;
    case ENOSPC:
    case EDQUOT: return 21;
    default: return 17;
    }
}
} // namespace

void x_io_abort(short file, const char* fileName) {
    const std::string text = IoReport(fileName, errno);
    x_abort(file, text.c_str());
}

void x_io_error_report(short file, const char* fileName) {
    const std::string text = IoReport(fileName, errno);
    x_log(file, text.c_str());
    xw_wr_message(0, XW_ERROR, text.c_str(), 0);
}

short x_io_status() { return errno ? StatusOfErrno(errno) : 0; }
