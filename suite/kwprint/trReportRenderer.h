// Lays a design's records out on pages: page header and footer, a form's record bands or
// a table's heading, groups and rows, breaking pages where the next band does not fit
// and splitting between lines a band that not even a whole page can hold. Records are
// handed in one at a time (the current record of the file) and nothing of a page is kept
// once it is drawn. Without a painter it only counts pages.
#pragma once

#include "kwprint/trBandLayout.h"
#include "kwprint/trFieldText.h"
#include "kwprint/trReportDesign.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QPagedPaintDevice;
class QPainter;

// Facts of the run that page texts show.
struct trRunFacts {
    std::string company, title, date, time, operatorId;
};

// Where pages are drawn: none while counting.
struct trSurface {
    QPainter* painter = nullptr;
    QPagedPaintDevice* device = nullptr;
    double scale = 1; // device units per point
};

class trReportRenderer {
public:
    // pagesTotal: the count of a counting pass, shown by {pages}; 0 when unknown.
    static std::unique_ptr<trReportRenderer> Make(const trReportDesign& design, const trFieldText& fields,
                                                  const trRunFacts& facts, trSurface surface, int pagesTotal);
    virtual ~trReportRenderer() = default;

    // Prints the file's current record.
    virtual void AddRecord() = 0;
    // Ends the report: the last group, the summary, the last page's footer.
    virtual void Finish();
    int Pages() const { return _page; }
    // false once the device refused a page (its error is the caller's to report).
    bool DeviceOk() const { return _deviceOk; }

protected:
    trReportRenderer(const trReportDesign& design, const trFieldText& fields, const trRunFacts& facts,
                     trSurface surface, int pagesTotal);

    using Placeholders = std::function<std::string(const std::string&)>;
    // A band of the design for the current record or page: each item as tall as its text
    // needs (at least its own height), the items below it moved down by what it grew.
    trBandLayout LayoutBand(const trBand& band, const trFont& base, const Placeholders& values) const;
    // One text across the body's width, as groups and summaries print.
    trBandLayout LayoutLine(const std::string& text, const trFont& font, double spaceAbove, double spaceBelow,
                            bool ruleAbove) const;
    Placeholders RecordValues() const;

    // Puts a band on the pages. keepWithNext: room the band that follows needs on the
    // same page (a group heading stays with its first row).
    void Place(const trBandLayout& band, double keepWithNext = 0);
    void BreakPage();
    void Skip(double space); // space between bands, dropped at a page's top
    bool PageHasContent() const { return _pageOpen && _cursor > _contentTop + 1e-6; }
    int Records() const { return _records; }
    void CountRecord() { ++_records; }

    // Drawn below the page header on every page (a table's column headings); answers the
    // body's new top.
    virtual double PageTop(double y) { return y; }
    // Drawn when a band goes on over a page break (a form's "continued" band).
    virtual double ContinuationTop(double y) { return y; }

    const trReportDesign& _design;
    const trFieldText& _fields;
    trRunFacts _facts;
    trSurface _surface;

private:
    Placeholders PageValues(int page, const std::string& pages) const;
    void StartPage();
    void EndPage();
    void DrawBand(const trBandLayout& band, double x, double y, double from, double to);
    double BandHeight(const trBand& band) const;

    int _pagesTotal = 0;
    int _page = 0;
    int _records = 0;
    bool _pageOpen = false;
    bool _deviceOk = true;
    double _headerHeight = 0, _footerHeight = 0;
    double _bodyTop = 0, _bodyBottom = 0, _cursor = 0;
    double _contentTop = 0; // below the page's headings and a band's continuation
};

// The two kinds (trFormRenderer.cpp, trColumnarRenderer.cpp); Make chooses.
std::unique_ptr<trReportRenderer> trMakeFormRenderer(const trReportDesign& design, const trFieldText& fields,
                                                     const trRunFacts& facts, trSurface surface, int pagesTotal);
std::unique_ptr<trReportRenderer> trMakeColumnarRenderer(const trReportDesign& design, const trFieldText& fields,
                                                         const trRunFacts& facts, trSurface surface,
                                                         int pagesTotal);
