// The View Issues window's view until its own form view (dialog 25000 with the toolbar)
// takes its place: the grid of the document's grid view, the row, delete and attachments
// buttons above it and the focused issue's description below, laid out with Qt.
#pragma once

#include "kwapp/tasks/kwView.h"

class viDocument;

class viPlainGridView : public kwView {
    Q_OBJECT
public:
    // Builds the window and asks the document to make its grid control on it.
    explicit viPlainGridView(viDocument& document, QWidget* parent = nullptr);
    ~viPlainGridView() override;
};
