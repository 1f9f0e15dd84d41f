// The window's control of an id (dynamic property "ctrlId"), root included; null when none.
#pragma once

class QWidget;

QWidget* kwdmFindCtrl(QWidget* root, int id);
