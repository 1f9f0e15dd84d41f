// The document window inside the main frame's MDI area: it shows one view of a document and
// asks the document before it closes.
#pragma once

#include <QMdiSubWindow>

class kwDocument;
class kwView;

class kwMDIChildWnd : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit kwMDIChildWnd(QWidget* parent = nullptr);
    ~kwMDIChildWnd() override;

    // Shows the view (the window takes it over) of the document.
    void Attach(kwDocument* document, kwView* view);
    kwDocument* Document() const { return _document; }
    kwView* View() const { return _view; }
    // The title from the document.
    void UpdateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    kwDocument* _document = nullptr;
    kwView* _view = nullptr;
};
