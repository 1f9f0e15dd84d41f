// A widget that shows a document inside a document window.
#pragma once

#include <QWidget>

class kwDocument;

class kwView : public QWidget {
    Q_OBJECT
public:
    explicit kwView(kwDocument& document, QWidget* parent = nullptr);
    ~kwView() override;

    kwDocument& Document() const { return _document; }
    // The document changed; the base repaints.
    virtual void OnUpdate();

private:
    kwDocument& _document;
};
