// Controls are looked up breadth first so a dialog's own controls win over those of
// embedded pages that happen to reuse a number.
#include "kwapp/widgets/kwCtrl.h"

#include <QList>
#include <QVariant>

QWidget* kwFindCtrl(const QWidget* root, int id) {
    if (!root) return nullptr;
    QList<const QWidget*> level{root};
    while (!level.isEmpty()) {
        QList<const QWidget*> next;
        for (const QWidget* widget : level) {
            const QVariant value = widget->property("ctrlId");
            if (value.isValid() && value.toInt() == id) return const_cast<QWidget*>(widget);
            for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                next.push_back(child);
        }
        level = std::move(next);
    }
    return nullptr;
}
