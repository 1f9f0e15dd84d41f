// Document windows belong to the MDI area; their documents belong to the task, which drops
// a document when its window is gone.
#include "kwapp/tasks/kwDocViewTask.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/tasks/kwDocument.h"
#include "kwapp/tasks/kwMDIChildWnd.h"
#include "kwapp/tasks/kwView.h"
#include "kwcommon/x_message.h"

#include <QMdiArea>
#include <QObject>

kwDocViewTask::kwDocViewTask(const std::string& name, FlagsType flags, unsigned short id,
                             DocumentFactory document, FrameFactory frame, ViewFactory view,
                             short kind, const std::string& commonName,
                             const std::string& description)
    : kwTask(name, flags, id, 0, commonName, description), _makeDocument(std::move(document)),
      _makeFrame(std::move(frame)), _makeView(std::move(view)), _kind(kind),
      _receiver(std::make_unique<QObject>()) {}

kwDocViewTask::~kwDocViewTask() {
    // Windows go before their documents: their views refer to them.
    _receiver.reset();
    for (OpenDocument& open : _open)
        delete open.window.data(); // QPointer: null when the window is already gone
    _open.clear();
}

void kwDocViewTask::Start() {
    kwApplication* app = KWGetApp();
    kwAppFrame* frame = app ? app->MainWindow() : nullptr;
    if (!frame || !_makeDocument || !_makeView) {
        const std::string text = "\"" + Name() + "\" needs the program's main window.";
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        return;
    }
    if (_kind == SINGLE_DOCUMENT && !_open.empty()) {
        if (kwMDIChildWnd* window = _open.front().window) {
            frame->MdiArea()->setActiveSubWindow(window);
            if (window->isMinimized()) window->showNormal();
        }
        return;
    }
    std::unique_ptr<kwDocument> document = _makeDocument();
    if (!document || !document->OnNewDocument()) return;
    if (document->Title().empty()) document->SetTitle(Name());
    kwView* view = _makeView(*document);
    if (!view) return;
    kwMDIChildWnd* window = _makeFrame ? _makeFrame() : nullptr;
    if (!window) window = new kwMDIChildWnd(); // the MDI area takes it over below
    window->Attach(document.get(), view);
    kwDocument* raw = document.get();
    _open.push_back({std::move(document), window});
    QObject::connect(window, &QObject::destroyed, _receiver.get(), [this, raw] { WindowGone(raw); });
    frame->MdiArea()->addSubWindow(window);
    window->show();
    frame->MdiArea()->setActiveSubWindow(window);
    if (Status() != RUNNING) NotifyStart();
}

void kwDocViewTask::WindowGone(kwDocument* document) {
    std::erase_if(_open, [&](const OpenDocument& open) { return open.document.get() == document; });
    if (_open.empty()) End();
}

bool kwDocViewTask::Shutdown() {
    for (OpenDocument& open : _open)
        if (!open.document->SaveModified()) return false;
    return true;
}

void kwDocViewTask::RefreshData() {
    for (OpenDocument& open : _open)
        open.document->Refresh();
}

bool kwDocViewTask::CloseAll() {
    if (!Shutdown()) return false;
    std::vector<QPointer<kwMDIChildWnd>> windows;
    for (OpenDocument& open : _open)
        windows.push_back(open.window);
    // Closed windows are deleted a moment later; what counts is that each agreed to close.
    bool closed = true;
    for (auto& window : windows)
        if (window && !window->close()) closed = false;
    return closed;
}

kwDocument* kwDocViewTask::Document() const {
    return _open.empty() ? nullptr : _open.front().document.get();
}

kwMDIChildWnd* kwDocViewTask::WindowOf(const kwDocument* document) const {
    for (const OpenDocument& open : _open)
        if (open.document.get() == document) return open.window;
    return nullptr;
}
