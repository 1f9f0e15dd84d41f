// Reading, stamping and crash-safe rewriting of the company's JSON settings files.
#include "kwcommon/company/CompanyJsonFile.h"

#include "kwcommon/x_text.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kwcompany {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& text) {
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

JsonReadResult ReadJsonFile(const std::string& path, nlohmann::json* doc, std::string* error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return JsonReadResult::Missing;
        if (error) *error = std::string("cannot be read: ") + std::strerror(errno);
        return JsonReadResult::Malformed;
    }
    if (!S_ISREG(info.st_mode)) {
        if (error) *error = "it is not a file";
        return JsonReadResult::Malformed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = std::string("cannot be read: ") + std::strerror(errno);
        return JsonReadResult::Malformed;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        if (error) *error = "cannot be read";
        return JsonReadResult::Malformed;
    }
    try {
        *doc = nlohmann::json::parse(text.str());
    } catch (const nlohmann::json::exception& e) {
        if (error) {
            // The parser's own tag ("[json.exception.parse_error.101] ") means nothing to users.
            std::string reason = e.what();
            if (!reason.empty() && reason[0] == '[') {
                const size_t close = reason.find("] ");
                if (close != std::string::npos) reason.erase(0, close + 2);
            }
            *error = reason;
        }
        return JsonReadResult::Malformed;
    }
    return JsonReadResult::Ok;
}

bool DumpJson(const nlohmann::json& doc, std::string* text) {
    try {
        *text = doc.dump(2) + "\n";
    } catch (const nlohmann::json::exception&) {
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        if (error) *error = "cannot create a file beside " + path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; settings files are shared by everyone using the company.
    ::fchmod(fd, 0644);
    const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int reason = written ? errno : savedErrno;
        ::unlink(temp.c_str());
        if (error) *error = "cannot write " + path + ": " + std::strerror(reason);
        return false;
    }
    // The rename itself must reach the disk, or a crash could bring the old file back.
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return stamp;
    stamp.exists = true;
    stamp.device = static_cast<uint64_t>(info.st_dev);
    stamp.inode = static_cast<uint64_t>(info.st_ino);
    stamp.size = static_cast<int64_t>(info.st_size);
    stamp.modifiedNs =
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

FileWriteLock::FileWriteLock(const std::string& path) {
    const std::string lockPath = path + ".lck";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    struct flock request {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 1;
    // Another writer holds it only for the moment of one rewrite; five seconds is generous
    // even with several writers queued on a slow disk.
    for (int attempt = 0; attempt < 2500; ++attempt) {
        if (::fcntl(fd, F_OFD_SETLK, &request) == 0) {
            _fd = fd;
            return;
        }
        if (errno != EAGAIN && errno != EACCES && errno != EINTR) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::close(fd);
}

FileWriteLock::~FileWriteLock() {
    if (_fd >= 0) ::close(_fd);
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return x_equal_nocase(a, b); }

} // namespace kwcompany
