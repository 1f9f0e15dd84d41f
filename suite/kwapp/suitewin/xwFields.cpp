// Field types of the suite windows. Every change the program makes runs under the writing
// guard, so only the user's own input reaches the window as a change.
#include "kwapp/suitewin/xwFields.h"

#include "kwapp/suitewin/xwWindow.h"

#include "kwcommon/values/kwDouble.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kWrittenMarkRole = Qt::UserRole + 1;
constexpr int kDataRole = Qt::UserRole + 2;

class WritingGuard {
public:
    explicit WritingGuard(bool& flag) : _flag(flag), _was(flag) { _flag = true; }
    ~WritingGuard() { _flag = _was; }
    WritingGuard(const WritingGuard&) = delete;
    WritingGuard& operator=(const WritingGuard&) = delete;

private:
    bool& _flag;
    bool _was;
};

QString Plain(const std::string& text) {
    return QString::fromStdString(text);
}

void CopyText(char* target, size_t size, const std::string& text) {
    std::memset(target, 0, size);
    const std::string cut = x_utf8_cut(text, size - 1);
    std::memcpy(target, cut.data(), cut.size());
}

// --- text -------------------------------------------------------------------------------

class TextField : public xwField {
public:
    using xwField::xwField;
    void Build(QWidget* canvas) override {
        _edit = new QLineEdit(canvas);
        const int max = _def.maxLength > 0 ? _def.maxLength : std::min<int>(_def.width, X_VALUE_TEXT_MAX);
        _edit->setMaxLength(max);
        QObject::connect(_edit, &QLineEdit::textEdited, _edit, [this] { UserChanged(); });
        Register(_edit);
    }
    short Put(const x_value_def& value) override {
        _buffer = value.AsText();
        return XW_OK;
    }
    short Get(x_value_def* value) const override {
        value->SetText(_buffer);
        return XW_OK;
    }
    QString Shown() const override { return _edit->text(); }
    QWidget* FocusWidget() const override { return _edit; }

protected:
    void ShowBuffer() override { _edit->setText(Plain(_buffer)); }
    void TakeFromWidget() override { _buffer = _edit->text().toStdString(); }

    QLineEdit* _edit = nullptr;
    std::string _buffer;
};

// --- number -----------------------------------------------------------------------------

class NumberField : public TextField {
public:
    using TextField::TextField;
    void Build(QWidget* canvas) override {
        TextField::Build(canvas);
        _edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        _edit->setMaxLength(std::max<int>(_def.width, 1));
    }
    short Put(const x_value_def& value) override {
        if (value.IsText()) {
            kwDouble number(0.0, _def.decimals);
            if (!number.Set(value.text)) return XW_BAD_VALUE;
            _buffer = Format(number.Value());
        } else {
            _buffer = Format(value.number);
        }
        return XW_OK;
    }
    short Get(x_value_def* value) const override {
        kwDouble number(0.0, _def.decimals);
        if (!number.Set(_buffer)) {
            value->SetNumber(0);
            return XW_BAD_VALUE;
        }
        value->SetNumber(number.Value());
        return XW_OK;
    }
    bool Check(std::string* problem) const override {
        kwDouble number(0.0, _def.decimals);
        if (number.Set(_buffer)) return true;
        std::string name = _def.label ? _def.label->text : _def.text;
        name.erase(std::remove(name.begin(), name.end(), '~'), name.end());
        while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
        *problem = "\"" + _buffer + "\" is not a number.";
        if (!name.empty()) *problem += " Type a number in \"" + name + "\".";
        return false;
    }

private:
    // Zero shows as an empty field: a range left open reads better than a range from 0.
    std::string Format(double value) const {
        if (value == 0) return "";
        return kwDouble(value, _def.decimals).Format();
    }
};

// --- check box ----------------------------------------------------------------------------

class CheckField : public xwField {
public:
    using xwField::xwField;
    void Build(QWidget* canvas) override {
        _box = new QCheckBox(xwCaption(_def.text), canvas);
        QObject::connect(_box, &QCheckBox::toggled, _box, [this] { UserChanged(); });
        Register(_box);
    }
    short Put(const x_value_def& value) override {
        _checked = value.AsNumber() != 0;
        return XW_OK;
    }
    short Get(x_value_def* value) const override {
        value->SetNumber(_checked ? 1 : 0);
        return XW_OK;
    }
    QString Shown() const override { return _box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }
    QWidget* FocusWidget() const override { return _box; }
    short SetCaption(const std::string& text) override {
        _def.text = text;
        _box->setText(xwCaption(text));
        Place();
        return XW_OK;
    }

protected:
    void ShowBuffer() override { _box->setChecked(_checked); }
    void TakeFromWidget() override { _checked = _box->isChecked(); }

private:
    QCheckBox* _box = nullptr;
    bool _checked = false;
};

// --- radio group ------------------------------------------------------------------------

class RadioField : public xwField {
public:
    using xwField::xwField;
    void Build(QWidget* canvas) override {
        _group = new QButtonGroup(canvas);
        for (size_t i = 0; i < _def.items.size(); ++i) {
            auto* button = new QRadioButton(xwCaption(_def.items[i].text), canvas);
            button->setProperty("xwItem", static_cast<int>(i + 1));
            _group->addButton(button, static_cast<int>(i + 1));
            _buttons.push_back(button);
            Register(button);
        }
        QObject::connect(_group, &QButtonGroup::idToggled, _group, [this](int, bool on) {
            if (on) UserChanged();
        });
    }
    short Put(const x_value_def& value) override {
        const double item = value.AsNumber();
        if (item < 0 || item > static_cast<double>(_buttons.size())) return XW_BAD_VALUE;
        _item = static_cast<short>(item);
        return XW_OK;
    }
    short Get(x_value_def* value) const override {
        value->SetNumber(_item);
        return XW_OK;
    }
    QString Shown() const override { return QString::number(_group->checkedId()); }
    QWidget* FocusWidget() const override {
        QAbstractButton* checked = _group->checkedButton();
        return checked ? checked : (_buttons.empty() ? nullptr : _buttons.front());
    }
    QWidget* Widget(short item) const override {
        if (item == 0) return FocusWidget();
        return item <= static_cast<short>(_buttons.size()) ? _buttons[static_cast<size_t>(item - 1)] : nullptr;
    }
    short SetItemText(short item, const std::string& text) override {
        if (item < 1 || item > static_cast<short>(_buttons.size())) return XW_BAD_VALUE;
        _def.items[static_cast<size_t>(item - 1)].text = text;
        _buttons[static_cast<size_t>(item - 1)]->setText(xwCaption(text));
        Place();
        return XW_OK;
    }

protected:
    void ShowBuffer() override {
        _group->setExclusive(false);
        for (QRadioButton* button : _buttons) button->setChecked(false);
        if (_item > 0) _buttons[static_cast<size_t>(_item - 1)]->setChecked(true);
        _group->setExclusive(true);
    }
    void TakeFromWidget() override { _item = static_cast<short>(std::max(0, _group->checkedId())); }
    void Place() override {
        const QSize cell = _window->CellSize();
        for (size_t i = 0; i < _buttons.size(); ++i) {
            const xwItemDef& item = _def.items[i];
            QRect rect = _window->CellRect(item.row, item.column, 1, 1);
            rect.setWidth(std::max(_buttons[i]->sizeHint().width(), cell.width() * 4));
            _buttons[i]->setGeometry(rect);
            _buttons[i]->setVisible(_visible);
            _buttons[i]->setEnabled(_def.enabled);
        }
        PlaceLabel(_window->Canvas());
    }

private:
    QButtonGroup* _group = nullptr;
    std::vector<QRadioButton*> _buttons;
    short _item = 0;
};

// --- combo box ----------------------------------------------------------------------------

class ComboField : public xwField {
public:
    using xwField::xwField;
    void Build(QWidget* canvas) override {
        _combo = new QComboBox(canvas);
        _combo->setEditable(_def.editable);
        for (const xwItemDef& item : _def.items) _combo->addItem(Plain(item.text));
        QObject::connect(_combo, &QComboBox::currentIndexChanged, _combo, [this] { UserChanged(); });
        if (_def.editable) {
            QObject::connect(_combo, &QComboBox::editTextChanged, _combo, [this] { UserChanged(); });
        }
        Register(_combo);
    }
    short Put(const x_value_def& value) override {
        if (_def.editable && value.IsText()) {
            _text = value.text;
            return XW_OK;
        }
        const double item = value.AsNumber();
        if (item < 0 || item > _combo->count()) return XW_BAD_VALUE;
        _item = static_cast<short>(item);
        _text = _item > 0 ? _combo->itemText(_item - 1).toStdString() : std::string();
        return XW_OK;
    }
    short Get(x_value_def* value) const override {
        if (_def.editable) value->SetText(_text);
        else value->SetNumber(_item);
        return XW_OK;
    }
    QString Shown() const override {
        return _def.editable ? _combo->currentText() : QString::number(_combo->currentIndex());
    }
    QWidget* FocusWidget() const override { return _combo; }
    short SetItemText(short item, const std::string& text) override {
        if (item < 1 || item > _combo->count()) return XW_BAD_VALUE;
        WritingGuard guard(_writing);
        _combo->setItemText(item - 1, Plain(text));
        return XW_OK;
    }

protected:
    void ShowBuffer() override {
        _combo->setCurrentIndex(_item - 1);
        if (_def.editable) _combo->setEditText(Plain(_text));
    }
    void TakeFromWidget() override {
        _item = static_cast<short>(_combo->currentIndex() + 1);
        _text = _combo->currentText().toStdString();
    }

private:
    QComboBox* _combo = nullptr;
    short _item = 0;
    std::string _text;
};

// --- list ---------------------------------------------------------------------------------

class ListField : public xwField {
public:
    using xwField::xwField;
    void Build(QWidget* canvas) override {
        _tree = new QTreeWidget(canvas);
        _tree->setRootIsDecorated(false);
        _tree->setUniformRowHeights(true);
        _tree->setAllColumnsShowFocus(true);
        _tree->setSelectionMode(QAbstractItemView::SingleSelection);
        const int columns = std::max<int>(1, static_cast<int>(_def.headers.size()));
        _tree->setColumnCount(columns);
        QStringList headers;
        bool anyHeader = false;
        for (const xwListColumnDef& column : _def.headers) {
            headers << Plain(column.text);
            anyHeader = anyHeader || !column.text.empty();
        }
        if (anyHeader) _tree->setHeaderLabels(headers);
        else _tree->setHeaderHidden(true);
        // The first column takes what the others leave, so the list never scrolls sideways.
        _tree->header()->setStretchLastSection(false);
        _tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        _tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QObject::connect(_tree, &QTreeWidget::itemChanged, _tree, [this] { UserChanged(); });
        QObject::connect(_tree, &QTreeWidget::currentItemChanged, _tree, [this] {
            if (!_writing) _row = static_cast<short>(_tree->indexOfTopLevelItem(_tree->currentItem()) + 1);
        });
        Register(_tree);
    }
    short Put(const x_value_def& value) override {
        const double row = value.AsNumber();
        if (row < 0 || row > _tree->topLevelItemCount()) return XW_BAD_VALUE;
        _row = static_cast<short>(row);
        return XW_OK;
    }
    short Get(x_value_def* value) const override {
        value->SetNumber(_row);
        return XW_OK;
    }
    // Moving the cursor is no change; the marks are.
    QString Shown() const override { return {}; }
    bool Changed() const override {
        if (xwField::Changed()) return true;
        for (int i = 0; i < _tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = _tree->topLevelItem(i);
            if (Marked(item) != item->data(0, kWrittenMarkRole).toBool()) return true;
        }
        return false;
    }
    QWidget* FocusWidget() const override { return _tree; }

    short InsertRows(short row, const xw_list_entry* entries, short count) override {
        if (!entries || count < 0 || row < 1 || row > _tree->topLevelItemCount() + 1) return XW_BAD_VALUE;
        WritingGuard guard(_writing);
        for (short i = 0; i < count; ++i) {
            const xw_list_entry& entry = entries[i];
            auto* item = new QTreeWidgetItem();
            Fill(item, entry);
            _tree->insertTopLevelItem(row - 1 + i, item);
        }
        SyncTexts();
        return XW_OK;
    }
    short GetRow(short row, xw_list_entry* entry) const override {
        if (!entry || row < 1 || row > _tree->topLevelItemCount()) return XW_BAD_VALUE;
        const QTreeWidgetItem* item = _tree->topLevelItem(row - 1);
        std::memset(entry, 0, XW_LIST_ENTRY_SIZE);
        entry->selected = Marked(item) ? 1 : 0;
        entry->data = static_cast<int16_t>(item->data(0, kDataRole).toInt());
        const auto& texts = _texts[static_cast<size_t>(row - 1)];
        entry->text1 = texts.first.c_str();
        entry->text2 = texts.second.c_str();
        return XW_OK;
    }
    short DeleteRows(short row, short count) override {
        if (count < 0 || row < 1 || row + count - 1 > _tree->topLevelItemCount()) return XW_BAD_VALUE;
        WritingGuard guard(_writing);
        for (short i = 0; i < count; ++i) delete _tree->takeTopLevelItem(row - 1);
        _row = std::min<short>(_row, static_cast<short>(_tree->topLevelItemCount()));
        SyncTexts();
        return XW_OK;
    }
    short RowCount() const override { return static_cast<short>(_tree->topLevelItemCount()); }

protected:
    void ShowBuffer() override {
        if (_row > 0) {
            _tree->setCurrentItem(_tree->topLevelItem(_row - 1));
        } else {
            _tree->setCurrentItem(nullptr);
        }
        for (int i = 0; i < _tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = _tree->topLevelItem(i);
            item->setData(0, kWrittenMarkRole, Marked(item));
        }
    }
    void Place() override {
        xwField::Place();
        const int cellWidth = _window->CellSize().width();
        for (size_t i = 1; i < _def.headers.size(); ++i)
            _tree->setColumnWidth(static_cast<int>(i), _def.headers[i].width * cellWidth);
    }

private:
    bool Marked(const QTreeWidgetItem* item) const {
        return _def.checks && item->checkState(0) == Qt::Checked;
    }
    void Fill(QTreeWidgetItem* item, const xw_list_entry& entry) {
        const QString first = entry.text1 ? QString::fromUtf8(entry.text1) : QString();
        const QString second = entry.text2 ? QString::fromUtf8(entry.text2) : QString();
        if (_tree->columnCount() > 1) {
            item->setText(0, first);
            item->setText(1, second);
        } else {
            item->setText(0, second.isEmpty() ? first : first + QStringLiteral("  ") + second);
        }
        // The layer keeps the texts as given, for xw_get_list.
        item->setData(0, Qt::UserRole, QStringList{first, second});
        item->setData(0, kDataRole, static_cast<int>(entry.data));
        if (_def.checks) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, entry.selected ? Qt::Checked : Qt::Unchecked);
        }
        item->setData(0, kWrittenMarkRole, entry.selected != 0 && _def.checks);
    }
    // The texts xw_get_list points at, one pair per row in row order.
    void SyncTexts() {
        _texts.clear();
        for (int i = 0; i < _tree->topLevelItemCount(); ++i) {
            const QStringList texts = _tree->topLevelItem(i)->data(0, Qt::UserRole).toStringList();
            _texts.emplace_back(texts.value(0).toStdString(), texts.value(1).toStdString());
        }
    }

    QTreeWidget* _tree = nullptr;
    short _row = 0;
    std::vector<std::pair<std::string, std::string>> _texts;
};

// --- button -------------------------------------------------------------------------------

class ButtonField : public xwField {
public:
    using xwField::xwField;
    void Build(QWidget* canvas) override {
        _button = new QPushButton(xwCaption(_def.text), canvas);
        _button->setAutoDefault(false);
        _button->setDefault(_def.isDefault);
        QObject::connect(_button, &QPushButton::clicked, _button, [this] { _window->ButtonPressed(this); });
        Register(_button);
    }
    short Put(const x_value_def&) override { return XW_BAD_VALUE; }
    short Get(x_value_def* value) const override {
        value->SetText(_def.text);
        return XW_OK;
    }
    QString Shown() const override { return {}; }
    QWidget* FocusWidget() const override { return _button; }
    short SetCaption(const std::string& text) override {
        _def.text = text;
        _button->setText(xwCaption(text));
        Place();
        return XW_OK;
    }

protected:
    void ShowBuffer() override {}

private:
    QPushButton* _button = nullptr;
};

} // namespace

QString xwCaption(const std::string& text) {
    QString caption;
    const QString source = QString::fromStdString(text);
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == u'~') {
            if (i + 1 < source.size() && source[i + 1] == u'~') {
                caption += u'~';
                ++i;
            } else {
                caption += u'&';
            }
        } else if (c == u'&') {
            caption += QStringLiteral("&&");
        } else {
            caption += c;
        }
    }
    return caption;
}

xwField::xwField(xwWindow* window, const xwFieldDef& def) : _window(window), _def(def) {}

xwField::~xwField() = default;

void xwField::Show() {
    WritingGuard guard(_writing);
    ShowBuffer();
    _written = Shown();
    _forcedChanged = false;
}

bool xwField::Changed() const {
    return _forcedChanged || Shown() != _written;
}

void xwField::SetChanged(bool changed) {
    _forcedChanged = changed;
    if (!changed) _written = Shown();
}

bool xwField::Check(std::string*) const {
    return true;
}

QWidget* xwField::Widget(short item) const {
    return item == 0 ? FocusWidget() : nullptr;
}

bool xwField::Owns(const QWidget* widget) const {
    for (const QWidget* own : _widgets) {
        if (own == widget || (widget && own->isAncestorOf(widget))) return true;
    }
    return false;
}

void xwField::Register(QWidget* widget) {
    widget->setProperty("ctrlId", static_cast<int>(_def.number));
    if (!_def.help.empty()) widget->setToolTip(Plain(_def.help));
    _widgets.push_back(widget);
    if (_widgets.size() == 1) PlaceLabel(widget->parentWidget());
}

void xwField::PlaceLabel(QWidget* canvas) {
    if (!_def.label) return;
    if (!_label) {
        _label = new QLabel(xwCaption(_def.label->text), canvas);
        _label->setBuddy(FocusWidget() ? FocusWidget() : _widgets.front());
    }
    QRect rect = _window->CellRect(_def.label->row, _def.label->column, 1, 1);
    rect.setWidth(_label->sizeHint().width());
    _label->setGeometry(rect);
    _label->setVisible(_visible);
    _label->setEnabled(_def.enabled);
}

void xwField::Place() {
    for (QWidget* widget : _widgets) {
        QRect rect = _window->CellRect(_def.row, _def.column, _def.width, _def.height);
        // A caption is never cut: a check box or button is as wide as its text needs.
        if (_def.type == XW_FIELD_CHECK || _def.type == XW_FIELD_BUTTON)
            rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
        widget->setGeometry(rect);
        widget->setVisible(_visible);
        widget->setEnabled(_def.enabled);
    }
    PlaceLabel(_window->Canvas());
}

void xwField::UserChanged() {
    if (_writing) return;
    TakeFromWidget();
    _window->FieldChangedByUser(this);
}

xw_field_def xwField::FieldDef() const {
    xw_field_def def;
    std::memset(&def, 0, sizeof(def));
    def.number = _def.number;
    def.type = _def.type;
    def.row = _def.row;
    def.column = _def.column;
    def.width = _def.width;
    def.height = _def.height;
    def.enabled = _def.enabled ? 1 : 0;
    def.visible = _visible ? 1 : 0;
    def.changed = Changed() ? 1 : 0;
    def.exitKey = _def.exitKey;
    def.action = _def.action;
    def.exitOnChange = _def.exitOnChange ? 1 : 0;
    def.maxLength = _def.maxLength;
    def.decimals = _def.decimals;
    CopyText(def.text, sizeof(def.text), _def.text);
    return def;
}

void xwField::ChangeDef(const xw_field_def& def) {
    if (def.row > 0) _def.row = def.row;
    if (def.column > 0) _def.column = def.column;
    if (def.width > 0) _def.width = def.width;
    if (def.height > 0) _def.height = def.height;
    _def.enabled = def.enabled != 0;
    _visible = def.visible != 0;
    _def.exitKey = def.exitKey;
    _def.action = def.action;
    _def.exitOnChange = def.exitOnChange != 0;
    const std::string text(def.text, strnlen(def.text, sizeof(def.text)));
    if (text != _def.text && (_def.type == XW_FIELD_BUTTON || _def.type == XW_FIELD_CHECK)) SetCaption(text);
    SetChanged(def.changed != 0);
    Place();
}

short xwField::SetCaption(const std::string&) {
    return XW_NO_FIELD;
}

short xwField::SetItemText(short, const std::string&) {
    return XW_NO_FIELD;
}

short xwField::InsertRows(short, const xw_list_entry*, short) {
    return XW_NO_FIELD;
}

short xwField::GetRow(short, xw_list_entry*) const {
    return XW_NO_FIELD;
}

short xwField::DeleteRows(short, short) {
    return XW_NO_FIELD;
}

std::unique_ptr<xwField> xwMakeField(xwWindow* window, const xwFieldDef& def) {
    switch (def.type) {
    case XW_FIELD_TEXT:
        return std::make_unique<TextField>(window, def);
    case XW_FIELD_NUMBER:
        return std::make_unique<NumberField>(window, def);
    case XW_FIELD_CHECK:
        return std::make_unique<CheckField>(window, def);
    case XW_FIELD_RADIO:
        return std::make_unique<RadioField>(window, def);
    case XW_FIELD_COMBO:
        return std::make_unique<ComboField>(window, def);
    case XW_FIELD_LIST:
        return std::make_unique<ListField>(window, def);
    case XW_FIELD_BUTTON:
        return std::make_unique<ButtonField>(window, def);
    default:
        return nullptr;
    }
}
