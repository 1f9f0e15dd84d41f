// A task's name, flags and rights; the application that was given the task owns it.
#include "kwapp/tasks/kwTask.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/xs_option_allowed.h"
#include "kwcommon/xs.h"

kwTask::kwTask(const std::string& name, FlagsType flags, unsigned short id, unsigned short bitmap,
               const std::string& commonName, const std::string& description)
    : kwCommand(id), _name(name), _flags(flags), _bitmap(bitmap), _commonName(commonName),
      _description(description) {}

kwTask::~kwTask() = default;

bool kwTask::SecurityAccessAllowed() const {
    const kwApplication* app = KWGetApp();
    const std::string application = app ? app->Abbreviation() : std::string();
    if ((_flags & SECURED) && !xs_option_allowed(static_cast<short>(ID()), application.c_str()))
        return false;
    if ((_flags & SETUP) && xs_security_on()) {
        xs_oper_def oper{};
        if (xs_get_oper_def(&oper) != 0 || oper.privilege != 1) return false;
    }
    return true;
}

void kwTask::SetName(const std::string& name) { _name = name; }
std::string kwTask::Name() const { return _name; }
short kwTask::ToolItemSize() const { return 16; }
bool kwTask::DefaultToolItem() const { return (_flags & TOOL_ITEM) != 0; }
bool kwTask::VariableID() const { return _variableId; }
bool kwTask::Common() const { return (_flags & COMMON) != 0; }
bool kwTask::IsEnabled() const { return true; }
bool kwTask::AllowInMTI() const { return (_flags & SINGLE) == 0; }
void kwTask::SetToolItemInfo(bool onToolBar) { _toolItemChoice = onToolBar ? 1 : 0; }
void kwTask::DeleteToolItem() { _toolItemChoice = 0; }

void kwTask::SetID(unsigned short id) {
    SetCommandID(id);
    _variableId = true;
}

std::string kwTask::CommonName() const { return _commonName.empty() ? Name() : _commonName; }
void kwTask::Start() { NotifyStart(); }
void kwTask::End() { NotifyEnd(); }
bool kwTask::BackgroundTaskAppl() const { return (_flags & BACKGROUND) != 0; }

void kwTask::NotifyStart() {
    _status = RUNNING;
    if (kwApplication* app = KWGetApp()) app->TaskStatusChanged(this);
}

void kwTask::NotifyEnd() {
    if (_status == IDLE) return;
    _status = IDLE;
    if (kwApplication* app = KWGetApp()) app->TaskStatusChanged(this);
}

std::string kwTask::Description() const {
    return _description.empty() ? kwApplication::PromptFromTables(ID()) : _description;
}

bool kwTask::OnToolBar() const {
    return _toolItemChoice < 0 ? DefaultToolItem() : _toolItemChoice == 1;
}
