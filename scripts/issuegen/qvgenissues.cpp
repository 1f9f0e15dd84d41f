// qvgenissues: fills a company's issue file with generated issues.
//   qvgenissues --data COMPANY_FOLDER --count N [--seed S]
// The folder must hold a company (a copy of data/demo will do).
#include "IssueGenerator.h"

#include "kwcommon/kwCompany.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    std::string folder;
    IssueGeneratorOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) folder = argv[++i];
        else if (arg == "--count" && i + 1 < argc) options.count = std::strtoll(argv[++i], nullptr, 10);
        else if (arg == "--seed" && i + 1 < argc) options.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else {
            std::fprintf(stderr, "usage: qvgenissues --data COMPANY_FOLDER --count N [--seed S]\n");
            return 1;
        }
    }
    if (folder.empty() || options.count <= 0) {
        std::fprintf(stderr, "usage: qvgenissues --data COMPANY_FOLDER --count N [--seed S]\n");
        return 1;
    }
    std::string error;
    if (!kwCompany::Open(folder, &error)) {
        std::fprintf(stderr, "qvgenissues: %s\n", error.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    if (!GenerateIssues(options, &error)) {
        std::fprintf(stderr, "qvgenissues: %s\n", error.c_str());
        return 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%lld issues added to %s in %.1f s\n", static_cast<long long>(options.count), IssueFilePath(&error).c_str(),
                seconds);
    return 0;
}
