// Reads screen files into panel definitions. Every fault names the file and the JSON path
// of the place; the first fault refuses the whole file, so a window is never built from a
// half-read panel.
#include "kwapp/suitewin/xwScreenFile.h"

#include "kwapp/suitewin/xw.h"

#include <nlohmann/json.hpp>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <mutex>
#include <set>

namespace {

struct ScreenError {
    std::string text;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw ScreenError{where + ": " + what};
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

const nlohmann::json* Member(const nlohmann::json& node, const char* key) {
    auto it = node.find(key);
    return it == node.end() ? nullptr : &*it;
}

std::string GetString(const nlohmann::json& node, const char* key, const std::string& where,
                      bool required, const std::string& fallback = "") {
    const nlohmann::json* value = Member(node, key);
    if (!value) {
        if (required) Fail(where, std::string("\"") + key + "\" is missing");
        return fallback;
    }
    if (!value->is_string()) Fail(where + "." + key, "must be a text");
    return value->get<std::string>();
}

short GetInt(const nlohmann::json& node, const char* key, const std::string& where,
             bool required, long fallback, long low, long high) {
    const nlohmann::json* value = Member(node, key);
    if (!value) {
        if (required) Fail(where, std::string("\"") + key + "\" is missing");
        return static_cast<short>(fallback);
    }
    if (!value->is_number_integer()) Fail(where + "." + key, "must be a whole number");
    const long number = value->get<long>();
    if (number < low || number > high) {
        Fail(where + "." + key,
             "must lie between " + std::to_string(low) + " and " + std::to_string(high));
    }
    return static_cast<short>(number);
}

bool GetBool(const nlohmann::json& node, const char* key, const std::string& where,
             bool fallback) {
    const nlohmann::json* value = Member(node, key);
    if (!value) return fallback;
    if (!value->is_boolean()) Fail(where + "." + key, "must be true or false");
    return value->get<bool>();
}

const nlohmann::json& GetArray(const nlohmann::json& node, const char* key,
                               const std::string& where, bool required) {
    static const nlohmann::json empty = nlohmann::json::array();
    const nlohmann::json* value = Member(node, key);
    if (!value) {
        if (required) Fail(where, std::string("\"") + key + "\" is missing");
        return empty;
    }
    if (!value->is_array()) Fail(where + "." + key, "must be a list");
    return *value;
}

void RequireObject(const nlohmann::json& node, const std::string& where) {
    if (!node.is_object()) Fail(where, "must be an object");
}

std::string At(const std::string& where, const char* key, size_t index) {
    return where + "." + key + "[" + std::to_string(index) + "]";
}

// Names fill 8-byte slots of the callers' records (7 characters and a zero would not hold
// "PRINT " style names of 8), so they are kept to 8 plain characters.
std::string GetName(const nlohmann::json& node, const std::string& where) {
    const std::string name = GetString(node, "name", where, true);
    if (name.empty() || name.size() > 8) Fail(where + ".name", "must have 1 to 8 characters");
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7e)
            Fail(where + ".name", "must be letters, digits or signs without blanks");
    }
    return Upper(name);
}

short FieldType(const std::string& name, const std::string& where) {
    static const std::pair<const char*, short> types[] = {
        {"text", XW_FIELD_TEXT},   {"number", XW_FIELD_NUMBER}, {"check", XW_FIELD_CHECK},
        {"radio", XW_FIELD_RADIO}, {"combo", XW_FIELD_COMBO},   {"list", XW_FIELD_LIST},
        {"button", XW_FIELD_BUTTON},
    };
    for (const auto& [text, type] : types) {
        if (name == text) return type;
    }
    Fail(where, "\"" + name + "\" is not a field type (text, number, check, radio, combo, list, button)");
}

// Checks that a rectangle lies inside the panel.
void Inside(const xwPanelDef& panel, short row, short column, short width, short height,
            const std::string& where) {
    if (row + height - 1 > panel.height)
        Fail(where, "reaches past the panel's last row (" + std::to_string(panel.height) + ")");
    if (column + width - 1 > panel.width)
        Fail(where, "reaches past the panel's last column (" + std::to_string(panel.width) + ")");
}

short Row(const nlohmann::json& node, const xwPanelDef& panel, const std::string& where,
          bool required = true, short fallback = 1) {
    return GetInt(node, "row", where, required, fallback, 1, panel.height);
}

short Column(const nlohmann::json& node, const xwPanelDef& panel, const std::string& where,
             bool required = true, short fallback = 1) {
    return GetInt(node, "column", where, required, fallback, 1, panel.width);
}

// A caption's length in cells, without its access-key marks.
short CaptionCells(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '~' && i + 1 < text.size() && text[i + 1] != '~') continue;
        plain += text[i];
    }
    size_t characters = 0;
    for (char c : plain) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    }
    return static_cast<short>(std::min<size_t>(characters, 200));
}

xwFieldDef ParseField(const nlohmann::json& node, const xwPanelDef& panel,
                      const std::string& where) {
    RequireObject(node, where);
    xwFieldDef field;
    field.number = GetInt(node, "number", where, true, 0, 1, 999);
    field.type = FieldType(GetString(node, "type", where, true), where + ".type");
    field.row = Row(node, panel, where);
    field.column = Column(node, panel, where);
    field.text = GetString(node, "text", where, false);
    field.width = GetInt(node, "width", where, field.type != XW_FIELD_RADIO,
                         1, 1, panel.width);
    field.height = field.type == XW_FIELD_LIST ? GetInt(node, "height", where, true, 1, 1, panel.height)
                                               : GetInt(node, "height", where, false, 1, 1, 1);
    field.enabled = GetBool(node, "enabled", where, true);
    field.help = GetString(node, "help", where, false);
    if (field.type != XW_FIELD_RADIO) Inside(panel, field.row, field.column, field.width, field.height, where);

    if (const nlohmann::json* label = Member(node, "label")) {
        const std::string labelWhere = where + ".label";
        RequireObject(*label, labelWhere);
        xwLabelDef def;
        def.text = GetString(*label, "text", labelWhere, true);
        def.row = Row(*label, panel, labelWhere, false, field.row);
        def.column = Column(*label, panel, labelWhere, true);
        Inside(panel, def.row, def.column, CaptionCells(def.text), 1, labelWhere);
        field.label = def;
    }

    const bool button = field.type == XW_FIELD_BUTTON;
    if (Member(node, "exitKey") || Member(node, "action") || Member(node, "default")) {
        if (!button && !Member(node, "exitOnChange"))
            Fail(where, "only a button has an exit key, an action or a default");
    }
    field.exitKey = GetInt(node, "exitKey", where, false, 0, 0, 255);
    field.action = GetInt(node, "action", where, false, 0, 0, 99);
    field.isDefault = GetBool(node, "default", where, false);
    if (field.action != XW_ACTION_NONE && field.exitKey == 0)
        Fail(where + ".action", "a button with an action needs an exit key");
    field.exitOnChange = GetBool(node, "exitOnChange", where, false);
    if (button && field.exitOnChange) Fail(where + ".exitOnChange", "a button cannot change");
    field.maxLength = GetInt(node, "maxLength", where, false, 0, 0, 255);
    field.decimals = GetInt(node, "decimals", where, false, 0, 0, 9);
    field.editable = GetBool(node, "editable", where, false);
    field.checks = GetBool(node, "checks", where, false);

    const nlohmann::json& items = GetArray(node, "items", where, field.type == XW_FIELD_RADIO);
    if (!items.empty() && field.type != XW_FIELD_RADIO && field.type != XW_FIELD_COMBO)
        Fail(where + ".items", "only radio groups and combo boxes have items");
    if (field.type == XW_FIELD_RADIO && items.empty()) Fail(where + ".items", "a radio group needs items");
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string itemWhere = At(where, "items", i);
        xwItemDef item;
        if (field.type == XW_FIELD_COMBO) {
            if (!items[i].is_string()) Fail(itemWhere, "must be a text");
            item.text = items[i].get<std::string>();
        } else {
            RequireObject(items[i], itemWhere);
            item.text = GetString(items[i], "text", itemWhere, true);
            item.row = Row(items[i], panel, itemWhere);
            item.column = Column(items[i], panel, itemWhere);
            Inside(panel, item.row, item.column, static_cast<short>(CaptionCells(item.text) + 4), 1,
                   itemWhere);
        }
        field.items.push_back(std::move(item));
    }

    const nlohmann::json& headers = GetArray(node, "headers", where, false);
    if (!headers.empty() && field.type != XW_FIELD_LIST) Fail(where + ".headers", "only a list has headers");
    int total = 0;
    for (size_t i = 0; i < headers.size(); ++i) {
        const std::string headerWhere = At(where, "headers", i);
        RequireObject(headers[i], headerWhere);
        xwListColumnDef column;
        column.text = GetString(headers[i], "text", headerWhere, false);
        column.width = GetInt(headers[i], "width", headerWhere, true, 1, 1, panel.width);
        total += column.width;
        field.headers.push_back(std::move(column));
    }
    if (field.headers.size() > 2) Fail(where + ".headers", "a list has at most 2 columns");
    if (total > field.width) Fail(where + ".headers", "the columns are wider than the list");
    return field;
}

xwPanelDef ParsePanel(const nlohmann::json& node, const std::string& where) {
    RequireObject(node, where);
    xwPanelDef panel;
    panel.name = GetName(node, where);
    panel.title = GetString(node, "title", where, false);
    if (panel.title.size() >= XW_TITLE_SIZE)
        Fail(where + ".title", "longer than " + std::to_string(XW_TITLE_SIZE - 1) + " bytes");
    panel.width = GetInt(node, "width", where, true, 1, 1, 200);
    panel.height = GetInt(node, "height", where, true, 1, 1, 100);
    panel.modal = GetBool(node, "modal", where, true);
    panel.closeBox = GetBool(node, "closeBox", where, true);

    const nlohmann::json& texts = GetArray(node, "texts", where, false);
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string textWhere = At(where, "texts", i);
        RequireObject(texts[i], textWhere);
        xwTextDef text;
        text.row = Row(texts[i], panel, textWhere);
        text.column = Column(texts[i], panel, textWhere);
        text.text = GetString(texts[i], "text", textWhere, true);
        text.style = GetInt(texts[i], "style", textWhere, false, 1, 0, 3);
        Inside(panel, text.row, text.column, CaptionCells(text.text), 1, textWhere);
        panel.texts.push_back(std::move(text));
    }

    const nlohmann::json& boxes = GetArray(node, "boxes", where, false);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const std::string boxWhere = At(where, "boxes", i);
        RequireObject(boxes[i], boxWhere);
        xwBoxDef box;
        box.row = Row(boxes[i], panel, boxWhere);
        box.column = Column(boxes[i], panel, boxWhere);
        box.width = GetInt(boxes[i], "width", boxWhere, true, 1, 1, panel.width);
        box.height = GetInt(boxes[i], "height", boxWhere, true, 1, 1, panel.height);
        box.text = GetString(boxes[i], "text", boxWhere, false);
        Inside(panel, box.row, box.column, box.width, box.height, boxWhere);
        panel.boxes.push_back(std::move(box));
    }

    const nlohmann::json& fields = GetArray(node, "fields", where, false);
    std::set<short> numbers;
    short defaults = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string fieldWhere = At(where, "fields", i);
        xwFieldDef field = ParseField(fields[i], panel, fieldWhere);
        if (!numbers.insert(field.number).second)
            Fail(fieldWhere + ".number", "field " + std::to_string(field.number) + " is defined twice");
        if (field.isDefault && ++defaults > 1) Fail(fieldWhere + ".default", "a panel has one default button");
        panel.fields.push_back(std::move(field));
    }
    return panel;
}

std::shared_ptr<const xwScreen> Build(const nlohmann::json& root, const std::string& origin) {
    RequireObject(root, origin);
    auto screen = std::make_shared<xwScreen>();
    screen->origin = origin;
    screen->name = Upper(GetString(root, "screen", origin, true));
    if (screen->name.empty()) Fail(origin + ": screen", "must not be empty");
    const nlohmann::json& groups = GetArray(root, "groups", origin, true);
    std::set<std::string> groupNames;
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::string groupWhere = origin + ": groups[" + std::to_string(g) + "]";
        RequireObject(groups[g], groupWhere);
        xwScreenGroup group;
        group.name = GetName(groups[g], groupWhere);
        if (!groupNames.insert(group.name).second)
            Fail(groupWhere + ".name", "group " + group.name + " is defined twice");
        const nlohmann::json& panels = GetArray(groups[g], "panels", groupWhere, true);
        std::set<std::string> panelNames;
        for (size_t p = 0; p < panels.size(); ++p) {
            const std::string panelWhere = At(groupWhere, "panels", p);
            xwPanelDef panel = ParsePanel(panels[p], panelWhere);
            if (!panelNames.insert(panel.name).second)
                Fail(panelWhere + ".name", "panel " + panel.name + " is defined twice");
            group.panels.push_back(std::move(panel));
        }
        screen->groups.push_back(std::move(group));
    }
    return screen;
}

std::mutex& FoldersMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<std::string>& Folders() {
    static std::vector<std::string> folders;
    return folders;
}

std::string FileName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

} // namespace

const xwPanelDef* xwScreen::Panel(const std::string& group, const std::string& panel) const {
    const std::string wantedGroup = Upper(group), wantedPanel = Upper(panel);
    for (const xwScreenGroup& g : groups) {
        if (g.name != wantedGroup) continue;
        for (const xwPanelDef& p : g.panels) {
            if (p.name == wantedPanel) return &p;
        }
    }
    return nullptr;
}

std::shared_ptr<const xwScreen> xwScreenFile::Parse(const std::string& text, const std::string& origin,
                                                    std::string* error) {
    nlohmann::json root;
    try {
        root = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        if (error) *error = origin + ": not valid JSON at byte " + std::to_string(e.byte);
        return nullptr;
    }
    try {
        return Build(root, origin);
    } catch (const ScreenError& e) {
        if (error) *error = e.text;
    } catch (const nlohmann::json::exception& e) {
        if (error) *error = origin + ": " + e.what();
    }
    return nullptr;
}

std::shared_ptr<const xwScreen> xwScreenFile::LoadFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = FileName(path) + ": the screen file cannot be read (" + path + ")";
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    return Parse(bytes.toStdString(), FileName(path), error);
}

std::shared_ptr<const xwScreen> xwScreenFile::Load(const std::string& name, std::string* error) {
    const std::string fileName = Lower(name) + ".scr";
    if (name.empty() || fileName.find('/') != std::string::npos || name == "." || name == "..") {
        if (error) *error = "\"" + name + "\" is not a screen file name";
        return nullptr;
    }
    std::vector<std::string> folders;
    {
        std::lock_guard<std::mutex> lock(FoldersMutex());
        folders = Folders();
    }
    folders.push_back(BuiltInFolder());
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + fileName;
        if (QFileInfo::exists(QString::fromStdString(path))) return LoadFile(path, error);
    }
    if (error) *error = fileName + ": there is no such screen file";
    return nullptr;
}

void xwScreenFile::SetFolders(std::vector<std::string> folders) {
    std::lock_guard<std::mutex> lock(FoldersMutex());
    Folders() = std::move(folders);
}

const char* xwScreenFile::BuiltInFolder() {
    return ":/kwapp/screens";
}
