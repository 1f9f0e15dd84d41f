// A form design: one record band per record, on a page of its own or one below the other,
// with the "continued" band atop every further page of a record that runs over.
#include "kwprint/trReportRenderer.h"

namespace {

class trFormRenderer : public trReportRenderer {
public:
    trFormRenderer(const trReportDesign& design, const trFieldText& fields, const trRunFacts& facts, trSurface surface,
                   int pagesTotal)
        : trReportRenderer(design, fields, facts, surface, pagesTotal) {}

    void AddRecord() override {
        const trBandLayout record = LayoutBand(_design.record, _design.font, RecordValues());
        _continued = _design.continued.present ? LayoutBand(_design.continued, _design.font, RecordValues())
                                               : trBandLayout();
        if (Records() > 0) {
            if (_design.newPagePerRecord) BreakPage();
            else Skip(_design.recordGap);
        }
        CountRecord();
        Place(record);
    }

protected:
    double ContinuationTop(double y) override {
        if (_continued.Empty() && _continued.Height() <= 0) return y;
        if (_surface.painter) _continued.Draw(*_surface.painter, QPointF(_design.margins[0], y), 0, _continued.Height());
        return y + _continued.Height();
    }

private:
    trBandLayout _continued;
};

} // namespace

std::unique_ptr<trReportRenderer> trMakeFormRenderer(const trReportDesign& design, const trFieldText& fields,
                                                     const trRunFacts& facts, trSurface surface, int pagesTotal) {
    return std::make_unique<trFormRenderer>(design, fields, facts, surface, pagesTotal);
}
