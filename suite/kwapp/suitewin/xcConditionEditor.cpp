// Values are typed as the field shows them (dates in the company's format, list values as
// their text) and read with the same typed values the rest of the suite uses, so what the
// editor accepts is exactly what the condition engine can compare.
#include "kwapp/suitewin/xcConditionEditor.h"

#include "ui_xcConditionEditor.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDateMonthYear.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwString.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <QColor>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

namespace {

enum class ValueKind { Text, List, Number, YesNo, Date, MonthYear, Time, Choice };

ValueKind KindOf(const xio_fld_def& def) {
    switch (def.type) {
    case XIO_NUMBER:
        return ValueKind::Number;
    case XIO_YESNO:
        return ValueKind::YesNo;
    case XIO_DATE:
        return def.monthYear ? ValueKind::MonthYear : ValueKind::Date;
    case XIO_TIME:
        return ValueKind::Time;
    default:
        if (def.type >= XIO_CHOICE && def.type <= XIO_CHOICE_LAST) return ValueKind::Choice;
        return def.listFlag ? ValueKind::List : ValueKind::Text;
    }
}

bool NeedsValue(short comparison) {
    return comparison != XC_BLANK && comparison != XC_NOT_BLANK;
}

bool Pattern(short comparison) {
    return comparison == XC_CONTAINS || comparison == XC_BEGINS_WITH;
}

bool Sectioned(const xio_fld_def& def) {
    return def.formatFlag && xk_multi_section(def.kind);
}

std::string TextOf(const char* text, size_t size) {
    return std::string(text, strnlen(text, size));
}

const std::pair<short, const char*> kComparisons[] = {
    {XC_EQUAL, "is equal to"},
    {XC_NOT_EQUAL, "is not equal to"},
    {XC_LESS, "is less than"},
    {XC_LESS_EQUAL, "is less than or equal to"},
    {XC_GREATER, "is greater than"},
    {XC_GREATER_EQUAL, "is greater than or equal to"},
    {XC_BETWEEN, "is between"},
    {XC_CONTAINS, "contains"},
    {XC_BEGINS_WITH, "begins with"},
    {XC_BLANK, "is blank"},
    {XC_NOT_BLANK, "is not blank"},
};

// The entries a list field offers: the custom list without its first entry (which names
// the default), blanks and repeats left out.
std::vector<std::string> ListEntries(const xio_fld_def& def) {
    std::vector<std::string> entries, offered;
    xk_get_custom_list(def.kind, &entries);
    std::set<std::string> seen;
    for (size_t i = 1; i < entries.size(); ++i) {
        if (!entries[i].empty() && seen.insert(entries[i]).second) offered.push_back(entries[i]);
    }
    return offered;
}

std::string ItemText(short file, short field, short item) {
    char text[XC_VALUE_TEXT_SIZE] = {};
    if (xio_get_item_alpha(file, field, item, text, sizeof(text)) != XIO_OK) return "";
    return text;
}

// A condition value as the user would type it again.
std::string ShownValue(ValueKind kind, const xio_fld_def& def, const char* text, double number) {
    x_value_def carrier = x_value_def::OfNumber(number);
    switch (kind) {
    case ValueKind::Number:
        return kwDouble(number, def.decimals).Format();
    case ValueKind::YesNo:
        return number != 0 ? "Yes" : "No";
    case ValueKind::Date: {
        kwDate date = kwDate::Empty();
        return date.FromXval(carrier) ? date.Format() : "";
    }
    case ValueKind::MonthYear: {
        kwDateMonthYear month;
        return month.FromXval(carrier) ? month.Format() : "";
    }
    case ValueKind::Time: {
        kwTime time;
        return time.FromXval(carrier) ? time.Format() : "";
    }
    default: {
        const std::string value = TextOf(text, XC_VALUE_TEXT_SIZE);
        return Sectioned(def) ? xk_format_field(def.kind, def.qualifier, value) : value;
    }
    }
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

std::string xcConditionEditor::FieldDescription(const xio_fld_def& def) {
    const std::string description = def.description[0] ? def.description : def.name;
    if (description.find('<') != std::string::npos) return kwString::ReplaceTermCodes(description);
    // A list field is known by the name the company gives its list.
    if (def.listFlag && def.kind > 0) {
        const std::string custom = xk_description(def.kind, def.qualifier);
        if (!custom.empty()) return custom;
    }
    return description;
}

xcConditionEditor::xcConditionEditor(short handle, QWidget* parent)
    : QWidget(parent), _ui(std::make_unique<Ui::xcConditionEditor>()), _handle(handle) {
    _ui->setupUi(this);
    xc_cond_init_def def;
    std::memset(&def, 0, sizeof(def));
    if (xc_get_conditions_def(handle, &def)) {
        _file = def.fileNumber;
        _recordType = def.recordType > 0 ? def.recordType : 1;
        _copy = xc_init_conditions(&def, 1);
        if (_copy) xc_copy_conditions(handle, _copy);
    }
    for (const auto& [comparison, words] : kComparisons) _ui->comparison->addItem(Q(words), comparison);
    _ui->field->setPlaceholderText(QStringLiteral("Choose a field"));
    LoadFields();

    connect(_ui->conditions, &QListWidget::currentRowChanged, this, [this](int row) { LoadCondition(row); });
    connect(_ui->field, &QComboBox::currentIndexChanged, this, [this] {
        FieldChosen();
        MarkEdited();
    });
    connect(_ui->comparison, &QComboBox::currentIndexChanged, this, [this] {
        ComparisonChosen();
        MarkEdited();
    });
    for (QComboBox* box : {_ui->value1, _ui->value2}) {
        connect(box, &QComboBox::editTextChanged, this, [this] { MarkEdited(); });
        connect(box, &QComboBox::currentIndexChanged, this, [this] { MarkEdited(); });
    }
    connect(_ui->connectorAnd, &QRadioButton::toggled, this, [this] { MarkEdited(); });
    connect(_ui->add, &QPushButton::clicked, this, [this] { AddCondition(); });
    connect(_ui->change, &QPushButton::clicked, this, [this] { ChangeCondition(); });
    connect(_ui->remove, &QPushButton::clicked, this, [this] { RemoveCondition(); });
    connect(_ui->moveUp, &QPushButton::clicked, this, [this] { MoveCondition(-1); });
    connect(_ui->moveDown, &QPushButton::clicked, this, [this] { MoveCondition(1); });
    connect(_ui->newCondition, &QPushButton::clicked, this, [this] { NewCondition(); });
    connect(_ui->ok, &QPushButton::clicked, this, [this] { Accept(); });
    connect(_ui->cancel, &QPushButton::clicked, this, [this] { Cancel(); });

    _ui->comparison->setCurrentIndex(0);
    ComparisonChosen();
    // The first condition is shown for editing; an empty set starts with a new one.
    Refresh(0);
    LoadCondition(_ui->conditions->currentRow());
    _edited = false;
}

xcConditionEditor::~xcConditionEditor() {
    // Closed without OK or Cancel (its window went): nothing it did is kept.
    if (!_finished && _copy) xc_copy_conditions(_copy, _handle);
    if (_copy) xc_term_conditions(_copy, 1);
}

void xcConditionEditor::LoadFields() {
    xio_def fileDef{};
    if (xio_get_def(_file, &fileDef, 0) != XIO_OK) return;
    for (short number = 1; number <= fileDef.fieldCount; ++number) {
        xio_fld_def def{};
        if (xio_get_fld_def(_file, number, &def, 1, 1) != XIO_OK) continue;
        if (def.recordType != _recordType || def.hidden) continue;
        _fields.push_back({def, FieldDescription(def)});
    }
    // Two fields described alike are told apart by their names.
    std::map<std::string, int> uses;
    for (const FieldChoice& field : _fields) ++uses[field.description];
    for (FieldChoice& field : _fields) {
        if (uses[field.description] > 1) field.description += std::string(" (") + field.def.name + ")";
    }
    std::vector<size_t> order(_fields.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        return Q(_fields[a].description).compare(Q(_fields[b].description), Qt::CaseInsensitive) < 0;
    });
    const QSignalBlocker block(_ui->field);
    for (size_t i : order) _ui->field->addItem(Q(_fields[i].description), static_cast<int>(i));
    _ui->field->setCurrentIndex(-1);
}

short xcConditionEditor::FieldOf(const xc_cond_def& condition) const {
    const std::string name = TextOf(condition.fieldName, sizeof(condition.fieldName));
    xio_fld_def def{};
    if (name.empty()) {
        if (xio_get_fld_def(_file, condition.field, &def, 1, 1) != XIO_OK) return 0;
    } else {
        const short number = xio_num(_file, 0, 0, name.c_str());
        if (number == 0 || xio_get_fld_def(_file, number, &def, 1, 1) != XIO_OK) return 0;
    }
    return def.recordType == _recordType ? def.number : 0;
}

std::string xcConditionEditor::LineOf(const xc_cond_def& condition, bool last) const {
    xc_cond_def shown = condition;
    shown.field = FieldOf(condition);
    std::string line;
    if (shown.field == 0) {
        // The engine names a field it cannot find by its stored name; the value is shown
        // as it was kept, since the field's format is gone with the field.
        line = xc_condition_text(_file, shown);
        if (Pattern(condition.comparison) || (NeedsValue(condition.comparison) && condition.text1[0])) {
            line += " \"" + TextOf(condition.text1, sizeof(condition.text1)) + "\"";
        } else if (NeedsValue(condition.comparison)) {
            char number[32];
            std::snprintf(number, sizeof(number), " %.15g", condition.number1);
            line += number;
        }
        line += "  (field no longer in the dictionary)";
    } else {
        line = xc_condition_text(_file, shown);
        xio_fld_def def{};
        if (xio_get_fld_def(_file, shown.field, &def, 1, 1) == XIO_OK) {
            const std::string stored = def.description[0] ? def.description : def.name;
            if (line.compare(0, stored.size(), stored) == 0) line = FieldDescription(def) + line.substr(stored.size());
        }
    }
    if (!last) line += condition.connector == XC_OR ? " or" : " and";
    return line;
}

void xcConditionEditor::Refresh(int selectRow) {
    const QSignalBlocker block(_ui->conditions);
    _ui->conditions->clear();
    const short count = xc_condition_count(_handle);
    for (short i = 0; i < count; ++i) {
        xc_cond_def condition;
        if (!xc_get_condition_at(_handle, i, &condition)) continue;
        auto* item = new QListWidgetItem(Q(LineOf(condition, i + 1 == count)), _ui->conditions);
        const bool missing = FieldOf(condition) == 0;
        item->setData(Qt::UserRole, missing);
        if (missing) {
            item->setForeground(QColor(0xa0, 0x10, 0x10));
            item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
            item->setToolTip(QStringLiteral("The file's dictionary no longer has this field. "
                                            "Remove the condition."));
        }
    }
    if (selectRow >= _ui->conditions->count()) selectRow = _ui->conditions->count() - 1;
    _ui->conditions->setCurrentRow(selectRow);
    UpdateButtons();
}

const xcConditionEditor::FieldChoice* xcConditionEditor::ChosenField() const {
    const QVariant index = _ui->field->currentData();
    if (!index.isValid()) return nullptr;
    const int i = index.toInt();
    return i >= 0 && i < static_cast<int>(_fields.size()) ? &_fields[static_cast<size_t>(i)] : nullptr;
}

short xcConditionEditor::ChosenComparison() const {
    return static_cast<short>(_ui->comparison->currentData().toInt());
}

void xcConditionEditor::FieldChosen() {
    for (QComboBox* box : {_ui->value1, _ui->value2}) {
        const QSignalBlocker block(box);
        box->clear();
        box->setEditText(QString());
    }
    ComparisonChosen();
}

void xcConditionEditor::ComparisonChosen() {
    const short comparison = ChosenComparison();
    const FieldChoice* field = ChosenField();
    PrepareValue(_ui->value1, field, comparison);
    PrepareValue(_ui->value2, field, comparison);
    const bool value = NeedsValue(comparison);
    const bool between = comparison == XC_BETWEEN;
    _ui->valueLabel->setEnabled(value);
    _ui->value1->setEnabled(value && field);
    _ui->valueAnd->setVisible(between);
    _ui->value2->setVisible(between);
    _ui->value2->setEnabled(between && field);
    UpdateButtons();
}

// Sets a value box up for the field and comparison, keeping what was typed where it still
// fits: a closed list for choices and yes/no, the company's list (open unless the field
// takes list entries only) for list fields, free text otherwise.
void xcConditionEditor::PrepareValue(QComboBox* box, const FieldChoice* field, short comparison) {
    const QSignalBlocker block(box);
    const QString typed = box->currentText();
    box->clear();
    if (!field) {
        box->setEditable(true);
        box->lineEdit()->setPlaceholderText(QString());
        box->setEditText(QString());
        return;
    }
    const xio_fld_def& def = field->def;
    const ValueKind kind = KindOf(def);
    QStringList items;
    if (kind == ValueKind::Choice) {
        for (short item = 1; item <= def.itemCount; ++item) items << Q(ItemText(_file, def.number, item));
    } else if (kind == ValueKind::YesNo) {
        items << QStringLiteral("Yes") << QStringLiteral("No");
    } else if (kind == ValueKind::List) {
        for (const std::string& entry : ListEntries(def)) items << Q(entry);
    }
    const bool closed = !Pattern(comparison) &&
                        (kind == ValueKind::Choice || kind == ValueKind::YesNo ||
                         (kind == ValueKind::List && def.listOnly));
    box->setEditable(!closed);
    box->addItems(items);
    if (closed) {
        const int at = box->findText(typed, Qt::MatchFixedString);
        box->setCurrentIndex(at >= 0 ? at : (items.isEmpty() ? -1 : 0));
        return;
    }
    QString placeholder;
    if (!Pattern(comparison)) {
        if (kind == ValueKind::Date) placeholder = Q(kwCompany::DateFormat());
        else if (kind == ValueKind::MonthYear) placeholder = Q(kwDateMonthYear(2024, 3).Format());
        else if (kind == ValueKind::Time) placeholder = QStringLiteral("2:30 PM");
    }
    box->lineEdit()->setPlaceholderText(placeholder);
    const int width = kind == ValueKind::Text && def.width > 0 && !Pattern(comparison)
                          ? std::min<int>(def.width, X_VALUE_TEXT_MAX)
                          : X_VALUE_TEXT_MAX;
    box->lineEdit()->setMaxLength(width);
    box->setEditText(typed);
}

void xcConditionEditor::LoadCondition(int row) {
    UpdateButtons();
    xc_cond_def condition;
    if (row < 0 || !xc_get_condition_at(_handle, static_cast<short>(row), &condition)) return;
    const short number = FieldOf(condition);
    _loading = true;
    if (number == 0) {
        _ui->field->setCurrentIndex(-1);
    } else {
        for (int i = 0; i < _ui->field->count(); ++i) {
            if (_fields[static_cast<size_t>(_ui->field->itemData(i).toInt())].def.number == number) {
                _ui->field->setCurrentIndex(i);
                break;
            }
        }
        _ui->comparison->setCurrentIndex(_ui->comparison->findData(condition.comparison));
        if (const FieldChoice* field = ChosenField()) {
            const ValueKind kind = Pattern(condition.comparison) ? ValueKind::Text : KindOf(field->def);
            const std::string first = ShownValue(kind, field->def, condition.text1, condition.number1);
            const std::string second = ShownValue(kind, field->def, condition.text2, condition.number2);
            for (auto [box, text] : {std::pair{_ui->value1, first}, std::pair{_ui->value2, second}}) {
                if (box->isEditable()) {
                    box->setEditText(Q(text));
                } else {
                    box->setCurrentIndex(box->findText(Q(text), Qt::MatchFixedString));
                }
            }
        }
        (condition.connector == XC_OR ? _ui->connectorOr : _ui->connectorAnd)->setChecked(true);
    }
    _loading = false;
    _edited = false;
    UpdateButtons();
}

void xcConditionEditor::UpdateButtons() {
    const int row = _ui->conditions->currentRow();
    const int count = _ui->conditions->count();
    auto missing = [this](int at) {
        const QListWidgetItem* item = _ui->conditions->item(at);
        return item && item->data(Qt::UserRole).toBool();
    };
    const bool chosen = ChosenField() != nullptr;
    _ui->remove->setEnabled(row >= 0);
    _ui->moveUp->setEnabled(row > 0 && !(missing(row) && missing(row - 1)));
    _ui->moveDown->setEnabled(row >= 0 && row + 1 < count && !(missing(row) && missing(row + 1)));
    _ui->change->setEnabled(row >= 0 && !missing(row) && chosen);
    _ui->add->setEnabled(chosen);
}

void xcConditionEditor::MarkEdited() {
    if (!_loading) _edited = true;
    UpdateButtons();
}

void xcConditionEditor::Problem(QComboBox* box, const std::string& text) {
    xw_wr_message(0, XW_ERROR, text.c_str(), 0);
    box->setFocus(Qt::OtherFocusReason);
    if (box->isEditable()) box->lineEdit()->selectAll();
}

std::optional<x_value_def> xcConditionEditor::ParseValue(const FieldChoice& field, short comparison,
                                                         QComboBox* box) {
    const std::string text(x_trim(box->currentText().toStdString()));
    const std::string& name = field.description;
    if (text.empty()) {
        Problem(box, Pattern(comparison) ? "Type the text to look for in " + name + "."
                                         : "Type a value for " + name + ", or choose \"is blank\".");
        return std::nullopt;
    }
    if (Pattern(comparison)) return x_value_def::OfText(text);
    const xio_fld_def& def = field.def;
    x_value_def value;
    switch (KindOf(def)) {
    case ValueKind::Choice:
        return x_value_def::OfNumber(box->currentIndex() + 1);
    case ValueKind::YesNo:
        return x_value_def::OfNumber(box->currentIndex() == 0 ? 1 : 0);
    case ValueKind::List:
        if (def.listOnly && box->findText(Q(text), Qt::MatchFixedString) < 0) {
            Problem(box, "\"" + text + "\" is not in the list of " + name + ".");
            return std::nullopt;
        }
        return x_value_def::OfText(text);
    case ValueKind::Number: {
        kwDouble number(0.0, def.decimals);
        if (!number.Set(text)) {
            Problem(box, "\"" + text + "\" is not a number. Type a number for " + name + ".");
            return std::nullopt;
        }
        number.ToXval(value);
        return value;
    }
    case ValueKind::Date: {
        kwDate date = kwDate::Empty();
        if (!date.Set(text) || date.IsNull()) {
            Problem(box, "\"" + text + "\" is not a date. Type the date for " + name + " as " +
                             kwCompany::DateFormat() + ".");
            return std::nullopt;
        }
        date.ToXval(value);
        return value;
    }
    case ValueKind::MonthYear: {
        kwDateMonthYear month;
        if (!month.Set(text) || month.IsNull()) {
            Problem(box, "\"" + text + "\" is not a month. Type the month for " + name + " such as " +
                             kwDateMonthYear(2024, 3).Format() + ".");
            return std::nullopt;
        }
        month.ToXval(value);
        return value;
    }
    case ValueKind::Time: {
        kwTime time;
        if (!time.Set(text) || time.IsNull()) {
            Problem(box, "\"" + text + "\" is not a time. Type the time for " + name +
                             " such as 14:30 or 2:30 PM.");
            return std::nullopt;
        }
        time.ToXval(value);
        return value;
    }
    default:
        return x_value_def::OfText(text);
    }
}

std::optional<xc_cond_def> xcConditionEditor::Edited() {
    const FieldChoice* field = ChosenField();
    if (!field) {
        Problem(_ui->field, "Choose the field the condition tests.");
        return std::nullopt;
    }
    const short comparison = ChosenComparison();
    std::optional<x_value_def> first, second;
    if (NeedsValue(comparison)) {
        first = ParseValue(*field, comparison, _ui->value1);
        if (!first) return std::nullopt;
        if (comparison == XC_BETWEEN) {
            second = ParseValue(*field, comparison, _ui->value2);
            if (!second) return std::nullopt;
        }
    }
    xc_cond_def condition;
    std::memset(&condition, 0, sizeof(condition));
    const short connector = _ui->connectorOr->isChecked() ? XC_OR : XC_AND;
    if (!xc_make_condition(_file, field->def.number, comparison, first ? &*first : nullptr,
                           second ? &*second : nullptr, connector, &condition)) {
        Problem(_ui->value1, "A condition on " + field->description + " cannot be made from these values.");
        return std::nullopt;
    }
    return condition;
}

bool xcConditionEditor::AddCondition() {
    const std::optional<xc_cond_def> condition = Edited();
    if (!condition) return false;
    const short at = xc_condition_count(_handle);
    if (!xc_insert_condition(_handle, at, &*condition)) return false;
    Refresh(at);
    _edited = false;
    return true;
}

bool xcConditionEditor::ChangeCondition() {
    const int row = _ui->conditions->currentRow();
    if (row < 0 || !_ui->change->isEnabled()) return false;
    const std::optional<xc_cond_def> condition = Edited();
    if (!condition) return false;
    if (!xc_replace_condition(_handle, static_cast<short>(row), &*condition)) return false;
    Refresh(row);
    _edited = false;
    return true;
}

bool xcConditionEditor::RemoveCondition() {
    const int row = _ui->conditions->currentRow();
    if (row < 0 || !xc_delete_condition(_handle, static_cast<short>(row))) return false;
    Refresh(row);
    if (_ui->conditions->currentRow() < 0) NewCondition();
    else LoadCondition(_ui->conditions->currentRow());
    return true;
}

// A condition whose field is gone cannot be put back into the set, so a move takes the
// other condition of the pair out and back in instead.
bool xcConditionEditor::MoveCondition(int direction) {
    const int row = _ui->conditions->currentRow();
    const int target = row + (direction < 0 ? -1 : 1);
    if (row < 0 || target < 0 || target >= _ui->conditions->count()) return false;
    xc_cond_def moving, other;
    if (!xc_get_condition_at(_handle, static_cast<short>(row), &moving) ||
        !xc_get_condition_at(_handle, static_cast<short>(target), &other)) {
        return false;
    }
    if (FieldOf(moving) != 0) {
        if (!xc_delete_condition(_handle, static_cast<short>(row))) return false;
        xc_insert_condition(_handle, static_cast<short>(target), &moving);
    } else if (FieldOf(other) != 0) {
        if (!xc_delete_condition(_handle, static_cast<short>(target))) return false;
        xc_insert_condition(_handle, static_cast<short>(row), &other);
    } else {
        return false;
    }
    Refresh(target);
    LoadCondition(target);
    return true;
}

void xcConditionEditor::NewCondition() {
    {
        const QSignalBlocker block(_ui->conditions);
        _ui->conditions->setCurrentRow(-1);
    }
    _loading = true;
    _ui->field->setCurrentIndex(-1);
    _ui->comparison->setCurrentIndex(0);
    _ui->connectorAnd->setChecked(true);
    FieldChosen();
    _loading = false;
    _edited = false;
    UpdateButtons();
    _ui->field->setFocus(Qt::OtherFocusReason);
}

void xcConditionEditor::Accept() {
    if (_edited) {
        const bool changing = _ui->conditions->currentRow() >= 0 && _ui->change->isEnabled();
        const char* question = changing
                                   ? "The changes to the selected condition have not been kept. Keep them?"
                                   : "The condition you are editing has not been added. Add it?";
        switch (xw_wr_message(0, XW_SAVE, question, 0)) {
        case XW_ANSWER_YES:
            if (!(changing ? ChangeCondition() : AddCondition())) return;
            break;
        case XW_ANSWER_NO:
            break;
        default:
            return;
        }
    }
    Finish(true);
}

void xcConditionEditor::Cancel() {
    Finish(false);
}

void xcConditionEditor::Finish(bool accepted) {
    if (_finished) return;
    _finished = true;
    if (_copy) {
        if (!accepted) xc_copy_conditions(_copy, _handle);
        xc_term_conditions(_copy, 1);
        _copy = 0;
    }
    emit finished(accepted);
}
