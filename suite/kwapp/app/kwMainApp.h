// The application object of a suite program with a main window: on top of kwApplication it
// opens the company (--data, $QV_DATA, the last one opened, else the demo company), sets
// the operator, installs the message box, and links the loaded libraries in.
#pragma once

#include "kwapp/app/kwApplication.h"

class kwMainApp : public kwApplication {
public:
    kwMainApp(const std::string& name, const std::string& abbreviation,
              const kwBase::Version& programVersion, const kwBase::Version& minDataVersion);
    ~kwMainApp() override;

    // false, with a message, when the company cannot be opened or the operator may not use
    // it; the program then ends.
    bool InitInstance() override;
    int ExitInstance() override;

    // The company folder to open: --data, else $QV_DATA, else the last one opened, else the
    // demo company (copied into the user's data folder on first use).
    bool ResolveCompany(std::string* folder, std::string* error) const;

private:
    bool _messageBoxInstalled = false;
};
