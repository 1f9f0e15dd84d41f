// Reads and writes report designs (the format is described in trReportDesign.h). Every
// fault names the file and the place in it; nothing in a design can crash the reader.
#include "kwprint/trReportDesign.h"

#include "kwprint/trTemplate.h"

#include "kwcommon/kwStoredFile.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

namespace {

using json = nlohmann::json;
using ordered = nlohmann::ordered_json;

struct DesignError {
    std::string text;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw DesignError{(where.empty() ? std::string() : where + ": ") + what};
}

std::string Join(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}

std::string Index(const std::string& where, size_t i) { return where + "[" + std::to_string(i) + "]"; }

// Page sizes in points, portrait.
const std::map<std::string, std::pair<double, double>>& PageSizes() {
    static const std::map<std::string, std::pair<double, double>> sizes = {
        {"Letter", {612, 792}}, {"Legal", {612, 1008}}, {"Executive", {522, 756}},
        {"A4", {595.28, 841.89}}, {"A5", {419.53, 595.28}}};
    return sizes;
}

// Placeholders a text may use, by where it stands.
enum class Context { Page, Record, GroupHeading, Count, Plain };

const std::set<std::string>& Allowed(Context context) {
    static const std::set<std::string> page = {"company", "title", "date", "time", "operator", "page", "pages"};
    static const std::set<std::string> record = {"company", "title", "date", "time", "operator"};
    static const std::set<std::string> heading = {"label", "value"};
    static const std::set<std::string> count = {"count"};
    static const std::set<std::string> none;
    switch (context) {
    case Context::Page: return page;
    case Context::Record: return record;
    case Context::GroupHeading: return heading;
    case Context::Count: return count;
    default: return none;
    }
}

// The reading side: each call checks one value's type and range and names its place.
struct Reader {
    static void CheckKeys(const json& node, const std::string& where, const std::set<std::string>& known) {
        if (!node.is_object()) Fail(where, "must be an object { ... }");
        for (auto it = node.begin(); it != node.end(); ++it) {
            if (!known.count(it.key())) Fail(Join(where, it.key()), "is not a key of this place in a design");
        }
    }

    static const json* Find(const json& node, const char* key) {
        auto it = node.find(key);
        return it == node.end() ? nullptr : &*it;
    }

    static std::string Text(const json& node, const char* key, const std::string& where, bool required,
                            const std::string& fallback = "") {
        const json* value = Find(node, key);
        if (!value) {
            if (required) Fail(where, std::string("\"") + key + "\" is missing");
            return fallback;
        }
        if (!value->is_string()) Fail(Join(where, key), "must be a text");
        return value->get<std::string>();
    }

    static double Number(const json& node, const char* key, const std::string& where, bool required,
                         double fallback, double low, double high) {
        const json* value = Find(node, key);
        if (!value) {
            if (required) Fail(where, std::string("\"") + key + "\" is missing");
            return fallback;
        }
        if (!value->is_number()) Fail(Join(where, key), "must be a number");
        const double number = value->get<double>();
        if (!std::isfinite(number) || number < low || number > high) {
            Fail(Join(where, key), "must lie between " + Show(low) + " and " + Show(high));
        }
        return number;
    }

    static bool Bool(const json& node, const char* key, const std::string& where, bool fallback) {
        const json* value = Find(node, key);
        if (!value) return fallback;
        if (!value->is_boolean()) Fail(Join(where, key), "must be true or false");
        return value->get<bool>();
    }

    static std::string Show(double number) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", number);
        return text;
    }

    static std::optional<trAlign> Align(const json& node, const std::string& where) {
        const json* value = Find(node, "align");
        if (!value) return std::nullopt;
        if (!value->is_string()) Fail(Join(where, "align"), "must be a text");
        const std::string text = value->get<std::string>();
        if (text == "left") return trAlign::Left;
        if (text == "center") return trAlign::Center;
        if (text == "right") return trAlign::Right;
        Fail(Join(where, "align"), "must be \"left\", \"center\" or \"right\"");
    }

    static trFontDef Font(const json& node, const char* key, const std::string& where) {
        trFontDef font;
        const json* value = Find(node, key);
        if (!value) return font;
        const std::string at = Join(where, key);
        CheckKeys(*value, at, {"family", "size", "bold", "italic"});
        if (Find(*value, "family")) {
            font.family = Text(*value, "family", at, true);
            if (font.family->empty()) Fail(Join(at, "family"), "must name a font");
        }
        if (Find(*value, "size")) font.size = Number(*value, "size", at, true, 0, 4, 72);
        if (Find(*value, "bold")) font.bold = Bool(*value, "bold", at, false);
        if (Find(*value, "italic")) font.italic = Bool(*value, "italic", at, false);
        return font;
    }

    static std::string Shade(const json& node, const std::string& where) {
        const std::string shade = Text(node, "shade", where, false);
        if (shade.empty()) return shade;
        bool ok = shade.size() == 7 && shade[0] == '#';
        for (size_t i = 1; ok && i < shade.size(); ++i) ok = std::isxdigit(static_cast<unsigned char>(shade[i]));
        if (!ok) Fail(Join(where, "shade"), "must be a colour \"#rrggbb\"");
        return shade;
    }

    // A text with placeholders: checked against what its place offers.
    static std::string Template(const json& node, const char* key, const std::string& where, Context context,
                                bool required, const std::string& fallback = "") {
        const std::string text = Text(node, key, where, required, fallback);
        std::vector<trTemplatePart> parts;
        std::string problem;
        if (!trParseTemplate(text, &parts, &problem)) Fail(Join(where, key), problem);
        for (const trTemplatePart& part : parts) {
            if (!part.placeholder) continue;
            if (context == Context::Record && !trPlaceholderField(part.text).empty()) continue;
            if (!Allowed(context).count(part.text)) {
                Fail(Join(where, key), "the placeholder {" + part.text + "} is not known here");
            }
        }
        return text;
    }
};

trItem ReadItem(const json& node, const std::string& where, double bodyWidth, Context context) {
    Reader::CheckKeys(node, where, {"type", "x", "y", "width", "height", "font", "align", "text", "field", "label",
                                    "labelWidth", "labelFont", "frame", "weight"});
    trItem item;
    item.where = where;
    const std::string type = Reader::Text(node, "type", where, true);
    if (type == "text") item.type = trItemType::Text;
    else if (type == "field") item.type = trItemType::Field;
    else if (type == "line") item.type = trItemType::Line;
    else if (type == "box") item.type = trItemType::Box;
    else Fail(Join(where, "type"), "must be \"text\", \"field\", \"line\" or \"box\"");

    const bool isLine = item.type == trItemType::Line;
    item.x = Reader::Number(node, "x", where, true, 0, 0, bodyWidth);
    item.y = Reader::Number(node, "y", where, true, 0, 0, 5000);
    item.width = Reader::Number(node, "width", where, true, 0, isLine ? 0 : 1, bodyWidth);
    item.height = Reader::Number(node, "height", where, !isLine, 0, 0, 5000);
    if (item.x + item.width > bodyWidth + 0.01) {
        Fail(where, "reaches past the printable width of the page (" + Reader::Show(bodyWidth) +
                        " points between the margins)");
    }
    if (isLine && item.width == 0 && item.height == 0) Fail(where, "a line needs a width or a height");
    item.font = Reader::Font(node, "font", where);
    item.align = Reader::Align(node, where);
    item.frame = Reader::Bool(node, "frame", where, false);
    item.weight = Reader::Number(node, "weight", where, false, 0.5, 0, 10);

    const auto refuse = [&](const char* key, const char* types) {
        if (Reader::Find(node, key)) Fail(Join(where, key), std::string("belongs to ") + types + " items only");
    };
    switch (item.type) {
    case trItemType::Text:
        item.text = Reader::Template(node, "text", where, context, true);
        refuse("field", "field");
        refuse("label", "field");
        refuse("labelWidth", "field");
        refuse("labelFont", "field");
        break;
    case trItemType::Field:
        if (context != Context::Record) Fail(where, "a field prints only in a record's band");
        item.field = Reader::Text(node, "field", where, true);
        if (item.field.empty()) Fail(Join(where, "field"), "must name a field");
        item.label = Reader::Template(node, "label", where, Context::Record, false);
        item.labelWidth = Reader::Number(node, "labelWidth", where, false, 0, 0, item.width - 1);
        item.labelFont = Reader::Font(node, "labelFont", where);
        refuse("text", "text");
        break;
    default:
        for (const char* key : {"text", "field", "label", "labelWidth", "labelFont", "font", "align", "frame"})
            refuse(key, "text and field");
        break;
    }
    return item;
}

trBand ReadBand(const json& root, const char* key, double bodyWidth, Context context, bool required,
                const std::set<std::string>& extraKeys = {}) {
    trBand band;
    band.where = key;
    const json* node = Reader::Find(root, key);
    if (!node) {
        if (required) Fail("", std::string("\"") + key + "\" is missing");
        return band;
    }
    std::set<std::string> known = {"height", "items"};
    known.insert(extraKeys.begin(), extraKeys.end());
    Reader::CheckKeys(*node, key, known);
    band.present = true;
    band.height = Reader::Number(*node, "height", key, true, 0, 0, 5000);
    if (const json* items = Reader::Find(*node, "items")) {
        if (!items->is_array()) Fail(Join(key, "items"), "must be a list");
        for (size_t i = 0; i < items->size(); ++i)
            band.items.push_back(ReadItem((*items)[i], Index(Join(key, "items"), i), bodyWidth, context));
    }
    return band;
}

trTableStyle ReadTableStyle(const json& root, const char* key, trTableStyle style) {
    const json* node = Reader::Find(root, key);
    if (!node) return style;
    Reader::CheckKeys(*node, key, {"font", "rule", "shade", "padding"});
    style.font = Reader::Font(*node, "font", key);
    style.rule = Reader::Bool(*node, "rule", key, style.rule);
    style.shade = Reader::Shade(*node, key);
    style.padding = Reader::Number(*node, "padding", key, false, style.padding, 0, 36);
    return style;
}

trReportDesign ReadDesign(const json& root) {
    if (!root.is_object()) Fail("", "a design must be a JSON object { ... }");
    trReportDesign design;

    const json* version = Reader::Find(root, "version");
    if (!version) Fail("", "\"version\" is missing");
    if (!version->is_number_integer()) Fail("version", "must be a whole number");
    if (version->get<long long>() > trReportDesign::kFormatVersion) {
        Fail("version", "the design was made for a newer design format (" + std::to_string(version->get<long long>()) +
                            "); this program reads format " + std::to_string(trReportDesign::kFormatVersion));
    }
    if (version->get<long long>() < 1) Fail("version", "must be 1 or more");

    const std::string kind = Reader::Text(root, "kind", "", true);
    if (kind == "form") design.kind = trReportDesign::Kind::Form;
    else if (kind == "columnar") design.kind = trReportDesign::Kind::Columnar;
    else Fail("kind", "must be \"form\" or \"columnar\"");
    const bool form = design.kind == trReportDesign::Kind::Form;

    std::set<std::string> known = {"version", "kind", "title", "file", "recordType", "page", "font", "noRecords",
                                   "pageHeader", "pageFooter"};
    const std::set<std::string> formKeys = {"record", "continued"};
    const std::set<std::string> columnKeys = {"columns", "columnGap", "columnHeader", "row", "group", "summary"};
    for (const auto& key : form ? formKeys : columnKeys) known.insert(key);
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (known.count(it.key())) continue;
        if ((form ? columnKeys : formKeys).count(it.key()))
            Fail(it.key(), std::string("belongs to ") + (form ? "columnar" : "form") + " designs only");
        Fail(it.key(), "is not a key of a design");
    }

    design.title = Reader::Text(root, "title", "", false);
    design.file = Reader::Text(root, "file", "", true);
    if (design.file.empty() || design.file.size() > 3) Fail("file", "must be a file abbreviation of 1 to 3 letters");
    design.recordType = static_cast<short>(Reader::Number(root, "recordType", "", false, 1, 1, 32767));
    if (const json* v = Reader::Find(root, "recordType"); v && !v->is_number_integer())
        Fail("recordType", "must be a whole number");

    if (const json* page = Reader::Find(root, "page")) {
        Reader::CheckKeys(*page, "page", {"size", "orientation", "margins"});
        design.pageSize = Reader::Text(*page, "size", "page", false, design.pageSize);
        if (!PageSizes().count(design.pageSize)) Fail("page.size", "must be Letter, Legal, Executive, A4 or A5");
        const std::string orientation = Reader::Text(*page, "orientation", "page", false, "portrait");
        if (orientation != "portrait" && orientation != "landscape")
            Fail("page.orientation", "must be \"portrait\" or \"landscape\"");
        design.landscape = orientation == "landscape";
        if (const json* margins = Reader::Find(*page, "margins")) {
            if (!margins->is_array() || margins->size() != 4)
                Fail("page.margins", "must be a list of four numbers: left, top, right, bottom");
            for (size_t i = 0; i < 4; ++i) {
                if (!(*margins)[i].is_number()) Fail(Index("page.margins", i), "must be a number");
                const double m = (*margins)[i].get<double>();
                if (!std::isfinite(m) || m < 0 || m > 216) Fail(Index("page.margins", i), "must lie between 0 and 216");
                design.margins[i] = m;
            }
        }
    }
    if (design.BodyWidth() < 144 || design.PageHeight() - design.margins[1] - design.margins[3] < 144)
        Fail("page.margins", "leave less than two inches of the page to print on");

    const trFontDef font = Reader::Font(root, "font", "");
    design.font = font.Over(design.font);
    design.noRecords = Reader::Template(root, "noRecords", "", Context::Plain, false, design.noRecords);
    const double width = design.BodyWidth();
    design.pageHeader = ReadBand(root, "pageHeader", width, Context::Page, false);
    design.pageFooter = ReadBand(root, "pageFooter", width, Context::Page, false);

    if (form) {
        design.record = ReadBand(root, "record", width, Context::Record, true, {"newPage", "gap"});
        const json& record = root["record"];
        design.newPagePerRecord = Reader::Bool(record, "newPage", "record", true);
        design.recordGap = Reader::Number(record, "gap", "record", false, design.recordGap, 0, 720);
        design.continued = ReadBand(root, "continued", width, Context::Record, false);
        if (design.record.items.empty()) Fail("record.items", "a form needs at least one item");
        return design;
    }

    const json* columns = Reader::Find(root, "columns");
    if (!columns) Fail("", "\"columns\" is missing");
    if (!columns->is_array() || columns->empty()) Fail("columns", "must be a list of at least one column");
    for (size_t i = 0; i < columns->size(); ++i) {
        const json& node = (*columns)[i];
        const std::string where = Index("columns", i);
        Reader::CheckKeys(node, where, {"field", "formula", "header", "width", "align"});
        trColumn column;
        column.where = where;
        const bool hasField = Reader::Find(node, "field") != nullptr;
        const bool hasFormula = Reader::Find(node, "formula") != nullptr;
        if (hasField == hasFormula) Fail(where, "a column shows either a \"field\" or a \"formula\"");
        if (hasField) {
            column.field = Reader::Text(node, "field", where, true);
            if (column.field.empty()) Fail(Join(where, "field"), "must name a field");
        } else {
            column.formula = Reader::Text(node, "formula", where, true);
        }
        if (Reader::Find(node, "header")) column.header = Reader::Template(node, "header", where, Context::Plain, true);
        column.width = Reader::Number(node, "width", where, true, 0, 1, 2000);
        column.align = Reader::Align(node, where);
        design.columns.push_back(column);
    }
    design.columnGap = Reader::Number(root, "columnGap", "", false, design.columnGap, 0, 72);
    const double gaps = design.columnGap * static_cast<double>(design.columns.size() - 1);
    if (gaps + 4.0 * static_cast<double>(design.columns.size()) > width)
        Fail("columns", "there are more columns than the page's width can hold");
    design.columnHeader = ReadTableStyle(root, "columnHeader", design.columnHeader);
    design.row = ReadTableStyle(root, "row", design.row);
    if (const json* group = Reader::Find(root, "group")) {
        Reader::CheckKeys(*group, "group", {"by", "font", "heading", "footer"});
        design.group.by = Reader::Text(*group, "by", "group", true);
        if (design.group.by.empty()) Fail("group.by", "must be \"order\" or a field name");
        design.group.font = Reader::Font(*group, "font", "group");
        design.group.heading =
            Reader::Template(*group, "heading", "group", Context::GroupHeading, false, design.group.heading);
        design.group.footer = Reader::Template(*group, "footer", "group", Context::Count, false);
    }
    design.summary = Reader::Template(root, "summary", "", Context::Count, false);
    return design;
}

// ---- writing ---------------------------------------------------------------------------

const char* AlignName(trAlign align) {
    switch (align) {
    case trAlign::Center: return "center";
    case trAlign::Right: return "right";
    default: return "left";
    }
}

ordered FontJson(const trFontDef& font) {
    ordered node = ordered::object();
    if (font.family) node["family"] = *font.family;
    if (font.size) node["size"] = *font.size;
    if (font.bold) node["bold"] = *font.bold;
    if (font.italic) node["italic"] = *font.italic;
    return node;
}

ordered ItemJson(const trItem& item) {
    static const char* const types[] = {"text", "field", "line", "box"};
    ordered node;
    node["type"] = types[static_cast<int>(item.type)];
    node["x"] = item.x;
    node["y"] = item.y;
    node["width"] = item.width;
    node["height"] = item.height;
    const bool words = item.type == trItemType::Text || item.type == trItemType::Field;
    if (words) {
        if (!item.font.Empty()) node["font"] = FontJson(item.font);
        if (item.align) node["align"] = AlignName(*item.align);
        if (item.frame) node["frame"] = true;
    } else {
        node["weight"] = item.weight;
    }
    if (item.type == trItemType::Text) node["text"] = item.text;
    if (item.type == trItemType::Field) {
        node["field"] = item.field;
        if (!item.label.empty()) node["label"] = item.label;
        if (item.labelWidth > 0) node["labelWidth"] = item.labelWidth;
        if (!item.labelFont.Empty()) node["labelFont"] = FontJson(item.labelFont);
    }
    return node;
}

ordered BandJson(const trBand& band) {
    ordered node;
    node["height"] = band.height;
    node["items"] = ordered::array();
    for (const trItem& item : band.items) node["items"].push_back(ItemJson(item));
    return node;
}

ordered StyleJson(const trTableStyle& style) {
    ordered node;
    if (!style.font.Empty()) node["font"] = FontJson(style.font);
    node["rule"] = style.rule;
    if (!style.shade.empty()) node["shade"] = style.shade;
    node["padding"] = style.padding;
    return node;
}

} // namespace

trFont trFontDef::Over(const trFont& base) const {
    trFont font = base;
    if (family) font.family = *family;
    if (size) font.size = *size;
    if (bold) font.bold = *bold;
    if (italic) font.italic = *italic;
    return font;
}

double trReportDesign::PageWidth() const {
    auto it = PageSizes().find(pageSize);
    const auto size = it == PageSizes().end() ? std::pair<double, double>{612, 792} : it->second;
    return landscape ? size.second : size.first;
}

double trReportDesign::PageHeight() const {
    auto it = PageSizes().find(pageSize);
    const auto size = it == PageSizes().end() ? std::pair<double, double>{612, 792} : it->second;
    return landscape ? size.first : size.second;
}

std::optional<trReportDesign> trReportDesign::Parse(const std::string& text, const std::string& origin,
                                                    std::string* error) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& e) {
        if (error) *error = origin + ": not a valid design (JSON error at byte " + std::to_string(e.byte) + ")";
        return std::nullopt;
    }
    try {
        return ReadDesign(root);
    } catch (const DesignError& e) {
        if (error) *error = origin + ": " + e.text;
    } catch (const std::exception& e) {
        if (error) *error = origin + ": " + e.what();
    }
    return std::nullopt;
}

std::optional<trReportDesign> trReportDesign::Load(const std::string& path, std::string* error) {
    std::string text;
    if (!kwStoredFile::Read(path, &text, error)) return std::nullopt;
    const std::string name = std::filesystem::path(path).filename().string();
    auto design = Parse(text, name, error);
    if (design && design->title.empty()) design->title = std::filesystem::path(path).stem().string();
    return design;
}

std::string trReportDesign::ToJson() const {
    ordered root;
    root["version"] = kFormatVersion;
    root["kind"] = kind == Kind::Form ? "form" : "columnar";
    root["title"] = title;
    root["file"] = file;
    root["recordType"] = recordType;
    root["page"] = {{"size", pageSize},
                    {"orientation", landscape ? "landscape" : "portrait"},
                    {"margins", {margins[0], margins[1], margins[2], margins[3]}}};
    root["font"] = {{"family", font.family}, {"size", font.size}, {"bold", font.bold}, {"italic", font.italic}};
    root["noRecords"] = noRecords;
    if (pageHeader.present) root["pageHeader"] = BandJson(pageHeader);
    if (pageFooter.present) root["pageFooter"] = BandJson(pageFooter);
    if (kind == Kind::Form) {
        ordered band = BandJson(record);
        band["newPage"] = newPagePerRecord;
        band["gap"] = recordGap;
        root["record"] = band;
        if (continued.present) root["continued"] = BandJson(continued);
    } else {
        root["columns"] = ordered::array();
        for (const trColumn& column : columns) {
            ordered node;
            if (column.formula) node["formula"] = *column.formula;
            else node["field"] = column.field;
            if (column.header) node["header"] = *column.header;
            node["width"] = column.width;
            if (column.align) node["align"] = AlignName(*column.align);
            root["columns"].push_back(node);
        }
        root["columnGap"] = columnGap;
        root["columnHeader"] = StyleJson(columnHeader);
        root["row"] = StyleJson(row);
        if (!group.by.empty()) {
            ordered node;
            node["by"] = group.by;
            if (!group.font.Empty()) node["font"] = FontJson(group.font);
            node["heading"] = group.heading;
            if (!group.footer.empty()) node["footer"] = group.footer;
            root["group"] = node;
        }
        if (!summary.empty()) root["summary"] = summary;
    }
    return root.dump(2) + "\n";
}

bool trReportDesign::Save(const std::string& path, std::string* error) const {
    return kwStoredFile::Write(path, ToJson(), error);
}
