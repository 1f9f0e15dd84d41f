// A company is switched only as a whole: the folder is checked before any window is asked
// to close, and a refused folder leaves the current company as it was.
#include "kwapp/app/kwCompanyCommands.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/dialogs/kwFolderDialog.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwCompanyChoice.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_message.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {
void ShowError(const std::string& text) { xw_wr_message(0, XW_ERROR, text.c_str(), 0); }

std::string StartFolder() {
    if (!kwCompany::IsOpen()) return kwCompany::UserDataFolder();
    return fs::path(kwCompany::Folder()).parent_path().string();
}
} // namespace

bool kwCompanyCommands::IsCompany(const std::string& folder) { return kwCompanyChoice::IsCompanyFolder(folder); }

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
    fs::create_directories(target.parent_path(), ec);
    kwStoredFile::RemoveAbandonedTemporaries(target.parent_path().string());
    const fs::path partial = kwStoredFile::TemporaryPath(target.string());
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

    const std::string settingsPath = (partial / "company.json").string();
    nlohmann::json settings;
    std::string reason;
    if (kwJsonReadFile(settingsPath, &settings, &reason) != kwJsonRead::Ok || !settings.is_object())
        return fail("The company template's settings cannot be read. " + reason);
    settings["name"] = target.filename().string();
    std::string text;
    if (!kwJsonDump(settings, &text))
        return fail("The folder's name is not valid text for a company name.");
    if (!kwStoredFile::Write(settingsPath, text, &reason))
        return fail("Cannot write the new company's settings: " + reason + ".");
    bool placed = false;
    if (!kwStoredFile::PlaceFolder(partial.string(), target.string(), &reason, &placed))
        return fail("Cannot put the new company in \"" + target.string() + "\": " + reason + ".");
    if (!placed) {
        *error = "\"" + target.string() + "\" was filled by someone else meanwhile; the new company was not made.";
        return false;
    }
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
