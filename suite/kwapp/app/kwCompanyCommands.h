// File > New Company and File > Open Company.
#pragma once

#include <string>

class kwCompanyCommands {
public:
    kwCompanyCommands() = delete;

    // Makes a new company in folder (missing, or empty) with the demo company's
    // dictionaries, lists and settings and none of its records: its top-level *.json files
    // and its dict folder. The company is named after the folder. The copy is put together
    // beside the folder and placed through kwStoredFile::PlaceFolder, so a failed copy never
    // looks like a company.
    static bool CreateCompany(const std::string& folder, std::string* error);
    // True when folder holds a company (its settings file is there and readable).
    static bool IsCompany(const std::string& folder);

    // The menu commands: choose a folder, then create/open it; every refusal is explained.
    static void OnNewCompany();
    static void OnOpenCompany();
};
