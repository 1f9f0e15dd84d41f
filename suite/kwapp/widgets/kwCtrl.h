// Finding a control by the number the program addresses it by (dynamic property "ctrlId").
#pragma once

#include <QWidget>

// The first widget under root (root included) whose "ctrlId" is id; nullptr when none.
QWidget* kwFindCtrl(const QWidget* root, int id);

template <class T> T* kwFindCtrl(const QWidget* root, int id) {
    return qobject_cast<T*>(kwFindCtrl(root, id));
}

// Gives a widget its control id.
inline void kwSetCtrlId(QWidget* widget, int id) {
    if (widget) widget->setProperty("ctrlId", id);
}
