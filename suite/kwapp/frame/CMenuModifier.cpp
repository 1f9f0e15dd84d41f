// Menu modifications are replayed on a freshly built menu bar, in the order they were made.
#include "kwapp/frame/CMenuModifier.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {
QString Plain(const QString& title) {
    QString plain = title;
    plain.remove(QLatin1Char('&'));
    return plain.trimmed().toCaseFolded();
}

bool SameTitle(const QString& title, const QString& wanted) {
    return title == wanted || Plain(title) == Plain(wanted);
}

QMenu* FindIn(const QList<QAction*>& actions, const QString& wanted, bool exactOnly) {
    for (QAction* action : actions) {
        QMenu* menu = action->menu();
        if (!menu) continue;
        if (exactOnly ? action->text() == wanted : SameTitle(action->text(), wanted)) return menu;
    }
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu())
            if (QMenu* found = FindIn(menu->actions(), wanted, exactOnly)) return found;
    }
    return nullptr;
}

QAction* ActionWithId(QWidget* container, unsigned short id) {
    for (QAction* action : container->actions())
        if (action->property("cmdId").toInt() == id && !action->menu()) return action;
    return nullptr;
}

// The action to insert before for an order (nullptr: at the end).
QAction* InsertionPoint(const QList<QAction*>& actions, short order, QAction* reference, short position) {
    switch (order) {
    case CMenuModifier::ORDER_POSITION:
        return position >= 0 && position < actions.size() ? actions[position] : nullptr;
    case CMenuModifier::ORDER_BEFORE:
        return reference;
    case CMenuModifier::ORDER_AFTER: {
        if (!reference) return nullptr;
        const qsizetype index = actions.indexOf(reference);
        return index >= 0 && index + 1 < actions.size() ? actions[index + 1] : nullptr;
    }
    default:
        return nullptr;
    }
}
} // namespace

void CMenuModifier::StartNewMenuGroup(const std::string& group) {
    _group = group;
    RemoveMenuGroup(group);
}

void CMenuModifier::RemoveMenuGroup(const std::string& group) {
    std::erase_if(_modifications, [&](const Modification& m) { return m.group == group; });
}

void CMenuModifier::AppendAddMenuModification(const std::string& parent, const std::string& title,
                                              short order, const std::string& reference,
                                              unsigned short flags) {
    _modifications.push_back({_group, true, parent, title, order, reference, 0, flags, 0, 0});
}

void CMenuModifier::AppendAddItemModification(const std::string& menu, unsigned short id,
                                              const std::string& text, short order,
                                              unsigned short flags, unsigned short referenceId,
                                              short position) {
    _modifications.push_back({_group, false, menu, text, order, {}, id, flags, referenceId, position});
}

QMenu* CMenuModifier::FindMenu(QMenuBar* bar, const std::string& title) {
    if (!bar) return nullptr;
    const QString wanted = QString::fromStdString(title);
    if (QMenu* exact = FindIn(bar->actions(), wanted, true)) return exact;
    return FindIn(bar->actions(), wanted, false);
}

void CMenuModifier::Apply(QMenuBar* bar, const ItemFactory& makeItem) const {
    if (!bar) return;
    for (const Modification& m : _modifications) {
        if (m.isMenu) {
            if (FindMenu(bar, m.title)) continue;
            QWidget* container = bar;
            if (!m.parent.empty()) {
                container = FindMenu(bar, m.parent);
                if (!container) continue; // the parent menu is not there: nothing to add to
            }
            QAction* reference = nullptr;
            if (!m.reference.empty()) {
                const QString wanted = QString::fromStdString(m.reference);
                for (QAction* action : container->actions()) {
                    if (action->menu() && SameTitle(action->text(), wanted)) {
                        reference = action;
                        break;
                    }
                }
            }
            auto* menu = new QMenu(QString::fromStdString(m.title), container);
            QAction* before = InsertionPoint(container->actions(), m.order, reference, m.position);
            container->insertAction(before, menu->menuAction());
            continue;
        }
        QMenu* menu = FindMenu(bar, m.parent);
        if (!menu) continue;
        QAction* action = nullptr;
        if (m.flags & MF_SEPARATOR) {
            action = new QAction(menu);
            action->setSeparator(true);
        } else {
            if (ActionWithId(menu, m.id)) continue;
            action = makeItem(menu, m.id, QString::fromStdString(m.title));
            if (!action) continue;
        }
        QAction* reference = m.referenceId ? ActionWithId(menu, m.referenceId) : nullptr;
        QAction* before = InsertionPoint(menu->actions(), m.order, reference, m.position);
        menu->insertAction(before, action);
    }
}
