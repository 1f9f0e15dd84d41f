// Wrapped text on the reference resolution.
#include "kwprint/trTextBlock.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

namespace {

// Text is laid out on a device of this resolution: fine enough that glyph positions
// rounded to its dots cannot be seen on paper, and the PDF writer's own resolution.
constexpr double kReferenceDpi = 1200.0;
constexpr double kPointsPerDot = 72.0 / kReferenceDpi;

QPaintDevice* ReferenceDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_Mono);
        const int dotsPerMeter = static_cast<int>(kReferenceDpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

// Line breaks of any platform become the layout's own; tabs become blanks.
QString Normalised(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += QChar::LineSeparator;
        } else if (c == u'\n' || c == QChar::ParagraphSeparator) {
            out += QChar::LineSeparator;
        } else if (c == u'\t') {
            out += QStringLiteral("    ");
        } else {
            out += c;
        }
    }
    return out;
}

Qt::Alignment AlignmentOf(trAlign align) {
    switch (align) {
    case trAlign::Center: return Qt::AlignHCenter;
    case trAlign::Right: return Qt::AlignRight;
    default: return Qt::AlignLeft;
    }
}

} // namespace

QFont trTextBlock::Font(const trFont& font) {
    QFont made(QString::fromStdString(font.family));
    made.setPointSizeF(font.size);
    made.setBold(font.bold);
    made.setItalic(font.italic);
    made.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: a printed "fi" must read back as two letters when the PDF is searched
    // or its text copied.
    made.setStyleStrategy(QFont::PreferNoShaping);
    return made;
}

double trTextBlock::LineHeight(const QFont& font) {
    return QFontMetricsF(font, ReferenceDevice()).height() * kPointsPerDot;
}

trTextBlock::trTextBlock(const QString& text, const QFont& font, double width, trAlign align, int leadLength,
                         const QFont* leadFont) {
    if (text.isEmpty()) return;
    _layout = std::make_unique<QTextLayout>(Normalised(text), font, ReferenceDevice());
    QTextOption option(AlignmentOf(align));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    _layout->setTextOption(option);
    if (leadLength > 0 && leadFont) {
        QTextLayout::FormatRange lead;
        lead.start = 0;
        lead.length = leadLength;
        lead.format.setFont(*leadFont);
        _layout->setFormats({lead});
    }
    const double lineWidth = width / kPointsPerDot;
    double y = 0;
    _layout->beginLayout();
    for (QTextLine line = _layout->createLine(); line.isValid(); line = _layout->createLine()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, y));
        _lines.push_back({y * kPointsPerDot, (y + line.height()) * kPointsPerDot});
        y += line.height();
    }
    _layout->endLayout();
    _height = y * kPointsPerDot;
}

trTextBlock::~trTextBlock() = default;

void trTextBlock::Draw(QPainter& painter, QPointF topLeft, double from, double to) const {
    if (!_layout) return;
    painter.save();
    painter.translate(topLeft);
    painter.scale(kPointsPerDot, kPointsPerDot);
    for (int i = 0; i < _layout->lineCount(); ++i) {
        const Line& line = _lines[static_cast<size_t>(i)];
        if (line.top < from - 1e-6 || line.top >= to - 1e-6) continue;
        _layout->lineAt(i).draw(&painter, QPointF(0, 0));
    }
    painter.restore();
}
