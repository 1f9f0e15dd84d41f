// The entry is looked up each time it is needed rather than once: the library that holds it
// may be loaded after the task was made.
#include "kwapp/tasks/kwNewIssueTask.h"

#include "kwapp/app/kwApplication.h"
#include "kwcommon/x_message.h"

#include <dlfcn.h>

kwNewIssueTask::kwNewIssueTask(unsigned short id)
    : kwTask("New Issue", SECURED, id, NEW_ISSUE_BITMAP, {}, {}) {}

kwNewIssueTask::~kwNewIssueTask() = default;

std::string kwNewIssueTask::EntryName() const {
    const kwApplication* app = KWGetApp();
    std::string name = app ? app->Abbreviation() : std::string();
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return name + "_new_issue";
}

kwNewIssueTask::EntryPoint kwNewIssueTask::ResolveEntry() const {
    const std::string name = EntryName();
    void* symbol = ::dlsym(RTLD_DEFAULT, name.c_str());
    return reinterpret_cast<EntryPoint>(symbol);
}

bool kwNewIssueTask::IsEnabled() const { return ResolveEntry() != nullptr; }

void kwNewIssueTask::Start() {
    EntryPoint entry = ResolveEntry();
    if (!entry) {
        const std::string text = "\"" + Name() + "\" is not available: no loaded library provides " +
                                 EntryName() + ".";
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        return;
    }
    NotifyStart();
    _lastResult = entry(nullptr, this);
}
