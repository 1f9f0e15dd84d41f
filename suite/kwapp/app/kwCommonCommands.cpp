// Edit commands act on the widget with the keyboard focus; window commands on the frame's
// MDI area. Each is enabled only when it has something to act on.
#include "kwapp/app/kwCommonCommands.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwCompanyCommands.h"
#include "kwapp/dialogs/kwAboutDialog.h"
#include "kwapp/dialogs/kwCustomDescriptionsDlg.h"
#include "kwapp/dialogs/kwFileDoctorDlg.h"
#include "kwapp/dialogs/kwLogDialog.h"
#include "kwapp/formulas/kwFormulasTask.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/tasks/kwCustomizeTask.h"
#include "kwapp/tasks/kwDocument.h"
#include "kwapp/tasks/kwMDIChildWnd.h"
#include "kwapp/tasks/kwNewIssueTask.h"
#include "kwapp/tasks/kwOptionsTask.h"
#include "kwapp/widgets/kwHelp.h"
#include "kwcommon/kwCompany.h"

#include <memory>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWhatsThis>

namespace {
kwAppFrame* Frame() {
    kwApplication* app = KWGetApp();
    return app ? app->MainWindow() : nullptr;
}

QMdiArea* Area() {
    kwAppFrame* frame = Frame();
    return frame ? frame->MdiArea() : nullptr;
}

bool HasWindows() {
    QMdiArea* area = Area();
    return area && !area->subWindowList().isEmpty();
}

enum class EditOp { Cut, Copy, Paste, Undo, Redo };

// What the focused text widget can do now.
bool CanEdit(EditOp op) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        switch (op) {
        case EditOp::Cut:
            return line->hasSelectedText() && !line->isReadOnly() && line->echoMode() == QLineEdit::Normal;
        case EditOp::Copy:
            return line->hasSelectedText() && line->echoMode() == QLineEdit::Normal;
        case EditOp::Paste:
            return !line->isReadOnly();
        case EditOp::Undo:
            return line->isUndoAvailable();
        case EditOp::Redo:
            return line->isRedoAvailable();
        }
    }
    auto text = [&](auto* edit) {
        switch (op) {
        case EditOp::Cut:
            return edit->textCursor().hasSelection() && !edit->isReadOnly();
        case EditOp::Copy:
            return edit->textCursor().hasSelection();
        case EditOp::Paste:
            return !edit->isReadOnly() && edit->canPaste();
        case EditOp::Undo:
            return !edit->isReadOnly() && edit->document()->isUndoAvailable();
        case EditOp::Redo:
            return !edit->isReadOnly() && edit->document()->isRedoAvailable();
        }
        return false;
    };
    if (auto* rich = qobject_cast<QTextEdit*>(focus)) return text(rich);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) return text(plain);
    return false;
}

void DoEdit(EditOp op) {
    if (!CanEdit(op)) return;
    QWidget* focus = QApplication::focusWidget();
    const char* slot = op == EditOp::Cut     ? "cut"
                       : op == EditOp::Copy  ? "copy"
                       : op == EditOp::Paste ? "paste"
                       : op == EditOp::Undo  ? "undo"
                                             : "redo";
    QMetaObject::invokeMethod(focus, slot);
}

kwDocument* ActiveDocument() {
    QMdiArea* area = Area();
    auto* window = area ? qobject_cast<kwMDIChildWnd*>(area->activeSubWindow()) : nullptr;
    return window ? window->Document() : nullptr;
}

bool InForeground() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }
} // namespace

void kwCommonCommands::Install(kwApplication& app, bool documentCommands) {
    app.AddTask(std::make_unique<kwNewIssueTask>(ID_NEW_ISSUE));
    app.AddTask(std::make_unique<kwCustomizeTask>(ID_CUSTOMIZE));
    app.AddTask(std::make_unique<kwOptionsTask>(ID_OPTIONS));
    app.AddTask(std::make_unique<kwFormulasTask>(ID_FORMULAS));

    app.AddCommand(ID_NEW_COMPANY, [] { kwCompanyCommands::OnNewCompany(); }, InForeground);
    app.AddCommand(ID_OPEN_COMPANY, [] { kwCompanyCommands::OnOpenCompany(); }, InForeground);
    app.AddCommand(ID_APP_EXIT, [] {
        if (kwAppFrame* frame = Frame()) frame->close();
    }, [] { return Frame() != nullptr; });

    app.AddCommand(ID_EDIT_CUT, [] { DoEdit(EditOp::Cut); }, [] { return CanEdit(EditOp::Cut); });
    app.AddCommand(ID_EDIT_COPY, [] { DoEdit(EditOp::Copy); }, [] { return CanEdit(EditOp::Copy); });
    app.AddCommand(ID_EDIT_PASTE, [] { DoEdit(EditOp::Paste); }, [] { return CanEdit(EditOp::Paste); });
    app.AddCommand(ID_EDIT_UNDO, [] { DoEdit(EditOp::Undo); }, [] { return CanEdit(EditOp::Undo); });
    app.AddCommand(ID_EDIT_REDO, [] { DoEdit(EditOp::Redo); }, [] { return CanEdit(EditOp::Redo); });

    app.AddCommand(ID_WINDOW_CASCADE, [] { Area()->cascadeSubWindows(); }, HasWindows);
    app.AddCommand(ID_WINDOW_TILE, [] { Area()->tileSubWindows(); }, HasWindows);
    app.AddCommand(ID_WINDOW_ARRANGE, [] { Frame()->ArrangeIcons(); }, [] {
        QMdiArea* area = Area();
        if (!area) return false;
        for (QMdiSubWindow* window : area->subWindowList())
            if (window->isMinimized()) return true;
        return false;
    });
    app.AddCommand(ID_NEXT_WINDOW, [] { Area()->activateNextSubWindow(); }, HasWindows);
    app.AddCommand(ID_PREVIOUS_WINDOW, [] { Area()->activatePreviousSubWindow(); }, HasWindows);

    app.AddCommand(ID_HELP_TOPICS, [] { kwHelp::ShowContents(); }, [] { return kwHelp::Available(); });
    app.AddCommand(ID_WHATS_THIS, [] { QWhatsThis::enterWhatsThisMode(); }, InForeground);
    app.AddCommand(ID_SYSTEM_LOG, [] {
        kwLogDialog dialog(Frame());
        dialog.DoModal();
    }, [] { return InForeground() && kwCompany::IsOpen(); });
    app.AddCommand(ID_FILE_DOCTOR, [] {
        kwFileDoctorDlg dialog(Frame());
        dialog.DoModal();
    }, [] { return InForeground() && kwCompany::IsOpen(); });
    app.AddCommand(ID_CUSTOM_DESCRIPTIONS, [] {
        kwCustomDescriptionsDlg dialog(Frame());
        dialog.DoModal();
    }, [] { return InForeground() && kwCompany::IsOpen(); });
    app.AddCommand(ID_APP_ABOUT, [] {
        kwAboutDialog dialog(Frame());
        dialog.DoModal();
    }, InForeground);

    if (!documentCommands) {
        // Without document files, File New enters a new record through the New Issue task
        // (whichever task the program registered under its command).
        app.AddCommand(ID_FILE_NEW, [] {
            if (kwApplication* current = KWGetApp()) current->OnCommand(ID_NEW_ISSUE);
        }, [] {
            kwApplication* current = KWGetApp();
            return current && current->IsCommandEnabled(ID_NEW_ISSUE);
        });
    }
    if (documentCommands) {
        app.AddCommand(ID_FILE_SAVE, [] {
            if (kwDocument* document = ActiveDocument(); document && document->OnSaveDocument())
                document->SetModifiedFlag(false);
        }, [] {
            kwDocument* document = ActiveDocument();
            return document && document->IsModified();
        });
    }
}
