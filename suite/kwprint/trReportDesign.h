// A report design: how the records of one record-managed file are laid out on paper. The
// design printer (tr_design.h) renders it; this header describes the stored file, reads
// it and writes it.
//
// Report designs are files in the company's reports folder (kwPath::Reports), named after
// the design with the extension ".RPT" ("QV Table View.RPT"), holding one JSON object.
// Lengths are points (1/72 inch); positions are measured from the top left corner of their
// band, inside the page margins.
//
// {
//   "version": 1,                       required: the format; this program reads 1
//   "kind": "form" | "columnar",        required: a page (or a block) per record, or a table
//   "title": "Issues",                  shown through {title}; default: the file's name
//   "file": "QVI",                      required: the file abbreviation the design prints
//   "recordType": 1,                    the record type printed (default 1)
//   "page": { "size": "Letter",         Letter, Legal, Executive, A4, A5 (default Letter)
//             "orientation": "portrait",  or "landscape"
//             "margins": [54, 54, 54, 54] }  left, top, right, bottom (default 54 each)
//   "font": FONT,                       the design's font (default DejaVu Sans 9 pt)
//   "noRecords": "No records were selected.",  printed when the selection is empty
//   "pageHeader": BAND, "pageFooter": BAND,    on every page
//
//   form designs:
//   "record": BAND plus "newPage": true (each record starts a page; default true) and
//             "gap": 18 (space between records that share a page),
//   "continued": BAND                   at the top of each further page of a record whose
//                                       text runs over a page (record fields allowed)
//
//   columnar designs:
//   "columns": [ COLUMN, ... ],         required, at least one
//   "columnGap": 6,                     space between two columns
//   "columnHeader": { "font": FONT, "rule": true, "shade": "#e6e6e6" },  repeated per page
//   "row": { "font": FONT, "padding": 2, "rule": false, "shade": "#f4f4f4" },
//             shade: every second row's background; rule: a thin line under each row
//   "group": { "by": "order" | FIELD,   a heading whenever the value changes: "order" is
//                                       the first field of the selection's order, unless
//                                       that order is a unique key (then no groups)
//              "font": FONT, "heading": "{label}: {value}", "footer": "{count} records" },
//   "summary": "{count} records"        after the last row
// }
//
// BAND:   { "height": 40, "items": [ ITEM, ... ] }   the band's least height: it grows
//         when an item's text needs more room, and the items below move down with it.
// ITEM:   { "type": "text" | "field" | "line" | "box",
//           "x": 0, "y": 0, "width": 100, "height": 12,   required (height of a line: 0)
//           "font": FONT, "align": "left" | "center" | "right",
//           "text": "...",          text: the words, with placeholders
//           "field": "FORMESS",     field: the field shown
//           "label": "<262F>:",     field: words before the value; with "labelWidth" they
//           "labelWidth": 80,       get a column of their own, else they lead the value
//           "labelFont": FONT,
//           "frame": false,         text and field: a frame that grows with the item
//           "weight": 0.5 }         line and box: the pen's width
// COLUMN: { "field": "ISSUE" | "formula": "...", "header": "<262F>", "width": 60,
//           "align": "left" | "center" | "right" }
//         Widths are relative: the columns are scaled to fill the page between the
//         margins. A formula column prints the company's formula of that name for the
//         design's application (trFormulaFile.h: "QV" for the file "QVI"), headed by the
//         formula's name unless a header is given.
//         Without a header the column is headed by the field's description: for a field
//         of a custom list, the company's custom description of the list.
// FONT:   { "family": "DejaVu Sans", "size": 9, "bold": false, "italic": false }
//         A font given in part takes the rest from the font around it.
//
// Texts (text, label, header, heading, footer, summary, noRecords) may carry term codes
// ("<262F>", replaced by the company's custom field descriptions) and placeholders:
//   page bands        {company} {title} {date} {time} {operator} {page} {pages}
//   record bands      {company} {title} {date} {time} {operator} {field:NAME}
//   group heading     {label} (the field's description) {value}
//   group footer, summary    {count}
// "{{" stands for "{" and "<<" for "<". Text that does not fit its width wraps; nothing is
// cut off.
//
// A damaged design (not JSON, a wrong type, an unknown key or placeholder, an item
// outside the page) is refused with an error naming the file and the place in it:
//   "QV Form View.RPT: record.items[3].width: must be a number".
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class trAlign { Left, Center, Right };

struct trFont {
    std::string family = "DejaVu Sans";
    double size = 9;
    bool bold = false;
    bool italic = false;
};

// A font as a design writes it: each part may be left to the font around it.
struct trFontDef {
    std::optional<std::string> family;
    std::optional<double> size;
    std::optional<bool> bold;
    std::optional<bool> italic;

    bool Empty() const { return !family && !size && !bold && !italic; }
    trFont Over(const trFont& base) const;
};

enum class trItemType { Text, Field, Line, Box };

struct trItem {
    trItemType type = trItemType::Text;
    double x = 0, y = 0, width = 0, height = 0;
    trFontDef font;
    std::optional<trAlign> align;
    std::string text;  // text
    std::string field; // field
    std::string label; // field
    double labelWidth = 0;
    trFontDef labelFont;
    bool frame = false;
    double weight = 0.5;
    std::string where; // its place in the file ("record.items[3]"), for errors
};

struct trBand {
    bool present = false;
    double height = 0;
    std::vector<trItem> items;
    std::string where;
};

struct trColumn {
    std::string field;
    std::optional<std::string> formula;
    std::optional<std::string> header;
    double width = 60;
    std::optional<trAlign> align;
    std::string where;
};

struct trTableStyle {
    trFontDef font;
    bool rule = false;
    std::string shade; // "#rrggbb" or empty
    double padding = 2;
};

struct trGroup {
    std::string by; // "" none, "order", or a field name
    trFontDef font;
    std::string heading = "{label}: {value}";
    std::string footer;
};

struct trReportDesign {
    enum class Kind { Form, Columnar };

    static constexpr int kFormatVersion = 1;

    Kind kind = Kind::Columnar;
    std::string title;
    std::string file;
    short recordType = 1;
    std::string pageSize = "Letter";
    bool landscape = false;
    double margins[4] = {54, 54, 54, 54}; // left, top, right, bottom
    trFont font;
    std::string noRecords = "No records were selected.";
    trBand pageHeader, pageFooter;
    // form
    trBand record, continued;
    bool newPagePerRecord = true;
    double recordGap = 18;
    // columnar
    std::vector<trColumn> columns;
    double columnGap = 6;
    trTableStyle columnHeader{{}, true, "", 2};
    trTableStyle row;
    trGroup group;
    std::string summary;

    // The design in path; nullopt with *error naming the file and the place when it is
    // missing, unreadable or damaged.
    static std::optional<trReportDesign> Load(const std::string& path, std::string* error);
    // A design from JSON text; origin names it in errors (usually the file's name).
    static std::optional<trReportDesign> Parse(const std::string& text, const std::string& origin,
                                               std::string* error);
    // The stored form (the JSON above, every value written out).
    std::string ToJson() const;
    // Writes the design through the suite's stored-file helper: a reader sees the old
    // design or the new one, never a part. false with *error naming the file.
    bool Save(const std::string& path, std::string* error) const;

    // The page's size in points, turned for landscape.
    double PageWidth() const;
    double PageHeight() const;
    double BodyWidth() const { return PageWidth() - margins[0] - margins[2]; }
};
