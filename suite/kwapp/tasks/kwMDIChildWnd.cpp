// Document windows close only when their document agrees.
#include "kwapp/tasks/kwMDIChildWnd.h"

#include "kwapp/tasks/kwDocument.h"
#include "kwapp/tasks/kwView.h"

#include <QCloseEvent>

kwMDIChildWnd::kwMDIChildWnd(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

kwMDIChildWnd::~kwMDIChildWnd() = default;

void kwMDIChildWnd::Attach(kwDocument* document, kwView* view) {
    _document = document;
    _view = view;
    setWidget(view);
    UpdateTitle();
}

void kwMDIChildWnd::UpdateTitle() {
    if (_document) setWindowTitle(QString::fromStdString(_document->Title()));
}

void kwMDIChildWnd::closeEvent(QCloseEvent* event) {
    if (_document && !_document->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
