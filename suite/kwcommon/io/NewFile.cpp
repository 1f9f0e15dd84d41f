// Making data files and finding them: a new file made beside and placed through the
// stored-file helper, the leftovers of creators killed on the way, and the connection of
// a reader who may not write.
#include "RecordManagerInternal.h"
#include "Schema.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kwio {

namespace {

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

} // namespace

// Removes what killed creators of data files left in the folder: the temporary names of
// the stored-file helper and the "<file>.new-<pid>" names (with their journals) that
// earlier versions made, each once the process that made it is gone.
void RemoveLeftovers(const std::string& folder, const std::string& path) {
    const std::string oldPrefix = fs::path(path).filename().string() + ".new-";
    DIR* directory = ::opendir(folder.c_str());
    if (!directory) return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name.compare(0, oldPrefix.size(), oldPrefix) != 0) continue;
        size_t at = oldPrefix.size();
        pid_t pid = 0;
        while (at < name.size() && name[at] >= '0' && name[at] <= '9') pid = pid * 10 + (name[at++] - '0');
        if (pid <= 0 || (at < name.size() && name[at] != '-') || ProcessRuns(pid)) continue;
        abandoned.push_back(folder + "/" + name);
    }
    ::closedir(directory);
    for (const auto& name : abandoned) ::unlink(name.c_str());
    if (!abandoned.empty()) kwStoredFile::SyncFolder(folder);
    kwStoredFile::RemoveAbandonedTemporaries(folder);
}

// Makes a new empty data file under a temporary name and places it without replacing, so
// a half-made file is never seen under the real name and a file another process made
// first is kept.
short CreateDataFile(const kwDictionary& dict, const std::string& path, bool network, std::string* detail) {
    const std::string temporary = kwStoredFile::TemporaryPath(path);
    {
        Database db;
        int rc = db.Open(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
        if (rc != SQLITE_OK) {
            *detail = temporary + ": " + sqlite3_errstr(rc);
            ::unlink(temporary.c_str());
            return StatusOfSqlite(rc);
        }
        // The helper flushes the whole file before it takes its name.
        rc = db.Exec("PRAGMA synchronous=OFF");
        if (rc == SQLITE_OK) rc = db.Exec(NewFileScript(dict));
        // The journal mode is kept in the file: a write-ahead log on a local disk, the
        // rollback journal where several workstations share the folder.
        if (rc == SQLITE_OK && !network) rc = db.Exec("PRAGMA journal_mode=WAL");
        if (rc != SQLITE_OK) {
            *detail = path + ": " + db.Error();
            db.Close();
            for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((temporary + suffix).c_str());
            return StatusOfSqlite(rc);
        }
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"}) ::unlink((temporary + suffix).c_str());
    std::string error;
    if (!kwStoredFile::PlaceFile(temporary, path, kwStoredFile::Place::NoReplace, &error)) {
        *detail = error;
        return StatusOfErrno(errno);
    }
    return XIO_OK;
}

namespace {

// SQLite's URI form of a path, for the read-only open parameters.
std::string UriOf(const std::string& path, const char* parameters) {
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof(escaped), "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri + "?" + parameters;
}

int ProbeRead(Database& db) {
    Statement probe(db.get(), "SELECT count(*) FROM sqlite_master");
    if (!probe) return sqlite3_errcode(db.get());
    const int rc = sqlite3_step(probe.get());
    return rc == SQLITE_ROW ? SQLITE_OK : rc;
}

} // namespace

// Opens a file the user may read but not write. mode=ro reads the write-ahead log that
// writers keep, through its shared-memory file when one exists. A file that nobody has
// open has no log and, in a folder nobody may write to, no shared-memory file can be
// made: it is then read as unchanging (immutable=1), which it is while no log exists.
int ConnectForReading(Database& db, const std::string& path) {
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    int rc = db.Open(UriOf(path, "mode=ro"), flags);
    if (rc == SQLITE_OK) rc = ProbeRead(db);
    if (rc == SQLITE_OK) return rc;
    std::error_code ec;
    if (fs::exists(path + "-wal", ec)) return rc;
    db.Close();
    rc = db.Open(UriOf(path, "immutable=1"), flags);
    if (rc == SQLITE_OK) rc = ProbeRead(db);
    return rc;
}

} // namespace kwio
