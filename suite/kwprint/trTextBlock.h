// Text wrapped into a width: laid out once on the printer's reference resolution, so the
// counting pass and the drawing pass break every line in the same place whatever device
// draws it, and drawn a line at a time, so a block that runs over a page is split
// between whole lines.
#pragma once

#include "kwprint/trReportDesign.h"

#include <QFont>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QTextLayout;

class trTextBlock {
public:
    // text wraps at word boundaries within width points (anywhere inside a word longer
    // than the width); line breaks in the text are kept. The first leadLength characters
    // are set in leadFont (a label leading its value).
    trTextBlock(const QString& text, const QFont& font, double width, trAlign align, int leadLength = 0,
                const QFont* leadFont = nullptr);
    ~trTextBlock();
    trTextBlock(const trTextBlock&) = delete;
    trTextBlock& operator=(const trTextBlock&) = delete;

    double Height() const { return _height; } // points; 0 for no text
    struct Line {
        double top, bottom; // points from the block's top
    };
    const std::vector<Line>& Lines() const { return _lines; }

    // Draws the lines whose top lies in [from, to) (points from the block's top), the
    // block's top at topLeft. The painter measures in points.
    void Draw(QPainter& painter, QPointF topLeft, double from, double to) const;

    // A font of the design at the reference resolution.
    static QFont Font(const trFont& font);
    // The height of one line of a font, in points.
    static double LineHeight(const QFont& font);

private:
    std::unique_ptr<QTextLayout> _layout;
    std::vector<Line> _lines;
    double _height = 0;
};
