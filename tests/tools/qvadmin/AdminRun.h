// Runs the built qvadmin on a test company as a user runs it, and gives back its exit code,
// standard output and standard error.
#pragma once

#include "TestCompany.h"
#include "TestFiles.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace admintest {

struct AdminRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The shell command that runs qvadmin on the company as operator `operatorId`, with the
// user's preferences kept in the company folder so nothing of the machine's user leaks in;
// standard error goes to errFile.
inline std::string AdminCommand(const TestCompany& company, const std::string& args,
                                const std::string& errFile,
                                const std::string& operatorId = "ADMIN") {
    return "XDG_CONFIG_HOME='" + company.Path("config") + "' " + std::string(QV_BIN_DIR) +
           "/qvadmin --data '" + company.Folder() + "' --operator " + operatorId + " " + args +
           " 2>'" + errFile + "'";
}

// Reads a started run to its end.
inline AdminRun Finish(FILE* pipe, const std::string& errFile) {
    AdminRun run;
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadAll(errFile);
    return run;
}

inline AdminRun Admin(const TestCompany& company, const std::string& args,
                      const std::string& operatorId = "ADMIN") {
    const std::string errFile = company.Path("qvadmin-stderr.txt");
    return Finish(popen(AdminCommand(company, args, errFile, operatorId).c_str(), "r"), errFile);
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace admintest
