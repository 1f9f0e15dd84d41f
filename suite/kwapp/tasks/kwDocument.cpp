// Documents ask before their unsaved changes are lost.
#include "kwapp/tasks/kwDocument.h"

#include "kwapp/tasks/kwView.h"
#include "kwcommon/x_message.h"

#include <algorithm>

kwDocument::kwDocument() = default;
kwDocument::~kwDocument() = default;

bool kwDocument::OnNewDocument() { return true; }

bool kwDocument::SaveModified() {
    if (!_modified) return true;
    const std::string text = _title.empty() ? std::string("Do you want to save your changes?")
                                            : "Do you want to save the changes to " + _title + "?";
    switch (xw_wr_message(0, XW_SAVE, text.c_str(), 0)) {
    case XW_ANSWER_YES:
        if (!OnSaveDocument()) return false; // the save has said why; keep the window
        _modified = false;
        return true;
    case XW_ANSWER_NO:
        // The user let the changes go: later questions about closing must not ask again.
        _modified = false;
        return true;
    default:
        return false;
    }
}

bool kwDocument::OnSaveDocument() { return true; }

void kwDocument::Refresh() { UpdateAllViews(); }

void kwDocument::SetTitle(const std::string& title) { _title = title; }

void kwDocument::UpdateAllViews() {
    // A view's update may open or close other views; walk a copy.
    const std::vector<kwView*> views = _views;
    for (kwView* view : views)
        if (std::find(_views.begin(), _views.end(), view) != _views.end()) view->OnUpdate();
}

void kwDocument::AddView(kwView* view) {
    if (view && std::find(_views.begin(), _views.end(), view) == _views.end()) _views.push_back(view);
}

void kwDocument::RemoveView(kwView* view) { std::erase(_views, view); }
