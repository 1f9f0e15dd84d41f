// Open-file-description byte-range locks.
#include "LockFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kwio {

LockFile::~LockFile() { Close(); }

bool LockFile::Open(const std::string& path) {
    Close();
    _fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    return _fd >= 0;
}

void LockFile::Close() {
    if (_fd >= 0) ::close(_fd);
    _fd = -1;
}

bool LockFile::TryLock(int64_t offset, bool exclusive) {
    if (_fd < 0) return false;
    struct flock lock {};
    lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = 1;
    lock.l_pid = 0;
    while (::fcntl(_fd, F_OFD_SETLK, &lock) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

void LockFile::Unlock(int64_t offset) {
    if (_fd < 0) return;
    struct flock lock {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = 1;
    lock.l_pid = 0;
    while (::fcntl(_fd, F_OFD_SETLK, &lock) != 0 && errno == EINTR) {
    }
}

bool LockFile::HeldElsewhere(int64_t offset) {
    if (_fd < 0) return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = 1;
    lock.l_pid = 0;
    if (::fcntl(_fd, F_OFD_GETLK, &lock) != 0) return false;
    return lock.l_type != F_UNLCK;
}

} // namespace kwio
