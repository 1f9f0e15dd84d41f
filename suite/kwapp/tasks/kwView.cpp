// A view is known to its document for as long as it exists.
#include "kwapp/tasks/kwView.h"

#include "kwapp/tasks/kwDocument.h"

kwView::kwView(kwDocument& document, QWidget* parent) : QWidget(parent), _document(document) {
    _document.AddView(this);
}

kwView::~kwView() { _document.RemoveView(this); }

void kwView::OnUpdate() { update(); }
