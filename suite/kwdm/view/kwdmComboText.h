// Shows a text in a drop-down list: the entry that holds it (letter case ignored), else the
// text added as an entry of its own, so a stored value that is no entry of the list shows.
#pragma once

class QComboBox;
class QString;

void kwdmSetComboText(QComboBox* box, const QString& text);
