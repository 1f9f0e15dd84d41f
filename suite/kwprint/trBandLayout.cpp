// Cutting and drawing a laid-out band.
#include "kwprint/trBandLayout.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {
constexpr double kEpsilon = 1e-6;
}

void trBandLayout::Add(Element element) {
    _height = std::max(_height, element.rect.bottom());
    _elements.push_back(std::move(element));
}

void trBandLayout::AddText(std::shared_ptr<const trTextBlock> text, QPointF at) {
    Element element;
    element.kind = Element::Text;
    element.rect = QRectF(at, QSizeF(0, text->Height()));
    element.text = std::move(text);
    Add(std::move(element));
}

double trBandLayout::Cut(double from, double room) const {
    double cut = from + room;
    if (cut >= _height - kEpsilon) return _height;
    // Lower the cut to the top of whatever it would slice through, until nothing is sliced.
    bool moved = true;
    while (moved) {
        moved = false;
        for (const Element& element : _elements) {
            const auto slices = [&](double top, double bottom) {
                if (top < cut - kEpsilon && bottom > cut + kEpsilon && top > from - kEpsilon) {
                    cut = top;
                    moved = true;
                }
            };
            if (element.kind == Element::Text) {
                for (const trTextBlock::Line& line : element.text->Lines())
                    slices(element.rect.top() + line.top, element.rect.top() + line.bottom);
            } else if (element.kind == Element::Rule || element.kind == Element::Box) {
                slices(element.rect.top(), element.rect.bottom());
            }
        }
    }
    return std::max(cut, from);
}

void trBandLayout::Draw(QPainter& painter, QPointF origin, double from, double to) const {
    const bool last = to >= _height - kEpsilon;
    const auto inPiece = [&](double y) { return y >= from - kEpsilon && (y < to - kEpsilon || (last && y <= to + kEpsilon)); };
    const double shift = origin.y() - from;
    for (const Element& element : _elements) {
        const QRectF rect = element.rect.translated(origin.x(), shift);
        switch (element.kind) {
        case Element::Text:
            element.text->Draw(painter, rect.topLeft(), from - element.rect.top(), to - element.rect.top());
            break;
        case Element::Rule:
        case Element::Box:
            if (!inPiece(element.rect.top())) break;
            painter.setPen(QPen(Qt::black, element.weight));
            painter.setBrush(Qt::NoBrush);
            if (element.kind == Element::Rule) painter.drawLine(rect.topLeft(), rect.bottomRight());
            else painter.drawRect(rect);
            break;
        case Element::Frame:
        case Element::Fill: {
            const double top = std::max(element.rect.top(), from);
            const double bottom = std::min(element.rect.bottom(), to);
            if (bottom <= top + kEpsilon) break;
            const QRectF part(rect.left(), top + shift, rect.width(), bottom - top);
            if (element.kind == Element::Fill) {
                painter.fillRect(part, element.color);
                break;
            }
            // A frame that goes on elsewhere stays open at the cut.
            painter.setPen(QPen(Qt::black, element.weight));
            painter.drawLine(part.topLeft(), part.bottomLeft());
            painter.drawLine(part.topRight(), part.bottomRight());
            if (element.rect.top() >= from - kEpsilon) painter.drawLine(part.topLeft(), part.topRight());
            if (element.rect.bottom() <= to + kEpsilon) painter.drawLine(part.bottomLeft(), part.bottomRight());
            break;
        }
        }
    }
}
