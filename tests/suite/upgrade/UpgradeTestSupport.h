// Companies with old data for the upgrade host's tests, runs of the host as a process,
// and a digest of an issue file that tells the old file from the converted one.
#pragma once

#include <cstdint>
#include <string>

// data/demo-old/dict-old/<name>
std::string OldDictionaryPath(const std::string& name);

// A company folder copied from a source folder into a fresh temporary folder, removed
// with the object.
class CompanyCopy {
public:
    explicit CompanyCopy(const std::string& source);
    ~CompanyCopy();
    CompanyCopy(const CompanyCopy&) = delete;
    CompanyCopy& operator=(const CompanyCopy&) = delete;
    const std::string& Folder() const { return _folder; }
    std::string Path(const std::string& relative) const { return _folder + "/" + relative; }

private:
    std::string _folder;
};

// The old demo company (data/demo, then data/demo-old, seed records loaded), made once per
// test program; copy it before changing it.
const std::string& OldDemoFolder();
// The demo company with the bank register and the AP and CM cross-reference files loaded
// and no issue file, made once.
const std::string& SeededDemoFolder();

// Makes the company in a folder the current one for the life of the object.
class CurrentCompany {
public:
    explicit CurrentCompany(const std::string& folder);
    ~CurrentCompany();
    CurrentCompany(const CurrentCompany&) = delete;
    CurrentCompany& operator=(const CurrentCompany&) = delete;
};

struct HostRun {
    int exitCode = -1; // -1 when it did not exit by itself
    int signal = 0;    // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};
// Runs build/bin/<program> with args (and environment assignments "NAME=value ...").
HostRun RunProgram(const std::string& program, const std::string& args, const std::string& environment = "");
// Runs build/bin/qvupgrade.
inline HostRun RunHost(const std::string& args, const std::string& environment = "") {
    return RunProgram("qvupgrade", args, environment);
}

// What a data file of the current company says about itself: its data version and the
// text of the dictionary it keeps. Answers the status of the open.
short ReadFileInfo(const std::string& abbrev, const std::string& path, std::string* dataVersion,
                   std::string* dictionary);

// What an issue file holds: its data version, its records counted by the record manager
// through the dictionary the file keeps, and a digest of every column of every record.
struct IssueFileDigest {
    std::string dataVersion;
    int64_t issues = -1;
    int64_t links = -1;
    uint64_t hash = 0;
    std::string error; // why the file could not be read
    bool operator==(const IssueFileDigest& other) const {
        return dataVersion == other.dataVersion && issues == other.issues && links == other.links &&
               hash == other.hash && error.empty() && other.error.empty();
    }
};
IssueFileDigest DigestIssueFile(const std::string& companyFolder);

// Writes count issues into a new ISSUES.QVI of the company in folder, made with the 6.2.0
// dictionary: every issue with a message and a status, every 10th with a link to a
// vendor; every 250th names a check of the demo register, every 1000th (from the 500th
// on) a check the register lacks, each of these with a second link, to its bank account.
// Answers the number of issues the upgrade is to drop.
int64_t WriteOldIssues(const std::string& folder, int64_t count);
