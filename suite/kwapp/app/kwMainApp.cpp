// Start-up of a program with windows. A run without windows (background, macro) gets no
// message box: its messages go to standard error.
#include "kwapp/app/kwMainApp.h"

#include "kwapp/messages/kwMessageBox.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xs.h"

#include <QApplication>

#include <cstdlib>

kwMainApp::kwMainApp(const std::string& name, const std::string& abbreviation,
                     const kwBase::Version& programVersion, const kwBase::Version& minDataVersion)
    : kwApplication(name, abbreviation, programVersion, minDataVersion) {}

kwMainApp::~kwMainApp() {
    if (_messageBoxInstalled) kwMessageBox::Uninstall();
}

bool kwMainApp::ResolveCompany(std::string* folder, std::string* error) const {
    if (!_commandLine.dataFolder.empty()) {
        *folder = _commandLine.dataFolder;
        return true;
    }
    if (const char* env = std::getenv("QV_DATA"); env && *env) {
        *folder = env;
        return true;
    }
    if (std::string last = LastCompany(); !last.empty()) {
        *folder = last;
        return true;
    }
    return kwCompany::Resolve({}, folder, error);
}

bool kwMainApp::InitInstance() {
    if (!kwApplication::InitInstance()) return false;
    const bool windows = !InBackground() && MacroStatus() != MACRO_RUN &&
                         qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (windows) {
        QApplication::setApplicationName(QString::fromStdString(Name()));
        QApplication::setApplicationDisplayName(QString::fromStdString(Name()));
        QApplication::setApplicationVersion(QString::fromStdString(ProgramVersion().ToString()));
        kwMessageBox::Install();
        _messageBoxInstalled = true;
    }
    if (!_commandLine.operatorId.empty()) kwCompany::SetCurrentOperatorId(_commandLine.operatorId);

    std::string folder, error;
    if (!ResolveCompany(&folder, &error) || (folder = WorkingCompanyFolder(folder, &error)).empty() ||
        !kwCompany::Open(folder, &error)) {
        const std::string text = Name() + " cannot open the company.\n\n" + error;
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        return false;
    }
    RememberCompany(kwCompany::Folder());

    // Under operator security only the company's operators may work.
    xs_oper_def oper{};
    if (xs_security_on() && xs_get_oper_def(&oper) != 0) {
        const std::string text = "The operator \"" + kwCompany::CurrentOperatorId() +
                                 "\" is not an operator of " + kwCompany::Name() + ".";
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        return false;
    }
    CreateLibraryLinks();
    return true;
}

int kwMainApp::ExitInstance() {
    const int code = kwApplication::ExitInstance();
    if (_messageBoxInstalled) {
        kwMessageBox::Uninstall();
        _messageBoxInstalled = false;
    }
    return code;
}
