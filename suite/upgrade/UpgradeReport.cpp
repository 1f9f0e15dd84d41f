// Report lines of the upgrade host.
#include "UpgradeReport.h"

#include "kwcommon/x_log.h"

#include <algorithm>
#include <ostream>

namespace {
constexpr int64_t kProgressFrom = 1000; // smaller files convert before anyone waits
}

UpgradeReport::UpgradeReport(std::ostream& out, std::ostream& err) : _out(out), _err(err) {}

void UpgradeReport::Line(const std::string& text) {
    _out << text << '\n' << std::flush;
    x_log(kLogId, text.c_str());
}

void UpgradeReport::Error(const std::string& text) {
    _err << "qvupgrade: " << text << '\n' << std::flush;
    x_log(kLogId, text.c_str());
}

void UpgradeReport::Warning(const std::string& text) {
    ++_warnings;
    _err << "qvupgrade: warning: " << text << '\n' << std::flush;
    x_log(kLogId, ("Warning: " + text).c_str());
}

void UpgradeReport::StartProgress(const std::string& what, int64_t total) {
    _progressWhat = what;
    _total = total;
    _nextReport = total >= kProgressFrom ? total / 10 : total + 1;
}

void UpgradeReport::Progress(int64_t done) {
    if (done < _nextReport || _total <= 0) return;
    const int64_t percent = done * 100 / _total;
    _out << "  " << _progressWhat << ": " << done << " of " << _total << " (" << percent << "%)\n" << std::flush;
    _nextReport = std::min(_total, (percent / 10 + 1) * _total / 10);
    if (_nextReport <= done) _nextReport = done + 1;
}
