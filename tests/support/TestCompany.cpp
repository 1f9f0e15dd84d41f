// Temporary company folders for tests.
#include "TestCompany.h"

#include "kwcommon/company/kwSeedCompany.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio_dict.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

std::string TestCompany::DemoFolder() { return QV_DEMO_DIR; }

namespace {
// The program hands its demo company to the data library at start-up; so do the tests.
[[maybe_unused]] const bool demoHandedIn = (kwCompany::SetDemoSourceFolder(QV_DEMO_DIR), true);
} // namespace

std::string TestCompany::MakeTempFolder(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        ADD_FAILURE() << "cannot make a temporary folder";
    }
    return pattern;
}

TestCompany::TestCompany(bool withDemoData) {
    // Loading the demo records makes every data file anew, which takes about a second; it
    // is done once per test program, and each company then copies the loaded files.
    struct LoadedDemo {
        std::string folder;
        std::string error;
        pid_t owner = getpid();
        LoadedDemo() {
            folder = MakeTempFolder("qvdemo-");
            fs::copy(DemoFolder(), folder, fs::copy_options::recursive);
            kwSeedCompany(folder, &error);
        }
        ~LoadedDemo() {
            std::error_code ignored;
            if (getpid() == owner) fs::remove_all(folder, ignored);
        }
    };
    _folder = MakeTempFolder("qvtest-");
    std::string source = DemoFolder();
    if (withDemoData) {
        static LoadedDemo loaded;
        if (!loaded.error.empty()) ADD_FAILURE() << "cannot load the demo records: " << loaded.error;
        source = loaded.folder;
    }
    for (const auto& entry : fs::directory_iterator(source)) {
        if (!withDemoData) {
            // Settings, lists and dictionaries only: no data files and no seed records.
            if (entry.is_regular_file() && entry.path().extension() != ".json") continue;
            if (entry.is_directory() && entry.path().filename() == "seed") continue;
        }
        fs::copy(entry.path(), fs::path(_folder) / entry.path().filename(),
                 fs::copy_options::recursive);
    }
    std::string error;
    if (!kwCompany::Open(_folder, &error)) {
        ADD_FAILURE() << "cannot open the test company: " << error;
    }
    kwCompany::SetCurrentOperatorId("ADMIN");
    kwDictionaryLoader::ClearCache();
    xw_clear_shown_messages();
}

TestCompany::~TestCompany() {
    kwCompany::Close();
    kwDictionaryLoader::ClearCache();
    std::error_code ignored;
    fs::remove_all(_folder, ignored);
}

void TestCompany::UpdateSettings(const std::string& section, const nlohmann::json& values) {
    nlohmann::json settings;
    std::ifstream(Path("company.json")) >> settings;
    settings[section].update(values);
    std::ofstream(Path("company.json")) << settings.dump(2);
    std::string error;
    ASSERT_TRUE(kwCompany::Open(_folder, &error)) << error;
}
