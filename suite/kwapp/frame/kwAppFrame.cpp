// The frame keeps no command logic of its own: every menu item, accelerator and toolbar
// button carries its command id and asks the application to run it, and the application
// says which are enabled. An id nothing handles stays disabled.
#include "kwapp/frame/kwAppFrame.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/resources/kwDynLinkLibrary.h"
#include "kwapp/resources/kwMenuResource.h"
#include "kwapp/widgets/kwPersistWindowState.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/strings/kwStringTable.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <map>

namespace {
using C = kwCommonCommands;

QString FrameString(unsigned short id) {
    std::string text = KWLoadString(kwMainModuleName(), static_cast<short>(id));
    if (text.empty()) text = KWLoadString(KWAPP_MODULE, static_cast<short>(id));
    return QString::fromStdString(text);
}

std::string PersistKey() {
    const kwApplication* app = KWGetApp();
    return (app ? app->Abbreviation() : std::string("KW")) + ".frame";
}
} // namespace

kwAppFrame::kwAppFrame(unsigned short toolBarId, unsigned short indicatorsId, bool taskToolBar)
    : _toolBarId(toolBarId), _indicatorsId(indicatorsId), _taskToolBar(taskToolBar) {
    setObjectName(QStringLiteral("kwAppFrame"));
}

kwAppFrame::~kwAppFrame() = default;

bool kwAppFrame::LoadFrame(unsigned short resourceId, unsigned long style, QWidget* /*parent*/,
                           void* /*context*/) {
    _resourceId = resourceId;
    _style = style;
    auto menu = kwMenuResource::FindMenu(resourceId);
    if (!menu || !kwMenuResource::WellFormed(*menu)) return false;

    _mdiArea = new QMdiArea(this);
    _mdiArea->setObjectName(QStringLiteral("kwMdiArea"));
    _mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    _mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(_mdiArea);
    connect(_mdiArea, &QMdiArea::subWindowActivated, this, [this] {
        UpdateFrameTitle();
        UpdateCommandUI();
    });

    _idleLabel = new QLabel(IdleMessage(), this);
    statusBar()->addWidget(_idleLabel, 1);

    if (_taskToolBar) {
        _toolBar = new kwToolBar(this);
        addToolBar(Qt::TopToolBarArea, _toolBar);
    }
    if (OnCreate() == -1) return false;
    UpdateFrameTitle();
    resize(1000, 700);
    return true;
}

int kwAppFrame::OnCreate() {
    // A program that enters records rather than opening document files makes its new
    // record with File New (and its Ctrl+N): the framework's New Issue task.
    kwApplication* app = KWGetApp();
    if (app && app->FindTask(kwCommonCommands::ID_NEW_ISSUE) && !app->HasHandler(kwCommonCommands::ID_FILE_SAVE)) {
        _menuModifier.StartNewMenuGroup("kwNewIssue");
        _menuModifier.AppendAddItemModification("&File", kwCommonCommands::ID_FILE_NEW, "&New Issue...",
                                                CMenuModifier::ORDER_POSITION, 0, 0, 0);
        _menuModifier.AppendAddItemModification("&File", 0, "", CMenuModifier::ORDER_POSITION,
                                                CMenuModifier::MF_SEPARATOR, 0, 1);
    }
    UpdateMenus();
    if (_toolBar) _toolBar->Update();
    return 0;
}

QString kwAppFrame::IdleMessage() const {
    const QString idle = FrameString(IDS_IDLE_MESSAGE);
    return idle.isEmpty() ? QStringLiteral("Ready") : idle;
}

QAction* kwAppFrame::MakeCommandAction(QObject* owner, unsigned short id, const QString& text) {
    // The part after a tab is the key hint; the frame shows the real keys of the
    // accelerator table instead.
    const QString label = text.section(QLatin1Char('\t'), 0, 0);
    auto* action = new QAction(label, owner);
    action->setProperty("cmdId", id);
    if (kwApplication* app = KWGetApp()) {
        action->setStatusTip(QString::fromStdString(app->CommandPrompt(id)));
        action->setEnabled(app->IsCommandEnabled(id));
    } else {
        action->setEnabled(false);
    }
    connect(action, &QAction::triggered, this, [id] {
        if (kwApplication* app = KWGetApp()) app->OnCommand(id);
    });
    return action;
}

void kwAppFrame::BuildMenuBar() {
    QMenuBar* bar = menuBar();
    bar->clear();
    // The old menus leave the bar at once (lookups must not find them) but are deleted
    // later: this may run from one of their own items.
    for (QMenu* old : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        old->setParent(nullptr);
        old->deleteLater();
    }
    auto entries = kwMenuResource::FindMenu(_resourceId);
    if (!entries) return;
    std::vector<QMenu*> open;
    for (const kwMenuEntry& entry : *entries) {
        switch (entry.kind) {
        case kwMenuEntry::Popup: {
            const QString title = QString::fromUtf8(entry.text);
            QMenu* menu = open.empty() ? bar->addMenu(title) : open.back()->addMenu(title);
            open.push_back(menu);
            break;
        }
        case kwMenuEntry::End:
            if (!open.empty()) open.pop_back();
            break;
        case kwMenuEntry::Separator:
            if (!open.empty()) open.back()->addSeparator();
            break;
        case kwMenuEntry::Item: {
            QWidget* container = open.empty() ? static_cast<QWidget*>(bar) : open.back();
            container->addAction(MakeCommandAction(container, entry.id, QString::fromUtf8(entry.text)));
            break;
        }
        }
    }
}

void kwAppFrame::UpdateMenus() {
    BuildMenuBar();
    _menuModifier.Apply(menuBar(), [this](QObject* owner, unsigned short id, const QString& text) {
        return MakeCommandAction(owner, id, text);
    });
    ApplyAccelerators();
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            UpdateCommandUI();
            for (QAction* action : menu->actions()) {
                if (action->property("cmdId").toInt() == C::ID_WINDOW_CASCADE) {
                    FillWindowList(menu);
                    break;
                }
            }
        });
    }
    UpdateCommandUI();
}

void kwAppFrame::ApplyAccelerators() {
    for (QAction* action : _acceleratorActions) {
        removeAction(action);
        action->setParent(nullptr);
        action->deleteLater();
    }
    _acceleratorActions.clear();
    auto keys = kwMenuResource::FindAccelerators(_resourceId);
    std::vector<kwAccelEntry> table = keys ? *keys : std::vector<kwAccelEntry>{};
    // Moving between document windows belongs to every frame.
    table.push_back({"Ctrl+F6", C::ID_NEXT_WINDOW});
    table.push_back({"Ctrl+Shift+F6", C::ID_PREVIOUS_WINDOW});

    std::map<unsigned short, QList<QKeySequence>> byCommand;
    std::vector<unsigned short> order;
    for (const kwAccelEntry& entry : table) {
        if (!entry.keys) continue;
        if (!byCommand.count(entry.id)) order.push_back(entry.id);
        byCommand[entry.id].push_back(QKeySequence(QString::fromUtf8(entry.keys), QKeySequence::PortableText));
    }
    for (unsigned short id : order) {
        QAction* action = nullptr;
        for (QAction* candidate : menuBar()->findChildren<QAction*>()) {
            if (candidate->property("cmdId").toInt() == id) {
                action = candidate;
                break;
            }
        }
        if (!action) {
            // A key without a menu item still reaches its command.
            action = MakeCommandAction(this, id, QString());
            addAction(action);
            _acceleratorActions.push_back(action);
        }
        action->setShortcuts(byCommand[id]);
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

void kwAppFrame::FillWindowList(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->property("windowList").toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    const QList<QMdiSubWindow*> windows = _mdiArea ? _mdiArea->subWindowList() : QList<QMdiSubWindow*>();
    if (windows.isEmpty()) return;
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    separator->setProperty("windowList", true);
    menu->addAction(separator);
    const QString prompt = FrameString(C::ID_ACTIVATE_WINDOW_PROMPT);
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        const QString label = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle())
                                          : QStringLiteral("%1 %2").arg(number).arg(window->windowTitle());
        auto* action = new QAction(label, menu);
        action->setProperty("windowList", true);
        action->setCheckable(true);
        action->setChecked(window == _mdiArea->activeSubWindow());
        action->setStatusTip(prompt);
        QMdiSubWindow* target = window;
        connect(action, &QAction::triggered, this, [this, target] {
            if (_mdiArea->subWindowList().contains(target)) {
                if (target->isMinimized()) target->showNormal();
                _mdiArea->setActiveSubWindow(target);
            }
        });
        menu->addAction(action);
        ++number;
    }
}

QAction* kwAppFrame::FindCommandAction(unsigned short id) const {
    for (QAction* action : menuBar()->findChildren<QAction*>())
        if (action->property("cmdId").toInt() == id && !action->menu()) return action;
    for (QAction* action : _acceleratorActions)
        if (action->property("cmdId").toInt() == id) return action;
    return nullptr;
}

QMenu* kwAppFrame::FindMenu(const std::string& title) const {
    return CMenuModifier::FindMenu(menuBar(), title);
}

void kwAppFrame::UpdateCommandUI() {
    kwApplication* app = KWGetApp();
    for (QAction* action : findChildren<QAction*>()) {
        const QVariant id = action->property("cmdId");
        if (!id.isValid()) continue;
        action->setEnabled(app && app->IsCommandEnabled(static_cast<unsigned short>(id.toUInt())));
    }
}

void kwAppFrame::StartCommandUpdates() {
    if (_updateTimer) return;
    // Enabling follows state the frame is not told about (focus, selections, other
    // programs' files), so it is refreshed while the program idles.
    _updateTimer = new QTimer(this);
    connect(_updateTimer, &QTimer::timeout, this, [this] {
        if (isVisible()) UpdateCommandUI();
    });
    _updateTimer->start(300);
}

void kwAppFrame::UpdateFrameTitle() {
    QString title = FrameString(IDS_FRAME_TITLE);
    if (title.isEmpty() && KWGetApp()) title = QString::fromStdString(KWGetApp()->Name());
    if (kwCompany::IsOpen() && !kwCompany::Name().empty())
        title += QStringLiteral(" - ") + QString::fromStdString(kwCompany::Name());
    if ((_style & FWS_ADDTOTITLE) && _mdiArea) {
        if (QMdiSubWindow* active = _mdiArea->activeSubWindow())
            title += QStringLiteral(" - [") + active->windowTitle() + QStringLiteral("]");
    }
    setWindowTitle(title);
}

void kwAppFrame::SetMessageText(const QString& text) { statusBar()->showMessage(text, 10000); }

bool kwAppFrame::CloseAllDocuments() {
    if (!_mdiArea) return true;
    for (QMdiSubWindow* window : _mdiArea->subWindowList())
        if (!window->close()) return false;
    return true;
}

void kwAppFrame::RestorePlacement() { kwPersistWindowState(this, PersistKey()).Restore(); }

void kwAppFrame::SavePlacement() { kwPersistWindowState(this, PersistKey()).Save(); }

void kwAppFrame::ShowFrame() {
    if (kwPersistWindowState(this, PersistKey()).WasMaximized()) showMaximized();
    else show();
}

bool kwAppFrame::OnClose() { return CloseAllDocuments(); }

void kwAppFrame::closeEvent(QCloseEvent* event) {
    if (!OnClose()) {
        event->ignore();
        return;
    }
    SavePlacement();
    event->accept();
    if (KWGetApp() && KWGetApp()->MainWindow() == this) QCoreApplication::quit();
}

void kwAppFrame::ArrangeIcons() {
    if (!_mdiArea) return;
    // Minimized windows line up along the bottom edge, left to right, wrapping upwards.
    int x = 0;
    int y = _mdiArea->viewport()->height();
    for (QMdiSubWindow* window : _mdiArea->subWindowList()) {
        if (!window->isMinimized()) continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > _mdiArea->viewport()->width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height());
        x += size.width();
    }
}
