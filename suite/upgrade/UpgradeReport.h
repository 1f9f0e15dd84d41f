// What the upgrade host tells: every line shown on the terminal and written to the
// company's log, and the progress of a long conversion.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class UpgradeReport {
public:
    UpgradeReport(std::ostream& out, std::ostream& err);

    // A line for the user, shown and logged.
    void Line(const std::string& text);
    // A failure or refusal, shown on the error stream and logged.
    void Error(const std::string& text);
    int Warnings() const { return _warnings; }
    void Warning(const std::string& text);

    // Progress of a conversion of total records: a line at every tenth once a file holds
    // enough records for the wait to be noticed.
    void StartProgress(const std::string& what, int64_t total);
    void Progress(int64_t done);

    // The log id of the host's lines in the company's log.
    static constexpr short kLogId = 9000;

private:
    std::ostream& _out;
    std::ostream& _err;
    int _warnings = 0;
    std::string _progressWhat;
    int64_t _total = 0;
    int64_t _nextReport = 0;
};
