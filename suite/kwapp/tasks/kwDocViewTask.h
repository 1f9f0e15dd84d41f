// A task whose function is a document shown in windows of the main frame's MDI area. Each
// start makes a document, a view and a window from the task's factories; the task runs
// while it has a document open and ends when the last window closes.
#pragma once

#include "kwapp/tasks/kwTask.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QObject;
class kwDocument;
class kwMDIChildWnd;
class kwView;

class kwDocViewTask : public kwTask {
public:
    using DocumentFactory = std::function<std::unique_ptr<kwDocument>()>;
    // Makes the window (empty: a plain kwMDIChildWnd). The MDI area takes it over.
    using FrameFactory = std::function<kwMDIChildWnd*()>;
    // Makes the view of a document. The window takes it over.
    using ViewFactory = std::function<kwView*(kwDocument&)>;

    enum TemplateKind : short {
        MULTIPLE_DOCUMENTS = 1, // every start opens another window
        SINGLE_DOCUMENT = 2,    // a start while a window is open brings that window forward
    };

    kwDocViewTask(const std::string& name, FlagsType flags, unsigned short id,
                  DocumentFactory document, FrameFactory frame, ViewFactory view, short kind,
                  const std::string& commonName, const std::string& description);
    ~kwDocViewTask() override;

    // Opens a window (needs the application's main window).
    void Start() override;
    // The task decides itself what a second start does (see TemplateKind).
    bool AllowInMTI() const override { return true; }

    // May the program close? true when no document is open, else every document's answer
    // to closing (unsaved changes are offered for saving).
    virtual bool Shutdown();
    // The data changed elsewhere: every open document reads it again.
    virtual void RefreshData();
    // Shutdown, then closes every window. false when a document kept its window open.
    bool CloseAll();

    short Kind() const { return _kind; }
    kwDocument* Document() const; // the first open document, or nullptr
    size_t DocumentCount() const { return _open.size(); }
    kwMDIChildWnd* WindowOf(const kwDocument* document) const;

private:
    struct OpenDocument {
        std::unique_ptr<kwDocument> document;
        QPointer<kwMDIChildWnd> window;
    };
    void WindowGone(kwDocument* document);

    DocumentFactory _makeDocument;
    FrameFactory _makeFrame;
    ViewFactory _makeView;
    short _kind;
    std::vector<OpenDocument> _open;
    // Receiver of the windows' destroyed signals: disconnects them when the task goes.
    std::unique_ptr<QObject> _receiver;
};
