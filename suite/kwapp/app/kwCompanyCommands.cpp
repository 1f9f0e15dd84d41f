// A company is switched only as a whole: the folder is checked before any window is asked
// to close, and a refused folder leaves the current company as it was.
#include "kwapp/app/kwCompanyCommands.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/dialogs/kwFolderDialog.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
bool ReadJson(const fs::path& path, nlohmann::json* doc) {
    std::ifstream in(path);
    if (!in) return false;
    std::stringstream text;
    text << in.rdbuf();
    *doc = nlohmann::json::parse(text.str(), nullptr, false);
    return !doc->is_discarded();
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

void ShowError(const std::string& text) { xw_wr_message(0, XW_ERROR, text.c_str(), 0); }

std::string StartFolder() {
    if (!kwCompany::IsOpen()) return kwCompany::UserDataFolder();
    return fs::path(kwCompany::Folder()).parent_path().string();
}
} // namespace

bool kwCompanyCommands::IsCompany(const std::string& folder) {
    nlohmann::json doc;
    return ReadJson(fs::path(folder) / "company.json", &doc) && doc.is_object();
}

bool kwCompanyCommands::CreateCompany(const std::string& folder, std::string* error) {
    std::error_code ec;
    const fs::path target = fs::absolute(folder, ec);
    if (folder.empty() || ec) {
        *error = "No folder was given for the new company.";
        return false;
    }
    if (IsCompany(target.string())) {
        *error = "\"" + target.string() + "\" already holds a company. Use Open Company to work on it.";
        return false;
    }
    if (fs::exists(target, ec)) {
        if (!fs::is_directory(target, ec)) {
            *error = "\"" + target.string() + "\" is a file, not a folder.";
            return false;
        }
        if (!fs::is_empty(target, ec)) {
            *error = "\"" + target.string() +
                     "\" is not empty. Choose an empty folder, or a new one, for the new company.";
            return false;
        }
    }
    const fs::path source = kwCompany::DemoSourceFolder();
    if (!IsCompany(source.string())) {
        *error = "The company template was not found at \"" + source.string() + "\".";
        return false;
    }
    const fs::path partial = target.string() + ".partial-" + std::to_string(::getpid());
    fs::remove_all(partial, ec);
    fs::create_directories(partial, ec);
    if (ec) {
        *error = "Cannot make the folder \"" + partial.string() + "\": " + ec.message() + ".";
        return false;
    }
    auto fail = [&](const std::string& text) {
        *error = text;
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        return false;
    };
    for (const auto& entry : fs::directory_iterator(source, ec)) {
        const fs::path name = entry.path().filename();
        std::error_code copyError;
        if (entry.is_regular_file() && entry.path().extension() == ".json") {
            fs::copy_file(entry.path(), partial / name, copyError);
        } else if (entry.is_directory() && name == "dict") {
            fs::copy(entry.path(), partial / name, fs::copy_options::recursive, copyError);
        } else {
            continue; // records, seed data and documentation stay with the demo
        }
        if (copyError)
            return fail("Cannot copy \"" + entry.path().string() + "\": " + copyError.message() + ".");
    }
    if (ec) return fail("Cannot read the company template: " + ec.message() + ".");

    nlohmann::json settings;
    if (!ReadJson(partial / "company.json", &settings) || !settings.is_object())
        return fail("The company template's settings cannot be read.");
    settings["name"] = target.filename().string();
    std::string text;
    try {
        text = settings.dump(2) + "\n";
    } catch (const nlohmann::json::exception&) {
        return fail("The folder's name is not valid text for a company name.");
    }
    if (!WriteText(partial / "company.json", text))
        return fail("Cannot write the new company's settings.");
    if (fs::exists(target, ec)) fs::remove(target, ec); // empty, checked above
    fs::create_directories(target.parent_path(), ec);
    fs::rename(partial, target, ec);
    if (ec) return fail("Cannot put the new company in \"" + target.string() + "\": " + ec.message() + ".");
    return true;
}

void kwCompanyCommands::OnNewCompany() {
    kwApplication* app = KWGetApp();
    if (!app) return;
    const auto folder = kwFolderDialog::Choose("New Company: choose an empty folder", StartFolder());
    if (!folder) return;
    std::string error;
    if (!CreateCompany(*folder, &error)) {
        ShowError(error);
        return;
    }
    if (!app->OpenCompany(*folder, &error) && !error.empty())
        ShowError("The new company was made in \"" + *folder + "\" but could not be opened: " + error);
}

void kwCompanyCommands::OnOpenCompany() {
    kwApplication* app = KWGetApp();
    if (!app) return;
    const auto folder = kwFolderDialog::Choose("Open Company", StartFolder());
    if (!folder) return;
    std::string error;
    if (!app->OpenCompany(*folder, &error) && !error.empty()) ShowError(error);
}
