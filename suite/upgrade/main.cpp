// qvupgrade: the suite's data-upgrade host. Converts a company's issue file to the data
// version of the installed dictionary, with the common-services library (loaded by name,
// never linked) converting what only it understands.
#include "ApplicationLibrary.h"
#include "DataFileUpgrade.h"
#include "KillPoints.h"
#include "UpgradeReport.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"

#include <cstdlib>
#include <iostream>
#include <string>

namespace {
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitRefused = 2;

// The applications whose data this host upgrades: their library and data files.
struct UpgradeTarget {
    const char* library;
    const char* files[4];
};
constexpr UpgradeTarget kTargets[] = {
    {"QVCORE.DLL", {"QVI"}},
};

void Usage(std::ostream& out) {
    out << "usage: qvupgrade --data DIR [--dry-run]\n"
           "       qvupgrade --help\n"
           "Upgrades the issue file of the company in DIR to the data version of the installed\n"
           "dictionary. The old file is copied to a dated backup beside it first and stays as it\n"
           "was if anything goes wrong. Everyone must have left the program while it runs.\n"
           "  --dry-run  convert into a scratch file and report what would happen; change nothing\n"
           "Exit codes: 0 upgraded or nothing to do, 1 usage error, 2 refused or failed (nothing\n"
           "changed).\n";
}
} // namespace

int main(int argc, char** argv) {
    std::string folder;
    bool dryRun = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(std::cout);
            return kExitOk;
        }
        if (arg == "--dry-run") {
            dryRun = true;
        } else if (arg == "--data" && i + 1 < argc) {
            folder = argv[++i];
        } else {
            std::cerr << "qvupgrade: " << (arg == "--data" ? "--data needs a folder" : "unknown argument \"" + arg + "\"")
                      << "\n";
            Usage(std::cerr);
            return kExitUsage;
        }
    }
    if (folder.empty()) {
        std::cerr << "qvupgrade: name the company folder with --data DIR\n";
        Usage(std::cerr);
        return kExitUsage;
    }
    std::string error;
    if (!kwCompany::Open(folder, &error)) {
        std::cerr << "qvupgrade: " << error << "\n";
        return kExitUsage;
    }
    xw_set_application_name("qvupgrade");
    UpgradeReport report(std::cout, std::cerr);
    report.Line(std::string(dryRun ? "Dry run of the data upgrade of " : "Data upgrade of ") + kwCompany::Name() +
                " (" + kwCompany::Folder() + ")");

    int result = kExitOk;
    for (const UpgradeTarget& target : kTargets) {
        ApplicationLibrary library;
        if (!library.Load(target.library, &error)) {
            report.Error("The library " + std::string(target.library) + " cannot be loaded: " + error);
            result = kExitRefused;
            continue;
        }
        report.Line(library.Name() + " " + library.Version() + " (" + library.File() +
                    "), lowest data version " + library.MinDataVersion());
        for (const char* abbrev : target.files) {
            if (!abbrev) break;
            DataFileUpgrade upgrade(abbrev, library, report, dryRun);
            const DataFileUpgrade::Outcome outcome = upgrade.Run();
            if (outcome == DataFileUpgrade::Outcome::Refused || outcome == DataFileUpgrade::Outcome::Failed)
                result = kExitRefused;
        }
    }
    if (std::getenv("QV_UPGRADE_KILL_AT")) std::cerr << "kill points: " << UpgradeKillPointsPassed() << "\n";
    return result;
}
