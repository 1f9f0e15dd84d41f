// The outbox: a delivery program or a person picks the files up, so a file must never be
// seen half-written: temporary name, fsync, rename without replacing, fsync of the folder.
#include "OutboxWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {
// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : _fd(fd) {}
    ~FileDescriptor() {
        if (_fd >= 0) ::close(_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return _fd; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool Close() {
        const int fd = _fd;
        _fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int _fd;
};

std::string RandomSuffix() {
    static std::random_device random;
    std::uniform_int_distribution<unsigned> digits;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", digits(random));
    return text;
}

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool WriteAll(int fd, const std::string& data) {
    size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}
} // namespace

bool OutboxWriter::Write(const std::string& message, std::string* path, std::string* error) const {
    auto fail = [error](const std::string& what) {
        if (error) *error = what + ": " + std::strerror(errno);
        return false;
    };
    std::error_code ec;
    std::filesystem::create_directories(_folder, ec);
    if (ec) {
        if (error) *error = "cannot make the outbox folder " + _folder + ": " + ec.message();
        return false;
    }

    const std::string temporary = _folder + "/.outgoing-" + RandomSuffix() + ".tmp";
    FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0) return fail("cannot create " + temporary);
    if (!WriteAll(file.get(), message) || ::fsync(file.get()) != 0 || !file.Close()) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail("cannot write " + temporary);
    }

    // A new name never replaces a message already waiting.
    std::string final;
    for (int attempt = 0; attempt < 16; ++attempt) {
        final = _folder + "/" + Timestamp() + "-" + RandomSuffix() + ".eml";
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) ==
            0) {
            break;
        }
        if (errno == EINVAL || errno == ENOSYS) {
            // A file system without no-replace renames: a hard link cannot replace either.
            if (::link(temporary.c_str(), final.c_str()) == 0) {
                ::unlink(temporary.c_str());
                break;
            }
        }
        if (errno != EEXIST) {
            const int saved = errno;
            ::unlink(temporary.c_str());
            errno = saved;
            return fail("cannot store " + final);
        }
        final.clear();
    }
    if (final.empty()) {
        ::unlink(temporary.c_str());
        errno = EEXIST;
        return fail("cannot find a free name in " + _folder);
    }

    FileDescriptor folder(::open(_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
    if (path) *path = final;
    return true;
}
