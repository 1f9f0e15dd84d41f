// The files a view control works on, opened once by file abbreviation with the view's
// program number and closed with the manager. Every record the view reads, locks and
// writes goes through these file numbers, and so does the application's own work on the
// same records from the view's callbacks: the view's locks are never in its own way.
#pragma once

#include <map>
#include <memory>
#include <string>

class kwioDataFile;

class kwdmFileManager {
public:
    explicit kwdmFileManager(short programNumber);
    ~kwdmFileManager();
    kwdmFileManager(const kwdmFileManager&) = delete;
    kwdmFileManager& operator=(const kwdmFileManager&) = delete;

    // Opens the data file of an abbreviation (letter case ignored) unless it is open;
    // failures are told to the user. Answers the status (0 open).
    short Open(const std::string& abbrev);
    // The file number of an open abbreviation, 0 when it is not open.
    short FileNum(const std::string& abbrev) const;
    short ProgramNumber() const { return _programNumber; }
    void CloseAll();

private:
    short _programNumber;
    std::map<std::string, std::unique_ptr<kwioDataFile>> _files; // by upper-case abbreviation
};
