// The company whose data the program works on: its folder and its settings.
//
// A company folder holds:
//   company.json      settings: name, date format, mail settings
//   dict/             data dictionaries (*.dct)
//   lists.json        custom lists, custom descriptions and key formats
//   operators.json    operators
//   applications.json installed applications
//   filecontrol.json  file control (folder and named-files mode per file abbreviation)
//   misc/             miscellaneous shared files
//   kwlog.txt         the suite log
// and the data files themselves.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

class kwCompany {
public:
    // Makes the company in folder the current one. false with a message when the folder
    // is not a company (no company.json) or company.json is malformed: not JSON, or a
    // "name" or "dateFormat" that is not a text (or no date format), the message naming the
    // file and the key. The current company stays. The "mail" settings are checked where
    // mail is sent, so a fault there stops the mail, not the work.
    static bool Open(const std::string& folder, std::string* error);
    static bool IsOpen();
    static void Close();

    static const std::string& Folder();               // absolute, no trailing separator
    static std::string Path(std::string_view relative); // Folder() + "/" + relative
    static std::string DictionaryFolder();            // Folder()/dict
    static std::string MiscellaneousFolder();         // Folder()/misc, made when missing
    static std::string LogFile();                     // Folder()/kwlog.txt

    static const std::string& Name();
    // Date format: "MM/DD/YYYY" (default), "DD/MM/YYYY", "YYYY-MM-DD", ... built from
    // MM, DD, YYYY or YY and one separator character.
    static const std::string& DateFormat();
    static void SetDateFormat(const std::string& format); // this process only
    // The company's settings as read from company.json (empty object when closed).
    static const nlohmann::json& Settings();

    // The current operator's id: set by the program from --operator, else QV_OPERATOR,
    // else the login name.
    static const std::string& CurrentOperatorId();
    static void SetCurrentOperatorId(const std::string& id);

    // The company folder a program opens: explicit (--data) if given, else QV_DATA,
    // else the demo company, copied on first use into the user's data folder.
    static bool Resolve(const std::string& explicitFolder, std::string* folder, std::string* error);
    // The demo company shipped with the program (read only: it is copied, never written):
    // QV_DEMO_SOURCE when set, else a "demo" folder beside the program, else the folder the
    // program handed in at start-up ("" when it handed in none).
    static std::string DemoSourceFolder();
    static void SetDemoSourceFolder(const std::string& folder);
    // The user's data folder ($XDG_DATA_HOME/quorvel or ~/.local/share/quorvel).
    static std::string UserDataFolder();
    // Copies the demo company to target unless target already holds a company. The copy
    // is made beside target and renamed into place, so a broken copy never looks whole.
    static bool CopyDemo(const std::string& target, std::string* error);
};
