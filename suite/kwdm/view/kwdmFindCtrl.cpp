// Controls by id.
#include "kwdm/view/kwdmFindCtrl.h"

#include <QVariant>
#include <QWidget>

QWidget* kwdmFindCtrl(QWidget* root, int id) {
    if (!root) return nullptr;
    const QVariant own = root->property("ctrlId");
    if (own.isValid() && own.toInt() == id) return root;
    for (QWidget* child : root->findChildren<QWidget*>()) {
        const QVariant value = child->property("ctrlId");
        if (value.isValid() && value.toInt() == id) return child;
    }
    return nullptr;
}
