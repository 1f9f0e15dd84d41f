// Start-up of a program with windows. A run without windows (background, macro) gets no
// message box: its messages go to standard error.
#include "kwapp/app/kwMainApp.h"

#include "kwapp/app/kwSingleInstance.h"
#include "kwapp/dialogs/kwLogOnDlg.h"
#include "kwapp/messages/kwMessageBox.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"

#include <QApplication>

#include <iostream>

kwMainApp::kwMainApp(const std::string& name, const std::string& abbreviation,
                     const kwBase::Version& programVersion, const kwBase::Version& minDataVersion)
    : kwApplication(name, abbreviation, programVersion, minDataVersion) {}

kwMainApp::~kwMainApp() {
    if (_messageBoxInstalled) kwMessageBox::Uninstall();
}

bool kwMainApp::ResolveCompany(std::string* folder, std::string* error, kwCompanyChoice::Source* source) const {
    LastCompany(); // moves a last company kept by an earlier version to where the rule reads it
    return kwCompanyChoice::Choose(_commandLine.dataFolder, folder, source, error);
}

QString kwMainApp::InstanceName() const { return _instance ? _instance->HeldName() : QString(); }

bool kwMainApp::InitInstance() {
    if (!kwApplication::InitInstance()) return false;
    const bool windows = !InBackground() && MacroStatus() != MACRO_RUN &&
                         qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    _windows = windows;
    if (windows) {
        // The name alone: set as the display name, the platform would add it to every
        // window title once more.
        QApplication::setApplicationName(QString::fromStdString(Name()));
        QApplication::setApplicationVersion(QString::fromStdString(ProgramVersion().ToString()));
        kwMessageBox::Install();
        _messageBoxInstalled = true;
    }
    if (!_commandLine.operatorId.empty()) kwCompany::SetCurrentOperatorId(_commandLine.operatorId);

    std::string folder, error;
    if (!ResolveCompany(&folder, &error) || !kwCompany::Open(folder, &error)) {
        const std::string text = Name() + " cannot open the company.\n\n" + error;
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        return false;
    }
    if (windows && !ClaimCompany()) return false;
    if (!LogOnToCompany(windows)) return false;
    // The log-on may have opened another company.
    if (windows && !ClaimCompany()) return false;
    RememberCompany(kwCompany::Folder());
    AddCompanyChangedHandler([this] {
        if (_instance && _instance->ClaimFor(Abbreviation(), kwCompany::Folder()) == kwSingleInstance::Claim::First)
            _claimedFolder = kwCompany::Folder();
    });
    CreateLibraryLinks();
    return true;
}

bool kwMainApp::ClaimCompany() {
    if (!_instance) _instance = std::make_unique<kwSingleInstance>();
    const kwSingleInstance::Claim claim = _instance->ClaimFor(Abbreviation(), kwCompany::Folder());
    if (claim == kwSingleInstance::Claim::First) _claimedFolder = kwCompany::Folder();
    switch (claim) {
    case kwSingleInstance::Claim::AlreadyRunning:
        std::cout << Name() << " is already running on " << kwCompany::Name()
                  << "; its window was brought to the front." << std::endl;
        EndWithoutError();
        return false;
    case kwSingleInstance::Claim::NoAnswer:
        // A program that does not answer may be stuck; the user still gets a window.
        std::cerr << Name() << " is already running on " << kwCompany::Name()
                  << " but does not answer; starting another." << std::endl;
        return true;
    case kwSingleInstance::Claim::First:
    case kwSingleInstance::Claim::NoBus:
        return true;
    }
    return true;
}

bool kwMainApp::MayWorkOnCompany() {
    const std::string previous = _claimedFolder;
    if (_windows && _instance) {
        if (_instance->ClaimFor(Abbreviation(), kwCompany::Folder()) == kwSingleInstance::Claim::AlreadyRunning) {
            const std::string text = Name() + " is already running on " + kwCompany::Name() +
                                     "; its window was brought to the front.";
            xw_wr_message(0, XW_INFO, text.c_str(), 0);
            return false;
        }
        _claimedFolder = kwCompany::Folder();
    }
    if (LogOnToCompany(_windows)) return true;
    // Back to the company the program had: so is its name on the bus.
    if (_instance && !previous.empty()) _instance->ClaimFor(Abbreviation(), previous);
    _claimedFolder = previous;
    return false;
}

bool kwMainApp::LogOnToCompany(bool windows) {
    if (kwLogOnDlg::OperatorMayWork()) return true;
    if (windows) return kwLogOnDlg::LogOn(nullptr);
    // Without a window nobody can choose: say why the run ends.
    xw_wr_message(0, XW_ERROR, kwLogOnDlg::NotAnOperatorText().c_str(), 0);
    return false;
}

int kwMainApp::ExitInstance() {
    const int code = kwApplication::ExitInstance();
    if (_instance) _instance->Release();
    if (_messageBoxInstalled) {
        kwMessageBox::Uninstall();
        _messageBoxInstalled = false;
    }
    return code;
}
