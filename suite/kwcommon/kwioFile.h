// Open files as objects: the file number that every xio_ call takes, closed with the object.
#pragma once

#include <string>

class kwioFile {
public:
    kwioFile() = default;
    virtual ~kwioFile();
    kwioFile(const kwioFile&) = delete;
    kwioFile& operator=(const kwioFile&) = delete;

    short FileNum() const { return _fileNumber; }
    bool IsOpen() const { return _fileNumber != 0; }
    void Close();

protected:
    short _fileNumber = 0;
};

// A data file opened by abbreviation through the file control.
class kwioDataFile : public kwioFile {
public:
    // Opens the data file of abbrev. The three flags:
    //   create     create the file (empty, from its dictionary) when it is absent;
    //   quiet      ask and tell the user nothing: only answer the status;
    //   exclusive  open for this user alone: status 7 while anyone else has it open,
    //              and nobody else opens it while this one is open.
    // Without quiet, an absent file asks whether to create it (No: 15), a file in use
    // offers Retry (Cancel: 15) and other failures are reported.
    // Answers 0 open, 3 absent, 15 cancelled by the user, or another status.
    // path names the file directly when not empty. openMode 1 opens read only.
    short PromptedOpen(const std::string& abbrev, short programNumber, const std::string& path,
                       short openMode, bool create, bool quiet, bool exclusive);

    // The lowest data version the caller works with: an older file answers
    // XIO_NEEDS_UPGRADE and, without quiet, tells the user to run the upgrade.
    void SetMinimumDataVersion(const std::string& version) { _minimumDataVersion = version; }
    // For the upgrade host alone: opens files older than the minimum data version.
    void SetOpenForUpgrade(bool forUpgrade) { _forUpgrade = forUpgrade; }

private:
    std::string _minimumDataVersion;
    bool _forUpgrade = false;
};

// A dictionary opened by abbreviation: definitions only.
class kwioDictFile : public kwioFile {
public:
    // openMode and shareMode are kept for callers; a dictionary is always read only.
    short Open(const std::string& abbrev, short openMode = 1, short shareMode = 0);
};
