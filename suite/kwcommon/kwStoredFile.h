// The one way the suite writes a stored file and the one way it locks one between
// processes. Every file a program of the suite writes (settings, lists, preferences,
// attachments lists, outbox messages, report designs, formulas, new data files ...)
// goes through kwStoredFile; every cross-process lock is a kwFileLock.
//
// Writing ("write beside, then place"):
//   1. the bytes go to a temporary file in the same folder as the target, named
//      ".<target name>.tmp-<pid>-<random>", created private and given the final mode;
//   2. the temporary file is flushed to the disk (fsync);
//   3. it is placed: renamed over the target (Replace), or hard-linked to the target
//      name only if that name is free (NoReplace: the first writer wins, nothing is
//      overwritten), then the temporary name is removed;
//   4. the folder is flushed, so the new name itself survives a power cut.
// A reader therefore sees the old file or the new one whole, never a mixture, and a
// process killed at any step leaves at most a temporary file, which
// RemoveAbandonedTemporaries deletes once the process that made it is gone. A folder made
// from a template goes the same way: made under a temporary name, flushed, renamed.
//
// Locking: byte-range locks on an open file description (F_OFD_SETLK). They are held by
// the descriptor, not the process, so two opens in one process exclude each other like
// two users; they vanish when the holder closes the file or dies, so a crashed program
// never leaves a company locked. Requests never block the caller: TryLock answers at
// once, Acquire retries non-blocking attempts for a bounded time. The one blocking lock
// is the append lock of logs, held only for the moment of one write.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

class kwStoredFile {
public:
    enum class Place { Replace, NoReplace };

    // Writes bytes to path as described above. false with *error (when given) naming the
    // file and the operating system's reason; errno is kept for x_io_status.
    static bool Write(const std::string& path, std::string_view bytes, std::string* error = nullptr,
                      mode_t mode = 0644, Place place = Place::Replace);

    // For content that is produced rather than held (a copied attachment, a new SQLite
    // database): make the content at TemporaryPath(target), then call PlaceFile.
    // PlaceFile flushes the temporary file, places it and flushes the folder; on failure
    // the temporary file is removed. With NoReplace an existing target is not an error:
    // *placed (when given) tells whether this call's file is the one now in place.
    static std::string TemporaryPath(const std::string& target);
    static bool PlaceFile(const std::string& temporary, const std::string& target, Place place,
                          std::string* error = nullptr, bool* placed = nullptr);

    // A whole folder made beside its target (a company copied from a template): make the
    // folder at TemporaryPath(target), fill it, then call PlaceFolder. PlaceFolder flushes
    // every file and folder of the tree, renames it to target when target is missing or an
    // empty folder, and flushes the parent folder. When another process placed its folder
    // first, the temporary folder is removed and *placed (when given) answers false; on
    // failure the temporary folder is removed too.
    static bool PlaceFolder(const std::string& temporary, const std::string& target,
                            std::string* error = nullptr, bool* placed = nullptr);

    // Moves a damaged file out of the way, to "<path>.bad" (replacing an older one), so the
    // next write starts afresh while the damaged bytes stay for whoever wants to look at
    // them. true when nothing is left at path (also when there was nothing).
    static bool SetAside(const std::string& path);

    // Flushes a folder's entries to the disk (after a rename, link or unlink).
    static void SyncFolder(const std::string& folder);

    // Deletes the temporary files and folders in folder left by processes that no longer
    // run (a temporary name carries its maker's process id). Answers how many were removed.
    static int RemoveAbandonedTemporaries(const std::string& folder);

    // Appends bytes to a shared log in one write under the append lock of kwFileLock, so
    // the lines of several processes never interleave; the file is made (with mode) when
    // missing. false with *error naming the file and the reason.
    static bool Append(const std::string& path, std::string_view bytes, std::string* error = nullptr,
                       mode_t mode = 0644);

    // Reads a whole file. false with *error naming the file and the reason.
    static bool Read(const std::string& path, std::string* bytes, std::string* error = nullptr);

    // The folder part of a path ("." for a bare name).
    static std::string FolderOf(const std::string& path);
};

class kwFileLock {
public:
    kwFileLock() = default;
    ~kwFileLock();
    kwFileLock(const kwFileLock&) = delete;
    kwFileLock& operator=(const kwFileLock&) = delete;
    kwFileLock(kwFileLock&& other) noexcept;
    kwFileLock& operator=(kwFileLock&& other) noexcept;

    // Opens (creating, mode 0666 less the umask) the file whose bytes are locked: a
    // companion lock file, or the stored file itself. false with errno set on failure.
    bool Open(const std::string& path);
    // Uses a descriptor the caller already has open (not owned: Close does not close it).
    void Attach(int fd);
    void Close();
    bool IsOpen() const { return _fd >= 0; }
    int Descriptor() const { return _fd; }

    // Takes the bytes [offset, offset + length) at once, or answers false (errno EAGAIN
    // when another holder has them). Taking a range this descriptor already holds
    // succeeds. Shared locks may be held by many readers at a time.
    bool TryLock(int64_t offset, bool exclusive = true, int64_t length = 1);
    // Retries TryLock every few milliseconds until patience runs out; never waits on the
    // kernel, so a lock held by a hung process still answers false in time.
    bool Acquire(int64_t offset, std::chrono::milliseconds patience, bool exclusive = true,
                 int64_t length = 1);
    void Unlock(int64_t offset, int64_t length = 1);
    // true when another descriptor holds a lock that conflicts with an exclusive one.
    bool HeldElsewhere(int64_t offset, int64_t length = 1) const;

    // A short blocking lock for appending to a shared log: the whole file is held only
    // for the moment of one write. Answers false only when the descriptor is bad.
    bool LockForAppend();
    void UnlockAppend();

private:
    int _fd = -1;
    bool _owned = false;
};

// Holds an exclusive lock on "<path>.lck" for its lifetime: serialises read-modify-write
// of one stored file between processes. Held() tells whether it was obtained in time.
class kwFileWriteLock {
public:
    explicit kwFileWriteLock(const std::string& path,
                             std::chrono::milliseconds patience = std::chrono::seconds(5));
    bool Held() const { return _held; }

private:
    kwFileLock _lock;
    bool _held = false;
};
