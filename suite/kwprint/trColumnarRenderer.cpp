// A columnar design: column headings atop every page, a row per record whose cells wrap,
// a heading whenever the group's value changes, group footers and a summary.
#include "kwprint/trReportRenderer.h"

#include "kwprint/trTemplate.h"

#include <QPainter>

#include <algorithm>
#include <optional>

namespace {

QColor Colour(const std::string& shade) { return QColor(QString::fromStdString(shade)); }

std::string Count(const std::string& text, int count) {
    return trExpandTemplate(text, [count](const std::string&) { return std::to_string(count); });
}

class trColumnarRenderer : public trReportRenderer {
public:
    trColumnarRenderer(const trReportDesign& design, const trFieldText& fields, const trRunFacts& facts,
                       trSurface surface, int pagesTotal)
        : trReportRenderer(design, fields, facts, surface, pagesTotal) {
        // Widths are shares of the room between the margins.
        double total = 0;
        for (const trColumn& column : design.columns) total += column.width;
        const double gaps = design.columnGap * static_cast<double>(design.columns.size() - 1);
        const double room = design.BodyWidth() - gaps;
        double x = 0;
        for (const trColumn& column : design.columns) {
            const double width = room * column.width / total;
            _x.push_back(x);
            _width.push_back(width);
            x += width + design.columnGap;
        }
        _heading = LayoutHeading();
    }

    void AddRecord() override {
        const trBandLayout row = LayoutRow();
        const std::string& groupField = _fields.GroupField();
        if (!groupField.empty()) {
            const std::string value = _fields.Text(groupField);
            if (!_group || *_group != value) {
                EndGroup();
                _group = value;
                _groupCount = 0;
                const std::string heading = trExpandTemplate(_design.group.heading, [&](const std::string& name) {
                    if (name == "label") return _fields.Label(groupField);
                    if (name == "value") return value.empty() ? std::string("(none)") : value;
                    return std::string();
                });
                trFont font = _design.font;
                font.bold = true;
                Place(LayoutLine(heading, _design.group.font.Over(font), PageHasContent() ? 8 : 0, 3, false),
                      row.Height());
            }
        }
        Place(row);
        ++_groupCount;
        CountRecord();
    }

    void Finish() override {
        EndGroup();
        if (Records() > 0 && !_design.summary.empty()) {
            trFont font = _design.font;
            font.bold = true;
            Place(LayoutLine(Count(_design.summary, Records()), font, 8, 0, true));
        }
        trReportRenderer::Finish();
    }

protected:
    double PageTop(double y) override {
        if (_surface.painter) _heading.Draw(*_surface.painter, QPointF(_design.margins[0], y), 0, _heading.Height());
        return y + _heading.Height();
    }

private:
    trAlign AlignOf(const trColumn& column) const {
        if (column.align) return *column.align;
        return !column.formula && _fields.IsNumber(column.field) ? trAlign::Right : trAlign::Left;
    }

    // The cells of a band: a block per column, the band as tall as its tallest cell.
    trBandLayout LayoutCells(const std::vector<std::string>& texts, const trTableStyle& style, const trFont& font,
                             bool shaded) const {
        trBandLayout band;
        const QFont qfont = trTextBlock::Font(font);
        const double pad = style.padding;
        double tallest = 0;
        std::vector<std::shared_ptr<trTextBlock>> blocks;
        for (size_t i = 0; i < texts.size(); ++i) {
            blocks.push_back(std::make_shared<trTextBlock>(QString::fromStdString(texts[i]), qfont, _width[i],
                                                           AlignOf(_design.columns[i])));
            tallest = std::max(tallest, blocks.back()->Height());
        }
        const double height = std::max(tallest, trTextBlock::LineHeight(qfont)) + 2 * pad;
        if (shaded && !style.shade.empty()) {
            trBandLayout::Element fill;
            fill.kind = trBandLayout::Element::Fill;
            fill.rect = QRectF(0, 0, _design.BodyWidth(), height);
            fill.color = Colour(style.shade);
            band.Add(std::move(fill));
        }
        for (size_t i = 0; i < blocks.size(); ++i) band.AddText(blocks[i], QPointF(_x[i], pad));
        if (style.rule) {
            trBandLayout::Element rule;
            rule.kind = trBandLayout::Element::Rule;
            rule.rect = QRectF(0, height, _design.BodyWidth(), 0);
            rule.weight = 0.5;
            band.Add(std::move(rule));
        }
        band.SetHeight(height);
        return band;
    }

    trBandLayout LayoutHeading() const {
        std::vector<std::string> texts;
        for (const trColumn& column : _design.columns) {
            if (column.header) texts.push_back(trExpandTemplate(*column.header, [](const std::string&) { return std::string(); }));
            else texts.push_back(column.formula ? *column.formula : _fields.Label(column.field));
        }
        trFont font = _design.font;
        font.bold = true;
        return LayoutCells(texts, _design.columnHeader, _design.columnHeader.font.Over(font), true);
    }

    trBandLayout LayoutRow() const {
        std::vector<std::string> texts;
        for (const trColumn& column : _design.columns)
            texts.push_back(column.formula ? _fields.FormulaText(*column.formula) : _fields.Text(column.field));
        return LayoutCells(texts, _design.row, _design.row.font.Over(_design.font), Records() % 2 == 1);
    }

    void EndGroup() {
        if (!_group) return;
        if (!_design.group.footer.empty()) {
            trFont font = _design.font;
            font.italic = true;
            Place(LayoutLine(Count(_design.group.footer, _groupCount), font, 3, 0, false));
        }
        _group.reset();
    }

    std::vector<double> _x, _width;
    trBandLayout _heading;
    std::optional<std::string> _group;
    int _groupCount = 0;
};

} // namespace

std::unique_ptr<trReportRenderer> trMakeColumnarRenderer(const trReportDesign& design, const trFieldText& fields,
                                                         const trRunFacts& facts, trSurface surface,
                                                         int pagesTotal) {
    return std::make_unique<trColumnarRenderer>(design, fields, facts, surface, pagesTotal);
}
