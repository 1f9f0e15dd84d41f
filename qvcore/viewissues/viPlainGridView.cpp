// The View Issues grid in a plain window.
#include "qvcore/viewissues/viPlainGridView.h"

#include "qvcore/viewissues/viDocument.h"

#include "kwdm/view/kwdmGridView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

viPlainGridView::viPlainGridView(viDocument& document, QWidget* parent) : kwView(document, parent) {
    auto* layout = new QVBoxLayout(this); // every widget below is owned by this view
    layout->setContentsMargins(7, 7, 7, 7);
    auto* buttons = new QHBoxLayout();
    layout->addLayout(buttons);
    const std::pair<int, const char*> buttonTexts[] = {
        {500, "Home"}, {501, "Previous"}, {502, "Next"}, {503, "End"}, {507, "Delete"}, {505, "Attach"},
    };
    for (const auto& [id, text] : buttonTexts) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        button->setProperty("ctrlId", id);
        button->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(button);
        if (id == 503) buttons->addSpacing(12);
    }
    buttons->addStretch();
    auto* grid = new kwdmGridView(this);
    grid->setProperty("ctrlId", 508);
    layout->addWidget(grid, 1);
    auto* description = new QHBoxLayout();
    layout->addLayout(description);
    auto* label = new QLabel(QStringLiteral("Description:"), this);
    label->setProperty("ctrlId", 1014);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* text = new QLabel(this);
    text->setProperty("ctrlId", 1015);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setMinimumHeight(3 * fontMetrics().height());
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    description->addWidget(label);
    description->addWidget(text, 1);
    document.CreateGridControl(this);
}

viPlainGridView::~viPlainGridView() = default;
