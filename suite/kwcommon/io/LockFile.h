// Byte-range locks between processes on a companion lock file. The locks belong to the
// open file description (F_OFD_SETLK): two opens in one process exclude each other like
// two users, and every lock vanishes when its holder's descriptor closes or the process
// dies. Requests never wait.
#pragma once

#include <cstdint>
#include <string>

namespace kwio {

class LockFile {
public:
    LockFile() = default;
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Opens (creating) the lock file; false with errno set on failure.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return _fd >= 0; }

    // true when taken (or already held through this descriptor).
    bool TryLock(int64_t offset, bool exclusive);
    void Unlock(int64_t offset);
    // true when some other descriptor holds a lock that conflicts with an exclusive one.
    bool HeldElsewhere(int64_t offset);

    static constexpr int64_t kHeaderByte = 0;
    static constexpr int64_t kOpenByte = 1;
    static int64_t RecordByte(short recordType, int64_t rowid) {
        return (static_cast<int64_t>(recordType) << 40) + rowid;
    }

private:
    int _fd = -1;
};

} // namespace kwio
