// Pages of a report: bands laid out, placed, broken and split; page header and footer.
#include "kwprint/trReportRenderer.h"

#include "kwprint/trTemplate.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double kEpsilon = 1e-6;
constexpr double kFramePadding = 4;
constexpr double kLabelGap = 4;
// A band that runs over a page takes at least this much of itself to the next page, so a
// lone last line does not stand on a page of its own under the "continued" heading.
constexpr double kLeastCarriedOver = 36;

// A page number as wide as any the counting pass could meet, so page bands keep one
// height whatever number they show.
const std::string kWidestPageNumber = "0000000";

QString Q(const std::string& text) { return QString::fromStdString(text); }

} // namespace

std::unique_ptr<trReportRenderer> trReportRenderer::Make(const trReportDesign& design, const trFieldText& fields,
                                                         const trRunFacts& facts, trSurface surface, int pagesTotal) {
    if (design.kind == trReportDesign::Kind::Form) return trMakeFormRenderer(design, fields, facts, surface, pagesTotal);
    return trMakeColumnarRenderer(design, fields, facts, surface, pagesTotal);
}

trReportRenderer::trReportRenderer(const trReportDesign& design, const trFieldText& fields, const trRunFacts& facts,
                                   trSurface surface, int pagesTotal)
    : _design(design), _fields(fields), _facts(facts), _surface(surface), _pagesTotal(pagesTotal) {
    _headerHeight = BandHeight(design.pageHeader);
    _footerHeight = BandHeight(design.pageFooter);
}

double trReportRenderer::BandHeight(const trBand& band) const {
    if (!band.present) return 0;
    return LayoutBand(band, _design.font, PageValues(0, kWidestPageNumber)).Height();
}

trReportRenderer::Placeholders trReportRenderer::PageValues(int page, const std::string& pages) const {
    return [this, page, pages](const std::string& name) -> std::string {
        if (name == "company") return _facts.company;
        if (name == "title") return _facts.title;
        if (name == "date") return _facts.date;
        if (name == "time") return _facts.time;
        if (name == "operator") return _facts.operatorId;
        if (name == "page") return page > 0 ? std::to_string(page) : kWidestPageNumber;
        if (name == "pages") return pages;
        return "";
    };
}

trReportRenderer::Placeholders trReportRenderer::RecordValues() const {
    return [this](const std::string& name) -> std::string {
        const std::string field = trPlaceholderField(name);
        if (!field.empty()) return _fields.Text(field);
        if (name == "company") return _facts.company;
        if (name == "title") return _facts.title;
        if (name == "date") return _facts.date;
        if (name == "time") return _facts.time;
        if (name == "operator") return _facts.operatorId;
        return "";
    };
}

trBandLayout trReportRenderer::LayoutBand(const trBand& band, const trFont& base, const Placeholders& values) const {
    struct Laid {
        const trItem* item;
        double grown;   // final height
        double push = 0; // how far it moved down
        std::vector<trBandLayout::Element> elements; // at the item's design place
    };
    std::vector<Laid> laid;
    laid.reserve(band.items.size());
    for (const trItem& item : band.items) {
        Laid one{&item, item.height, 0, {}};
        const trFont font = item.font.Over(base);
        const QFont qfont = trTextBlock::Font(font);
        const trAlign align = item.align.value_or(trAlign::Left);
        const double pad = item.frame ? kFramePadding : 0;
        const auto text = [&](const QString& words, double x, double width, int lead = 0, const QFont* leadFont = nullptr) {
            auto block = std::make_shared<trTextBlock>(words, qfont, std::max(1.0, width - 2 * pad), align, lead, leadFont);
            trBandLayout::Element element;
            element.kind = trBandLayout::Element::Text;
            element.rect = QRectF(x + pad, item.y + pad, 0, block->Height());
            element.text = block;
            one.grown = std::max(one.grown, block->Height() + 2 * pad);
            one.elements.push_back(std::move(element));
        };
        double frameX = item.x, frameWidth = item.width;
        switch (item.type) {
        case trItemType::Text:
            text(Q(trExpandTemplate(item.text, values)), item.x, item.width);
            break;
        case trItemType::Field: {
            const QString value = Q(_fields.Text(item.field));
            const QString label = Q(trExpandTemplate(item.label, values));
            const QFont labelFont = trTextBlock::Font(item.labelFont.Over(font));
            if (item.labelWidth > 0) {
                // The label in a column of its own, never framed.
                auto block = std::make_shared<trTextBlock>(label, labelFont, item.labelWidth - kLabelGap, trAlign::Left);
                trBandLayout::Element element;
                element.rect = QRectF(item.x, item.y + pad, 0, block->Height());
                element.text = block;
                one.grown = std::max(one.grown, block->Height() + pad);
                one.elements.push_back(std::move(element));
                frameX = item.x + item.labelWidth;
                frameWidth = item.width - item.labelWidth;
                text(value, frameX, frameWidth);
            } else if (!label.isEmpty()) {
                text(label + QLatin1Char(' ') + value, item.x, item.width, static_cast<int>(label.size()), &labelFont);
            } else {
                text(value, item.x, item.width);
            }
            break;
        }
        case trItemType::Line:
        case trItemType::Box: {
            trBandLayout::Element element;
            element.kind = item.type == trItemType::Line ? trBandLayout::Element::Rule : trBandLayout::Element::Box;
            element.rect = QRectF(item.x, item.y, item.width, item.height);
            element.weight = item.weight;
            one.elements.push_back(std::move(element));
            break;
        }
        }
        if (item.frame) {
            trBandLayout::Element frame;
            frame.kind = trBandLayout::Element::Frame;
            frame.rect = QRectF(frameX, item.y, frameWidth, 0); // height set once grown
            frame.weight = 0.5;
            one.elements.push_back(std::move(frame));
        }
        laid.push_back(std::move(one));
    }

    // Whatever lies wholly below an item moves down by as much as that item grew and moved.
    std::vector<size_t> order(laid.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return laid[a].item->y < laid[b].item->y; });
    double maxPush = 0;
    for (size_t i : order) {
        const trItem& item = *laid[i].item;
        double push = 0;
        for (size_t j : order) {
            if (j == i) continue;
            const trItem& above = *laid[j].item;
            if (above.y >= item.y || above.y + above.height > item.y + kEpsilon) continue;
            push = std::max(push, laid[j].push + (laid[j].grown - above.height));
        }
        laid[i].push = push;
        maxPush = std::max(maxPush, push + laid[i].grown - item.height);
    }

    trBandLayout layout;
    layout.SetHeight(band.height + maxPush);
    for (Laid& one : laid) {
        for (trBandLayout::Element& element : one.elements) {
            element.rect.translate(0, one.push);
            if (element.kind == trBandLayout::Element::Frame) element.rect.setHeight(one.grown);
            layout.Add(std::move(element));
        }
    }
    return layout;
}

trBandLayout trReportRenderer::LayoutLine(const std::string& text, const trFont& font, double spaceAbove,
                                          double spaceBelow, bool ruleAbove) const {
    trBandLayout layout;
    auto block = std::make_shared<trTextBlock>(Q(text), trTextBlock::Font(font), _design.BodyWidth(), trAlign::Left);
    if (ruleAbove) {
        trBandLayout::Element rule;
        rule.kind = trBandLayout::Element::Rule;
        rule.rect = QRectF(0, spaceAbove / 2, _design.BodyWidth(), 0);
        layout.Add(std::move(rule));
    }
    const double height = block->Height();
    layout.AddText(std::move(block), QPointF(0, spaceAbove));
    layout.SetHeight(spaceAbove + height + spaceBelow);
    return layout;
}

void trReportRenderer::DrawBand(const trBandLayout& band, double x, double y, double from, double to) {
    if (!_surface.painter) return;
    band.Draw(*_surface.painter, QPointF(x, y), from, to);
}

void trReportRenderer::StartPage() {
    ++_page;
    _pageOpen = true;
    if (_surface.painter && _page > 1 && _deviceOk) {
        if (!_surface.device->newPage()) _deviceOk = false;
    }
    if (_surface.painter) {
        _surface.painter->resetTransform();
        _surface.painter->scale(_surface.scale, _surface.scale);
    }
    const double left = _design.margins[0];
    const double top = _design.margins[1];
    const std::string pages = std::to_string(std::max(_pagesTotal, _page));
    if (_surface.painter && _design.pageHeader.present) {
        const trBandLayout header = LayoutBand(_design.pageHeader, _design.font, PageValues(_page, pages));
        DrawBand(header, left, top, 0, header.Height());
    }
    _bodyTop = top + _headerHeight;
    _bodyBottom = _design.PageHeight() - _design.margins[3] - _footerHeight;
    _bodyTop = PageTop(_bodyTop);
    _cursor = _contentTop = _bodyTop;
}

void trReportRenderer::EndPage() {
    if (!_pageOpen) return;
    if (_surface.painter && _design.pageFooter.present) {
        const std::string pages = std::to_string(std::max(_pagesTotal, _page));
        const trBandLayout footer = LayoutBand(_design.pageFooter, _design.font, PageValues(_page, pages));
        DrawBand(footer, _design.margins[0], _bodyBottom, 0, footer.Height());
    }
    _pageOpen = false;
}

void trReportRenderer::BreakPage() {
    EndPage();
    StartPage();
}

void trReportRenderer::Skip(double space) {
    if (!_pageOpen || !PageHasContent()) return;
    _cursor = std::min(_cursor + space, _bodyBottom);
}

void trReportRenderer::Place(const trBandLayout& band, double keepWithNext) {
    if (!_pageOpen) StartPage();
    const double height = band.Height();
    const double body = _bodyBottom - _bodyTop;
    const double keep = std::min(keepWithNext, std::max(0.0, body - height));
    const double left = _design.margins[0];
    if (height + keep <= _bodyBottom - _cursor + kEpsilon) {
        DrawBand(band, left, _cursor, 0, height);
        _cursor += height;
        return;
    }
    if (PageHasContent() && height + keep <= body + kEpsilon) {
        BreakPage();
        DrawBand(band, left, _cursor, 0, height);
        _cursor += height;
        return;
    }
    // Taller than a page: as many whole lines as fit, the rest on the pages after.
    double from = 0;
    while (from < height - kEpsilon) {
        double cut = band.Cut(from, _bodyBottom - _cursor);
        if (cut <= from + kEpsilon) {
            if (PageHasContent()) {
                BreakPage();
                if (from > 0) _cursor = _contentTop = ContinuationTop(_cursor);
                continue;
            }
            cut = std::min(height, from + std::max(1.0, _bodyBottom - _cursor)); // one line taller than a page
        }
        if (cut < height - kEpsilon && height - cut < kLeastCarriedOver) {
            const double earlier = band.Cut(from, height - kLeastCarriedOver - from);
            if (earlier > from + kEpsilon) cut = earlier;
        }
        DrawBand(band, left, _cursor, from, cut);
        _cursor += cut - from;
        from = cut;
        if (from < height - kEpsilon) {
            BreakPage();
            _cursor = _contentTop = ContinuationTop(_cursor);
        }
    }
}

void trReportRenderer::Finish() {
    if (_records == 0) {
        if (!_pageOpen) StartPage();
        Place(LayoutLine(trExpandTemplate(_design.noRecords, [](const std::string&) { return std::string(); }),
                         _design.font, 12, 0, false));
    }
    if (!_pageOpen) StartPage();
    EndPage();
}
