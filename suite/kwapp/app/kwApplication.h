// The application object of a suite program: its name, abbreviation and versions, its
// tasks and commands, its main window and the company it works on. One exists at a time;
// KWGetApp() finds it.
#pragma once

#include "kwapp/app/kwCommandLine.h"
#include "kwapp/app/kwVersion.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class kwAppFrame;
class kwRegistryObject;
class kwTask;

class kwApplication {
public:
    // Macro states (MacroStatus()).
    enum MacroState : short { MACRO_NONE = 0, MACRO_RUN = 3 };

    kwApplication(const std::string& name, const std::string& abbreviation,
                  const kwBase::Version& programVersion, const kwBase::Version& minDataVersion);
    virtual ~kwApplication();
    kwApplication(const kwApplication&) = delete;
    kwApplication& operator=(const kwApplication&) = delete;

    const std::string& Name() const { return _name; }
    const std::string& Abbreviation() const { return _abbreviation; }
    const kwBase::Version& ProgramVersion() const { return _programVersion; }
    const kwBase::Version& MinDataVersion() const { return _minDataVersion; }

    // Runs the program: makes the Qt application object when there is none (a windowless
    // one for --background and --macro), reads the command line, InitInstance, the message
    // loop, ExitInstance. Answers the process's exit code.
    int Run(int argc, char** argv);
    // The arguments after the program name; for callers that drive InitInstance themselves.
    bool SetArguments(const std::vector<std::string>& arguments, std::string* error);
    const kwCommandLine& CommandLine() const { return _commandLine; }

    virtual bool InitInstance();
    // Releases what InitInstance set up; answers the exit code.
    virtual int ExitInstance();
    // After the main window exists: its placement, the command-state updates, --exit-after.
    bool InitForeground();

    bool InBackground() const { return _commandLine.background; }
    short MacroStatus() const { return _commandLine.macroFile.empty() ? MACRO_NONE : MACRO_RUN; }
    // Runs the macro file's commands without a window (each line a command number; "#" or
    // ";" starts a comment). Only tasks that may run in the background are started; every
    // other line is reported on standard error and in the company's log. true when every
    // line ran. Without a macro there is nothing to do and the answer is true.
    bool ProcessMacro();
    void SetExitCode(int code) { _exitCode = code; }
    int ExitCode() const { return _exitCode; }

    // Tasks, in the order they were added. The application owns every task it was given
    // and destroys it with itself or through DestroyTask; AddTask answers the task added.
    template <typename T> T& AddTask(std::unique_ptr<T> task) {
        T& added = *task;
        AdoptTask(std::move(task));
        return added;
    }
    kwTask* FindTask(unsigned short id) const;
    std::vector<kwTask*> Tasks() const;
    // Destroys the task with the id (through its virtual destructor). false when none.
    bool DestroyTask(unsigned short id);
    // A task started or ended: the frame brings its commands up to date.
    void TaskStatusChanged(kwTask* task);

    // The framework's common commands and tasks (company, edit, window and help commands;
    // New Issue, Customize and Options). documentCommands adds File New, Open and Save for
    // programs whose documents are files.
    void NewCommonCommands(bool documentCommands);
    // Commands that are not tasks. enabled may be empty (always enabled).
    void AddCommand(unsigned short id, std::function<void()> run,
                    std::function<bool()> enabled = {});
    void RemoveCommand(unsigned short id);
    // Something handles the id: a task or a command.
    bool HasHandler(unsigned short id) const;
    // Enabled: a task that is enabled and allowed to the operator, or an enabled command.
    // Nothing handles an id: disabled.
    bool IsCommandEnabled(unsigned short id) const;
    // Runs the command or starts the task; false when nothing handles it or it is disabled.
    bool OnCommand(unsigned short id);
    // The status-bar prompt of a command: the task's description, else the main module's
    // string table, else the framework's.
    std::string CommandPrompt(unsigned short id) const;
    // The prompt of a command from the string tables alone (main module, then framework).
    static std::string PromptFromTables(unsigned short id);

    // The main window (owned by the application).
    kwAppFrame* MainWindow() const { return _mainWindow.get(); }
    void SetMainWindow(std::unique_ptr<kwAppFrame> frame);

    // Opens another company: document windows are closed first (they may refuse), then the
    // company is opened, remembered as the last one and the company-changed handlers run.
    // false with a message in error when the folder is not a company or a window refused.
    bool OpenCompany(const std::string& folder, std::string* error);
    void AddCompanyChangedHandler(std::function<void()> handler);
    // The folder to work in for a company folder: the folder itself, except for the demo
    // company shipped with the program, which is never worked on: its copy in the user's
    // data folder is used (made when missing). Empty, with error, when the copy fails.
    static std::string WorkingCompanyFolder(const std::string& folder, std::string* error);
    // The company opened last (user settings), if it still is a company.
    static std::string LastCompany();
    static void RememberCompany(const std::string& folder);

    // Library link objects made at start-up from the object registry (see kwObjectRegistry).
    void CreateLibraryLinks();
    void ReleaseLibraryLinks();
    size_t LibraryLinkCount() const { return _libraryLinks.size(); }

protected:
    // InitInstance answers false because another program does the work (nothing failed):
    // the process ends with exit code 0.
    void EndWithoutError() { _endedWithoutError = true; }
    // The company OpenCompany has just opened: may the current operator work on it? false
    // goes back to the company open before. Base: yes.
    virtual bool MayWorkOnCompany() { return true; }

    kwCommandLine _commandLine;

private:
    // --exit-after: the timer starts with Run (or with the frame for callers without Run).
    void StartExitTimer();
    void ExitAfterElapsed();

    struct Command {
        std::function<void()> run;
        std::function<bool()> enabled;
    };

    std::string _name;
    std::string _abbreviation;
    kwBase::Version _programVersion;
    kwBase::Version _minDataVersion;
    void AdoptTask(std::unique_ptr<kwTask> task);

    std::vector<std::unique_ptr<kwTask>> _tasks;
    std::map<unsigned short, Command> _commands;
    std::unique_ptr<kwAppFrame> _mainWindow;
    std::vector<std::function<void()>> _companyChanged;
    std::vector<std::unique_ptr<kwRegistryObject>> _libraryLinks;
    std::vector<std::string> _libraryLinkNames;
    int _exitCode = 0;
    bool _macroProcessed = false;
    bool _exitTimerStarted = false;
    bool _exitRequested = false;
    bool _endedWithoutError = false;
};

// The application object of this process (nullptr before one exists).
kwApplication* KWGetApp();
