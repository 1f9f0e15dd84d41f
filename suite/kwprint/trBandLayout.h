// One band laid out for one record (a form's record, a table row, a page header): where
// its texts, rules and frames stand, how tall it has grown, and where it may be cut when
// it runs over a page. Lines of text and rules are never cut; frames and shading are
// drawn in pieces, open where the band continues.
#pragma once

#include "kwprint/trTextBlock.h"

#include <QColor>
#include <QRectF>

#include <memory>
#include <vector>

class QPainter;

class trBandLayout {
public:
    struct Element {
        enum Kind { Text, Rule, Box, Frame, Fill };
        Kind kind = Text;
        QRectF rect; // points, from the band's top left
        std::shared_ptr<const trTextBlock> text;
        double weight = 0.5;
        QColor color;
    };

    void Add(Element element);
    void AddText(std::shared_ptr<const trTextBlock> text, QPointF at);
    const std::vector<Element>& Elements() const { return _elements; }

    double Height() const { return _height; }
    void SetHeight(double height) { _height = height; }
    bool Empty() const { return _elements.empty(); }

    // The lowest place at or above from + room where the band can be cut without cutting
    // a line of text or a rule; from itself when not even one line fits in room.
    double Cut(double from, double room) const;
    // Draws the part [from, to) of the band with the band's point `from` at origin.
    void Draw(QPainter& painter, QPointF origin, double from, double to) const;

private:
    std::vector<Element> _elements;
    double _height = 0;
};
