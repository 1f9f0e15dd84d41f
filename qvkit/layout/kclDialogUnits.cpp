// Dialog units to pixels for a widget's font.
#include "qvkit/layout/kclDialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

#include <cstdint>

namespace {

// units * base / divisor, rounded to the nearest pixel (halves away from zero).
int Scale(int units, int base, int divisor) {
    const int64_t product = static_cast<int64_t>(units) * base;
    const int64_t half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
}

QFontMetrics Metrics(const QWidget* widget) {
    return widget ? widget->fontMetrics() : QFontMetrics(QFont());
}

int AverageCharWidth(const QFontMetrics& metrics) {
    // Upper- and lower-case letters together: digits alone run narrow, capitals wide.
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

} // namespace

int kclDialogUnitsToPixelsX(const QWidget* widget, int units) {
    return Scale(units, AverageCharWidth(Metrics(widget)), 4);
}

int kclDialogUnitsToPixelsY(const QWidget* widget, int units) {
    return Scale(units, Metrics(widget).height(), 8);
}
