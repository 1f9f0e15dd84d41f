// A task whose function is a modal property sheet: the framework's pages, then those the
// program adds through the sheet-creation callback each time the sheet is made. A sheet
// task with nothing to show is disabled.
#pragma once

#include "kwapp/tasks/kwTask.h"

#include <functional>

class kwPropertySheet;

class kwPropertySheetTask : public kwTask {
public:
    using CreateCallback = std::function<void(kwPropertySheet* sheet)>;

    kwPropertySheetTask(const std::string& name, FlagsType flags, unsigned short id,
                        unsigned short bitmap);
    ~kwPropertySheetTask() override;

    void SetCreateCallback(CreateCallback callback) { _create = std::move(callback); }
    bool HasCreateCallback() const { return static_cast<bool>(_create); }

    // Builds the sheet, runs it, ends.
    void Start() override;
    bool IsEnabled() const override;
    // What the last run answered (kwPropertySheet::ID_OK or ID_CANCEL; 0 before any).
    int LastResult() const { return _lastResult; }

    // Builds the sheet without running it (for callers that drive it themselves).
    void BuildSheet(kwPropertySheet& sheet);

protected:
    // The framework's own pages of this sheet.
    virtual void AddFrameworkPages(kwPropertySheet& sheet);
    virtual bool HasFrameworkPages() const;

private:
    CreateCallback _create;
    int _lastResult = 0;
};
