// The main frame of a suite program: an MDI area for document windows, the menu bar built
// from the program's menu resource plus its menu modifications, the toolbar of task
// buttons, the status bar with each command's prompt, and the accelerators.
#pragma once

#include "kwapp/frame/CMenuModifier.h"

#include <QMainWindow>

#include <string>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class kwToolBar;

class kwAppFrame : public QMainWindow {
    Q_OBJECT
public:
    // LoadFrame style bit: the active document's title is added to the frame's title.
    static constexpr unsigned long FWS_ADDTOTITLE = 0x8000;
    // String ids of the frame's title and idle prompt.
    static constexpr unsigned short IDS_FRAME_TITLE = 57344;
    static constexpr unsigned short IDS_IDLE_MESSAGE = 57345;

    // toolBarId and indicatorsId name a fixed toolbar and extra status-bar indicators; this
    // frame has neither (pass 0: the standard status bar only). taskToolBar shows the
    // toolbar of task buttons.
    kwAppFrame(unsigned short toolBarId, unsigned short indicatorsId, bool taskToolBar);
    ~kwAppFrame() override;

    // Builds the frame from the resources with the id (menu, accelerators) and shows the
    // title; runs OnCreate. false when the resources are missing or OnCreate fails.
    // parent and context are for callers of other frames and are not used.
    bool LoadFrame(unsigned short resourceId, unsigned long style, QWidget* parent, void* context);

    CMenuModifier& MenuModifier() { return _menuModifier; }
    // Rebuilds the menu bar from the resource and the modifications.
    void UpdateMenus();
    kwToolBar* ToolBar() const { return _toolBar; }
    QMdiArea* MdiArea() const { return _mdiArea; }

    // The first command action (menu item, else accelerator) for the id.
    QAction* FindCommandAction(unsigned short id) const;
    QMenu* FindMenu(const std::string& title) const;
    // Enables each command's actions as the application says.
    void UpdateCommandUI();
    void StartCommandUpdates();
    void UpdateFrameTitle();
    // A message in the status bar (it gives way to the next prompt).
    void SetMessageText(const QString& text);
    QString IdleMessage() const;

    // Closes every document window; false when one refused.
    bool CloseAllDocuments();
    void RestorePlacement();
    void SavePlacement();
    // Shows the frame as it was last left (maximized or not).
    void ShowFrame();
    // Lines the minimized document windows up along the bottom of the MDI area.
    void ArrangeIcons();
    unsigned long Style() const { return _style; }
    unsigned short ToolBarId() const { return _toolBarId; }
    unsigned short IndicatorsId() const { return _indicatorsId; }

protected:
    // After LoadFrame made the widgets: builds menus and toolbar. 0 continues, -1 fails.
    virtual int OnCreate();
    // The user closes the frame. true lets it close; the base closes every document window.
    virtual bool OnClose();
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* MakeCommandAction(QObject* owner, unsigned short id, const QString& text);
    void BuildMenuBar();
    void ApplyAccelerators();
    void FillWindowList(QMenu* menu);

    unsigned short _toolBarId;
    unsigned short _indicatorsId;
    bool _taskToolBar;
    unsigned short _resourceId = 0;
    unsigned long _style = 0;
    CMenuModifier _menuModifier;
    QMdiArea* _mdiArea = nullptr;
    kwToolBar* _toolBar = nullptr;
    QLabel* _idleLabel = nullptr;
    QTimer* _updateTimer = nullptr;
    QList<QAction*> _acceleratorActions;
};
