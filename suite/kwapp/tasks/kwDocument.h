// The data behind one document window of a document task: its title, whether it holds
// unsaved changes, and the views that show it.
#pragma once

#include <string>
#include <vector>

class kwView;

class kwDocument {
public:
    kwDocument();
    virtual ~kwDocument();
    kwDocument(const kwDocument&) = delete;
    kwDocument& operator=(const kwDocument&) = delete;

    // Prepares a new document; false stops the window from opening (the document has said
    // why).
    virtual bool OnNewDocument();
    // May the document's window close? With unsaved changes the user is asked whether to
    // save them: Yes saves (OnSaveDocument), No drops them, Cancel keeps the window open.
    virtual bool SaveModified();
    // Writes the changes; the base has nothing to write.
    virtual bool OnSaveDocument();
    // The data changed elsewhere: read it again. The base brings the views up to date.
    virtual void Refresh();

    const std::string& Title() const { return _title; }
    void SetTitle(const std::string& title);
    bool IsModified() const { return _modified; }
    void SetModifiedFlag(bool modified = true) { _modified = modified; }

    void UpdateAllViews();
    const std::vector<kwView*>& Views() const { return _views; }
    // Called by kwView.
    void AddView(kwView* view);
    void RemoveView(kwView* view);

private:
    std::string _title;
    bool _modified = false;
    std::vector<kwView*> _views;
};
