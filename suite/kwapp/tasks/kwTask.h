// A function of an application that the framework runs by its command number: a menu item,
// a toolbar button, a macro step. Whoever makes a task gives it to the application
// (kwApplication::AddTask), which owns it from then on and finds it again with FindTask.
#pragma once

#include "kwapp/tasks/kwCommand.h"

#include <string>

class kwTask : public kwCommand {
public:
    using FlagsType = unsigned short;
    // Task flags.
    static constexpr FlagsType COMMON = 0x01;     // one of the framework's common tasks
    static constexpr FlagsType BACKGROUND = 0x02; // may run from a macro without a window
    static constexpr FlagsType SECURED = 0x04;    // the operator's rights are checked
    static constexpr FlagsType TOOL_ITEM = 0x08;  // on the toolbar unless the user removes it
    static constexpr FlagsType SINGLE = 0x10;     // one run at a time
    static constexpr FlagsType SETUP = 0x20;      // set-up: privileged operators only under security

    enum StatusType : short { IDLE = 0, RUNNING = 1 };

    // name: shown in menus, toolbar tips and messages; bitmap: the toolbar image's resource id
    // (0: none); commonName: the name macros and other programs know the task by (empty:
    // the name); description: the status-bar prompt (empty: the string table's prompt for
    // the command).
    kwTask(const std::string& name, FlagsType flags, unsigned short id, unsigned short bitmap,
           const std::string& commonName, const std::string& description);
    ~kwTask() override;

    virtual bool SecurityAccessAllowed() const;
    virtual void SetName(const std::string& name);
    virtual std::string Name() const;
    // The toolbar image's size in pixels.
    virtual short ToolItemSize() const;
    virtual bool DefaultToolItem() const;
    // True when the task's command number was given at run time (SetID) rather than fixed.
    virtual bool VariableID() const;
    virtual bool Common() const;
    virtual bool IsEnabled() const;
    // True when the task may be started again while it runs.
    virtual bool AllowInMTI() const;
    // The user's choice of toolbar (the Customize sheet).
    virtual void SetToolItemInfo(bool onToolBar);
    virtual void DeleteToolItem();
    virtual void SetID(unsigned short id);
    virtual std::string CommonName() const;
    // Runs the task. The base marks it running; a task that finishes at once calls End.
    virtual void Start();
    virtual void End();
    virtual bool BackgroundTaskAppl() const;
    virtual void NotifyStart();
    virtual void NotifyEnd();

    FlagsType Flags() const { return _flags; }
    unsigned short Bitmap() const { return _bitmap; }
    short Status() const { return _status; }
    // The status-bar prompt: the task's description, else the string table's prompt.
    std::string Description() const;
    void SetDescription(const std::string& description) { _description = description; }
    // The name the task goes by in the Background Tasks list (empty: the name).
    void SetBackgroundName(const std::string& name) { _backgroundName = name; }
    std::string BackgroundName() const { return _backgroundName.empty() ? Name() : _backgroundName; }
    // On the toolbar: the user's choice, else DefaultToolItem().
    bool OnToolBar() const;
    bool HasToolItemChoice() const { return _toolItemChoice >= 0; }

private:
    std::string _name;
    FlagsType _flags;
    unsigned short _bitmap;
    std::string _commonName;
    std::string _description;
    std::string _backgroundName;
    short _status = IDLE;
    short _toolItemChoice = -1; // -1 none, 0 off, 1 on
    bool _variableId = false;
};
