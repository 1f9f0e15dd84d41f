// The View Issues task. The window is a plain document window on the grid view until the
// window of its own (with the toolbar and the form view) takes its place.
#include "qvcore/tasks/TaskViewIssues.h"

#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/viewissues/viDocument.h"
#include "qvcore/viewissues/viPlainGridView.h"

#include "kwdm/kwdmObjectManager.h"

namespace {
constexpr short kNameLiteral = 13; // "View Issues"
constexpr kwTask::FlagsType kFlags = kwTask::SECURED | kwTask::TOOL_ITEM;
} // namespace

TaskViewIssues::TaskViewIssues()
    : kwDocViewTask(
          qvLiteral(kNameLiteral, -1, "QVCORE.DLL").str(), kFlags, COMMAND_ID,
          [this] { return std::make_unique<viDocument>(*this); }, {},
          [](kwDocument& document) { return new viPlainGridView(static_cast<viDocument&>(document)); },
          SINGLE_DOCUMENT, "", ""),
      _manager(std::make_unique<kwdmObjectManager>()) {}

TaskViewIssues::~TaskViewIssues() = default;

void TaskViewIssues::Start() {
    qvIssueFile file(static_cast<short>(COMMAND_ID));
    if (!file.Open()) return;
    file.Close();
    kwDocViewTask::Start();
}

void TaskViewIssues::RefreshData() {
    if (auto* document = dynamic_cast<viDocument*>(Document())) document->RefreshData();
}

bool TaskViewIssues::Shutdown() {
    auto* document = dynamic_cast<viDocument*>(Document());
    return !document || document->Shutdown();
}

void TaskViewIssues::ClearDocument() { _manager = std::make_unique<kwdmObjectManager>(); }
