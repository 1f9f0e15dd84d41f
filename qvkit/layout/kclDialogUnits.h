// Dialog units: layout sizes that scale with a window's font. A horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth of its height,
// so a layout written in dialog units keeps its proportions under any font or screen.
#pragma once

class QWidget;

int kclDialogUnitsToPixelsX(const QWidget* widget, int units);
int kclDialogUnitsToPixelsY(const QWidget* widget, int units);
