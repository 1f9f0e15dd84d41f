// A throw-away copy of the demo company for one test: made in a fresh temporary folder,
// opened as the current company, removed afterwards.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

class TestCompany {
public:
    // withDemoData false leaves out data files, keeping dictionaries, lists and settings.
    explicit TestCompany(bool withDemoData = true);
    ~TestCompany();
    TestCompany(const TestCompany&) = delete;
    TestCompany& operator=(const TestCompany&) = delete;

    const std::string& Folder() const { return _folder; }
    std::string Path(const std::string& relative) const { return _folder + "/" + relative; }

    // Merges values into one section of company.json ("mail" ...) and opens the company
    // again so the change is seen.
    void UpdateSettings(const std::string& section, const nlohmann::json& values);

    // The folder of the demo company in the sources.
    static std::string DemoFolder();
    // A fresh empty temporary folder (removed by the caller).
    static std::string MakeTempFolder(const std::string& prefix);

private:
    std::string _folder;
};
