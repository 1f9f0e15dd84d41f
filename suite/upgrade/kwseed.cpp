// kwseed: loads the JSON seed records of a company folder (seed/*.json) into its data
// files and removes the seed folder, as a demo company's first use does. Makes the old
// demo company that the upgrade is tried on (scripts/make-old-demo).
#include "kwcommon/company/kwSeedCompany.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        (argc == 2 ? std::cout : std::cerr) << "usage: kwseed DIR\n"
                                               "Loads DIR/seed/*.json into the company's data files.\n";
        return argc == 2 ? 0 : 1;
    }
    std::string error;
    if (!kwSeedCompany(argv[1], &error)) {
        std::cerr << "kwseed: " << error << "\n";
        return 2;
    }
    return 0;
}
