// The application object of a suite program with a main window: on top of kwApplication it
// opens the company (the data library's rule: --data, $QV_DATA, the last one opened, else
// the demo company), lets the user log on as one of its operators when operator security
// is on, keeps one running program per company, installs the message box, and links the
// loaded libraries in.
#pragma once

#include "kwapp/app/kwApplication.h"
#include "kwcommon/kwCompanyChoice.h"

#include <QString>

#include <memory>

class kwSingleInstance;

class kwMainApp : public kwApplication {
public:
    kwMainApp(const std::string& name, const std::string& abbreviation,
              const kwBase::Version& programVersion, const kwBase::Version& minDataVersion);
    ~kwMainApp() override;

    // false, with a message, when the company cannot be opened or the user would not log
    // on to it; the program then ends. A start on a company that this program already
    // runs on brings that program's window to the front and ends without error.
    bool InitInstance() override;
    int ExitInstance() override;

    // The company folder to open, by the data library's rule (kwCompanyChoice::Choose).
    bool ResolveCompany(std::string* folder, std::string* error,
                        kwCompanyChoice::Source* source = nullptr) const;

    // The bus name this program holds for its company ("" without a bus).
    QString InstanceName() const;

protected:
    // A company another program already runs on brings that one to the front instead;
    // otherwise the operator must be one of the company's.
    bool MayWorkOnCompany() override;

private:
    // Under operator security only the company's operators may work: the log-on dialog lets
    // the user choose one, or open another company. false when the user gave up.
    bool LogOnToCompany(bool windows);
    // Takes the company's instance name; false when another program runs on it (asked to
    // come to the front).
    bool ClaimCompany();

    bool _messageBoxInstalled = false;
    bool _windows = false;
    std::string _claimedFolder; // the company whose name this program holds on the bus
    std::unique_ptr<kwSingleInstance> _instance;
};
