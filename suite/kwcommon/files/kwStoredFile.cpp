// Writing stored files beside and placing them; byte-range locks between processes.
#include "kwcommon/kwStoredFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kTemporaryMark = ".tmp-";

std::string Reason(int error) { return std::strerror(error); }

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

bool WriteAll(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RandomSuffix() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += digits[generator() % 36];
    return suffix;
}

// The process id inside a temporary name made by TemporaryPath, or 0 when it is none.
pid_t MakerOf(const std::string& name) {
    if (name.empty() || name[0] != '.') return 0;
    const size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::string::npos) return 0;
    size_t at = mark + std::strlen(kTemporaryMark);
    pid_t pid = 0;
    bool digits = false;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9') {
        pid = pid * 10 + (name[at] - '0');
        ++at;
        digits = true;
    }
    if (!digits || at >= name.size() || name[at] != '-') return 0;
    return pid;
}

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

struct flock Request(short type, int64_t offset, int64_t length) {
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = offset;
    request.l_len = length;
    request.l_pid = 0;
    return request;
}

// fsyncs every file and folder below (and including) root; false with errno on the first
// failure.
bool SyncTree(const std::string& root) {
    std::error_code ec;
    std::vector<std::string> folders{root};
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        const std::string path = it->path().string();
        if (it->is_symlink(ec)) continue;
        if (it->is_directory(ec)) {
            folders.push_back(path);
            continue;
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            const int reason = errno;
            if (fd >= 0) ::close(fd);
            errno = reason;
            return false;
        }
        ::close(fd);
    }
    if (ec) {
        errno = ec.value();
        return false;
    }
    for (const std::string& folder : folders)
        kwStoredFile::SyncFolder(folder);
    return true;
}

} // namespace

// ---- kwStoredFile ----------------------------------------------------------------------

std::string kwStoredFile::FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string kwStoredFile::TemporaryPath(const std::string& target) {
    const std::string folder = FolderOf(target);
    return folder + "/." + BaseName(target) + kTemporaryMark + std::to_string(::getpid()) + "-" + RandomSuffix();
}

void kwStoredFile::SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool kwStoredFile::PlaceFile(const std::string& temporary, const std::string& target, Place place,
                             std::string* error, bool* placed) {
    if (placed) *placed = false;
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int reason = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        SetError(error, "cannot write " + target + ": " + Reason(reason));
        errno = reason;
        return false;
    }
    ::close(fd);
    if (place == Place::Replace) {
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            const int reason = errno;
            ::unlink(temporary.c_str());
            SetError(error, "cannot replace " + target + ": " + Reason(reason));
            errno = reason;
            return false;
        }
        if (placed) *placed = true;
    } else {
        // link() never replaces: when another process placed its file first, theirs stays.
        if (::link(temporary.c_str(), target.c_str()) == 0) {
            if (placed) *placed = true;
        } else if (errno != EEXIST) {
            const int reason = errno;
            ::unlink(temporary.c_str());
            SetError(error, "cannot create " + target + ": " + Reason(reason));
            errno = reason;
            return false;
        }
        ::unlink(temporary.c_str());
    }
    SyncFolder(FolderOf(target));
    return true;
}

bool kwStoredFile::Write(const std::string& path, std::string_view bytes, std::string* error, mode_t mode,
                         Place place) {
    const std::string temporary = TemporaryPath(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int reason = errno;
        SetError(error, "cannot create a file beside " + path + ": " + Reason(reason));
        errno = reason;
        return false;
    }
    // Created private so nobody reads it half-written; the final mode before it is placed.
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes);
    const int reason = errno;
    if (::close(fd) != 0 || !written) {
        const int why = written ? errno : reason;
        ::unlink(temporary.c_str());
        SetError(error, "cannot write " + path + ": " + Reason(why));
        errno = why;
        return false;
    }
    bool placed = false;
    if (!PlaceFile(temporary, path, place, error, &placed)) return false;
    if (!placed) {
        SetError(error, path + " already exists");
        errno = EEXIST;
        return false;
    }
    return true;
}

bool kwStoredFile::PlaceFolder(const std::string& temporary, const std::string& target, std::string* error,
                               bool* placed) {
    if (placed) *placed = false;
    auto discard = [&] {
        std::error_code ignored;
        std::filesystem::remove_all(temporary, ignored);
    };
    if (!SyncTree(temporary)) {
        const int reason = errno;
        discard();
        SetError(error, "cannot write " + target + ": " + Reason(reason));
        errno = reason;
        return false;
    }
    // rename() puts a folder over an empty folder in one step, and never over a full one.
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int reason = errno;
        discard();
        if (reason == ENOTEMPTY || reason == EEXIST) {
            SyncFolder(FolderOf(target));
            return true; // another process placed its folder first: that one is as good
        }
        SetError(error, "cannot put the folder " + target + " in place: " + Reason(reason));
        errno = reason;
        return false;
    }
    if (placed) *placed = true;
    SyncFolder(FolderOf(target));
    return true;
}

bool kwStoredFile::SetAside(const std::string& path) {
    if (::rename(path.c_str(), (path + ".bad").c_str()) != 0) return errno == ENOENT;
    SyncFolder(FolderOf(path));
    return true;
}

int kwStoredFile::RemoveAbandonedTemporaries(const std::string& folder) {
    DIR* directory = ::opendir(folder.c_str());
    if (!directory) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        const pid_t maker = MakerOf(name);
        if (maker <= 0 || ProcessRuns(maker)) continue;
        const std::string path = folder + "/" + name;
        if (::unlink(path.c_str()) == 0) {
            ++removed;
        } else if (errno == EISDIR || errno == EPERM) {
            std::error_code ec;
            if (std::filesystem::remove_all(path, ec) > 0 && !ec) ++removed;
        }
    }
    ::closedir(directory);
    if (removed) SyncFolder(folder);
    return removed;
}

bool kwStoredFile::Append(const std::string& path, std::string_view bytes, std::string* error, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, mode);
    if (fd < 0) {
        const int reason = errno;
        SetError(error, "cannot write " + path + ": " + Reason(reason));
        errno = reason;
        return false;
    }
    kwFileLock lock;
    lock.Attach(fd);
    lock.LockForAppend();
    const bool written = WriteAll(fd, bytes);
    const int reason = errno;
    lock.UnlockAppend();
    ::close(fd);
    if (!written) {
        SetError(error, "cannot write " + path + ": " + Reason(reason));
        errno = reason;
    }
    return written;
}

bool kwStoredFile::Read(const std::string& path, std::string* bytes, std::string* error) {
    bytes->clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int reason = errno;
        SetError(error, "cannot read " + path + ": " + Reason(reason));
        errno = reason;
        return false;
    }
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int reason = errno;
            ::close(fd);
            SetError(error, "cannot read " + path + ": " + Reason(reason));
            errno = reason;
            return false;
        }
        if (got == 0) break;
        bytes->append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return true;
}

// ---- kwFileLock ------------------------------------------------------------------------

kwFileLock::~kwFileLock() { Close(); }

kwFileLock::kwFileLock(kwFileLock&& other) noexcept : _fd(other._fd), _owned(other._owned) {
    other._fd = -1;
    other._owned = false;
}

kwFileLock& kwFileLock::operator=(kwFileLock&& other) noexcept {
    if (this != &other) {
        Close();
        _fd = other._fd;
        _owned = other._owned;
        other._fd = -1;
        other._owned = false;
    }
    return *this;
}

bool kwFileLock::Open(const std::string& path) {
    Close();
    _fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (_fd < 0 && (errno == EACCES || errno == EROFS)) {
        // A folder the user may only read: shared locks still work on a read-only open.
        _fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    _owned = _fd >= 0;
    return _fd >= 0;
}

void kwFileLock::Attach(int fd) {
    Close();
    _fd = fd;
    _owned = false;
}

void kwFileLock::Close() {
    if (_fd >= 0 && _owned) ::close(_fd); // closing the description releases its locks
    _fd = -1;
    _owned = false;
}

bool kwFileLock::TryLock(int64_t offset, bool exclusive, int64_t length) {
    if (_fd < 0) {
        errno = EBADF;
        return false;
    }
    struct flock request = Request(exclusive ? F_WRLCK : F_RDLCK, offset, length);
    while (::fcntl(_fd, F_OFD_SETLK, &request) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

bool kwFileLock::Acquire(int64_t offset, std::chrono::milliseconds patience, bool exclusive, int64_t length) {
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (!TryLock(offset, exclusive, length)) {
        if ((errno != EAGAIN && errno != EACCES) || std::chrono::steady_clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void kwFileLock::Unlock(int64_t offset, int64_t length) {
    if (_fd < 0) return;
    struct flock request = Request(F_UNLCK, offset, length);
    while (::fcntl(_fd, F_OFD_SETLK, &request) != 0 && errno == EINTR) {
    }
}

bool kwFileLock::HeldElsewhere(int64_t offset, int64_t length) const {
    if (_fd < 0) return false;
    struct flock request = Request(F_WRLCK, offset, length);
    if (::fcntl(_fd, F_OFD_GETLK, &request) != 0) return false;
    return request.l_type != F_UNLCK;
}

bool kwFileLock::LockForAppend() {
    if (_fd < 0) return false;
    struct flock request = Request(F_WRLCK, 0, 0);
    while (::fcntl(_fd, F_OFD_SETLKW, &request) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

void kwFileLock::UnlockAppend() { Unlock(0, 0); }

// ---- kwFileWriteLock -------------------------------------------------------------------

kwFileWriteLock::kwFileWriteLock(const std::string& path, std::chrono::milliseconds patience) {
    if (_lock.Open(path + ".lck")) _held = _lock.Acquire(0, patience);
}
