// Texts in drop-down lists.
#include "kwdm/view/kwdmComboText.h"

#include <QComboBox>

void kwdmSetComboText(QComboBox* box, const QString& text) {
    int found = box->findText(text, Qt::MatchFixedString);
    if (found < 0 && !text.isEmpty()) {
        box->addItem(text);
        found = box->count() - 1;
    }
    box->setCurrentIndex(found);
    if (box->isEditable()) box->setEditText(text);
}
