// A cell is as wide as an average character and as high as the tallest one-line control of
// the desktop's style, so a panel laid out in cells keeps its shape under any font.
#include "kwapp/suitewin/xwWindow.h"

#include "kwapp/suitewin/xwFields.h"
#include "kwapp/suitewin/xwRegistry.h"

#include "kwcommon/x_message.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace {

constexpr int kMargin = 10; // pixels around the canvas
constexpr int kGap = 4;     // pixels between two rows of controls

QSize MeasureCell(const QWidget* window) {
    const QFontMetrics metrics(window->font());
    QLineEdit edit;
    QPushButton button(QStringLiteral("Xg"));
    QComboBox combo;
    QCheckBox check(QStringLiteral("Xg"));
    const int height = std::max({edit.sizeHint().height(), button.sizeHint().height(),
                                 combo.sizeHint().height(), check.sizeHint().height(),
                                 metrics.height() + 6});
    // The font's own average runs narrow for running text; the mean advance of the letters
    // keeps captions inside the cells laid out for them.
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const int letterWidth = (metrics.horizontalAdvance(letters) + letters.size() - 1) / letters.size();
    return {std::max({metrics.averageCharWidth(), letterWidth, 5}), height + kGap};
}

std::u32string Utf32(const std::string& text) {
    const QString string = QString::fromStdString(text);
    std::u32string out;
    for (char32_t c : string.toUcs4()) out += c;
    return out;
}

std::string FixedText(const char* text, size_t size) {
    return std::string(text, strnlen(text, size));
}

} // namespace

struct xwWindow::ReadState {
    QEventLoop* loop = nullptr;
    short exitKey = XW_EXIT_NONE;
    short action = XW_ACTION_NONE;
    short field = 0;
    bool changed = false;
    bool ended = false;
};

xwWindow::xwWindow(short handle, short kind, QWidget* over)
    : QDialog(nullptr), _handle(handle), _kind(kind), _over(over ? over->window() : nullptr) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setSizeGripEnabled(false);
    _cell = MeasureCell(this);
    _layout = new QVBoxLayout(this);
    _layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    _canvas = new QWidget(this);
    _canvas->setObjectName(QStringLiteral("xwCanvas"));
    _layout->addWidget(_canvas);
    setProperty("xwWindow", static_cast<int>(handle));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || !isAncestorOf(now)) return;
        for (const auto& field : _fields) {
            if (field->Owns(now)) {
                _activeField = field->Number();
                return;
            }
        }
    });
}

xwWindow::~xwWindow() {
    if (_read && !_read->ended) {
        _read->exitKey = XW_EXIT_CLOSE;
        _read->action = XW_ACTION_NONE;
        _read->ended = true;
        if (_read->loop) _read->loop->quit();
    }
}

QRect xwWindow::CellRect(int row, int column, int width, int height) const {
    return QRect((column - 1) * _cell.width(), (row - 1) * _cell.height(), width * _cell.width(),
                 height * _cell.height() - kGap);
}

void xwWindow::ApplyDef(const xw_window_def& def) {
    const bool first = _def.kind == 0;
    _def = def;
    _def.window = _handle;
    _def.kind = _kind;
    std::memset(_def.callbackSlot, 0, sizeof(_def.callbackSlot));
    std::memset(_def.appDataSlot, 0, sizeof(_def.appDataSlot));

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (def.border == 1) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::WindowTitleHint;
        if (def.closeBox) flags |= Qt::WindowCloseButtonHint;
    }
    const bool wasVisible = isVisible();
    if (windowFlags() != flags) setWindowFlags(flags); // hides the window
    if (!wasVisible) setWindowModality(def.modal ? Qt::ApplicationModal : Qt::NonModal);
    SetTitles(FixedText(def.title, sizeof(def.title)), FixedText(def.subtitle, sizeof(def.subtitle)));
    ResizeToCells();
    if (!first) Position();
    if (wasVisible && !isVisible()) show();
}

void xwWindow::FillDef(xw_window_def* def) const {
    *def = _def;
    def->window = _handle;
    def->kind = _kind;
    def->screen = _screen;
    def->activeField = _activeField;
    def->visible = isVisible() ? 1 : 0;
    def->fieldCount = static_cast<int16_t>(_fields.size());
    std::memset(def->title, 0, sizeof(def->title));
    std::memcpy(def->title, _title.data(), std::min(_title.size(), sizeof(def->title) - 1));
    std::memset(def->subtitle, 0, sizeof(def->subtitle));
    std::memcpy(def->subtitle, _subtitle.data(), std::min(_subtitle.size(), sizeof(def->subtitle) - 1));
}

void xwWindow::SetTitles(const std::string& title, const std::string& subtitle) {
    _title = x_utf8_cut(title, XW_TITLE_SIZE - 1);
    _subtitle = x_utf8_cut(subtitle, XW_SUBTITLE_SIZE - 1);
    QString text = QString::fromStdString(_title);
    if (!_subtitle.empty()) text += QStringLiteral(" - ") + QString::fromStdString(_subtitle);
    if (!text.isEmpty() || _kind != XW_KIND_DIALOG_HOST) setWindowTitle(text);
}

void xwWindow::ResizeToCells() {
    // A dialog host takes the size of the dialog it hosts.
    if (_kind == XW_KIND_DIALOG_HOST) return;
    const int rows = _def.rows > 0 ? _def.rows : 10;
    const int columns = _def.columns > 0 ? _def.columns : 40;
    _canvas->setFixedSize(columns * _cell.width(), rows * _cell.height() - kGap);
    setFixedSize(_canvas->width() + 2 * kMargin, _canvas->height() + 2 * kMargin);
}

void xwWindow::Position() {
    QRect area = _over ? _over->frameGeometry() : QRect();
    if (area.isEmpty()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    }
    const QSize size = frameGeometry().size().expandedTo(this->size());
    int x = area.x() + (_def.column > 0 ? (_def.column - 1) * _cell.width() : 0);
    int y = area.y() + (_def.row > 0 ? (_def.row - 1) * _cell.height() : 0);
    if (_def.centreHorizontally) x = area.x() + (area.width() - size.width()) / 2;
    if (_def.centreVertically) y = area.y() + (area.height() - size.height()) / 2;
    move(std::max(0, x), std::max(0, y));
}

void xwWindow::showEvent(QShowEvent* event) {
    if (_over && _over->windowHandle() && windowHandle()) windowHandle()->setTransientParent(_over->windowHandle());
    if (!_positioned) {
        _positioned = true;
        adjustSize();
        Position();
    }
    QDialog::showEvent(event);
}

void xwWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) xw_note_active_window(_handle);
    QDialog::changeEvent(event);
}

void xwWindow::BuildPanel(const xwPanelDef& panel, short screen) {
    _screen = screen;
    for (const xwBoxDef& box : panel.boxes) {
        auto* frame = new QGroupBox(QString::fromStdString(box.text), _canvas);
        QRect rect = CellRect(box.row, box.column, box.width, box.height);
        // The caption sits in the box's first row; the frame reaches half a row further
        // down so the rows inside read as within it.
        rect.setHeight(rect.height() + _cell.height() / 2);
        rect.moveTop(rect.top() - _cell.height() / 3);
        frame->setGeometry(rect);
        frame->lower();
    }
    for (const xwTextDef& text : panel.texts) WriteString(text.row, text.column, text.style, text.text);
    for (const xwFieldDef& def : panel.fields) {
        std::unique_ptr<xwField> field = xwMakeField(this, def);
        if (!field) continue;
        field->Build(_canvas);
        _fields.push_back(std::move(field));
    }
    for (const auto& field : _fields) {
        field->Place();
        field->Show();
    }
    // Tab follows the rows, then the columns, whatever the order of the definitions.
    std::vector<xwField*> order;
    for (const auto& field : _fields) order.push_back(field.get());
    std::stable_sort(order.begin(), order.end(), [](const xwField* a, const xwField* b) {
        return std::tie(a->Def().row, a->Def().column) < std::tie(b->Def().row, b->Def().column);
    });
    QWidget* previous = nullptr;
    for (xwField* field : order) {
        QWidget* widget = field->FocusWidget();
        if (!widget) continue;
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }
    for (const auto& field : _fields) {
        if (field->Def().enabled && field->Type() != XW_FIELD_BUTTON) {
            _activeField = field->Number();
            break;
        }
    }
}

xwField* xwWindow::Field(short number) const {
    for (const auto& field : _fields) {
        if (field->Number() == number) return field.get();
    }
    return nullptr;
}

bool xwWindow::Changed() const {
    return std::any_of(_fields.begin(), _fields.end(), [](const auto& field) { return field->Changed(); });
}

bool xwWindow::Focus(short number) {
    xwField* field = Field(number);
    if (!field || !field->FocusWidget()) return false;
    _activeField = number;
    field->FocusWidget()->setFocus(Qt::OtherFocusReason);
    return true;
}

void xwWindow::WriteString(int row, int column, int style, const std::string& text) {
    if (row < 1 || column < 1) return;
    std::vector<Cell>& cells = _text[row];
    const std::u32string characters = Utf32(text);
    const size_t end = static_cast<size_t>(column - 1) + characters.size();
    if (cells.size() < end) cells.resize(end);
    for (size_t i = 0; i < characters.size(); ++i) {
        Cell& cell = cells[static_cast<size_t>(column - 1) + i];
        cell.character = characters[i];
        cell.style = style;
        cell.written = true;
    }
    RenderRow(row);
}

void xwWindow::ClearPart(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    for (int row = std::max(1, firstRow); row <= lastRow; ++row) {
        auto it = _text.find(row);
        if (it == _text.end()) continue;
        std::vector<Cell>& cells = it->second;
        for (int column = std::max(1, firstColumn); column <= lastColumn; ++column) {
            if (static_cast<size_t>(column) > cells.size()) break;
            cells[static_cast<size_t>(column - 1)] = Cell{};
        }
        RenderRow(row);
    }
}

// A row's text is shown as one label per run of written cells of one style, each label
// starting at its run's first cell.
void xwWindow::RenderRow(int row) {
    for (const QPointer<QLabel>& label : _textLabels[row]) delete label.data();
    _textLabels[row].clear();
    const std::vector<Cell>& cells = _text[row];
    size_t i = 0;
    while (i < cells.size()) {
        if (!cells[i].written) {
            ++i;
            continue;
        }
        const size_t start = i;
        const int style = cells[i].style;
        std::u32string run;
        while (i < cells.size() && cells[i].written && cells[i].style == style) run += cells[i++].character;
        while (!run.empty() && run.back() == U' ') run.pop_back();
        size_t lead = 0;
        while (lead < run.size() && run[lead] == U' ') ++lead;
        if (lead == run.size()) continue;
        auto* label = new QLabel(QString::fromUcs4(run.data() + lead, static_cast<qsizetype>(run.size() - lead)), _canvas);
        label->setTextFormat(Qt::PlainText);
        label->setProperty("xwText", row);
        if (style == 2) {
            QFont font = label->font();
            font.setBold(true);
            label->setFont(font);
        } else if (style == 3) {
            label->setEnabled(false);
        }
        QRect rect = CellRect(row, static_cast<int>(start + lead) + 1, 1, 1);
        rect.setWidth(label->sizeHint().width());
        label->setGeometry(rect);
        label->show();
        _textLabels[row].push_back(label);
    }
}

short xwWindow::Read(xw_read_def* read) {
    if (_read) return XW_BUSY;
    ReadState state;
    _read = &state;
    QPointer<xwWindow> self(this);
    if (!isVisible()) show();
    raise();
    activateWindow();
    if (!(read->startField && Focus(read->startField)) && !Focus(_activeField)) {
        for (const auto& field : _fields) {
            if (field->Def().enabled && Focus(field->Number())) break;
        }
    }
    xw_start_panel_driver(_handle, this);
    QEventLoop loop;
    state.loop = &loop;
    if (!state.ended) loop.exec();
    if (self) {
        _read = nullptr;
        read->listRow = 0;
        if (xwField* active = Field(_activeField); active && active->Type() == XW_FIELD_LIST) {
            x_value_def row;
            active->Get(&row);
            read->listRow = static_cast<int16_t>(row.AsNumber());
        }
    }
    read->exitKey = state.exitKey;
    read->action = state.action;
    read->field = state.field;
    read->changed = state.changed ? 1 : 0;
    return XW_OK;
}

bool xwWindow::CheckFields() {
    for (const auto& field : _fields) {
        std::string problem;
        if (field->Check(&problem)) continue;
        xw_wr_message(_handle, XW_ERROR, problem.c_str(), 0);
        if (Focus(field->Number())) {
            if (auto* edit = qobject_cast<QLineEdit*>(field->FocusWidget())) edit->selectAll();
        }
        return false;
    }
    return true;
}

void xwWindow::EndRead(short exitKey, short action, short field, bool forced) {
    if (!_read || _read->ended) return;
    if (!forced && Fire(XW_EVENT_READ_END, field, exitKey, action, 1) == 0) return;
    if (!_read || _read->ended) return; // the callback closed the window
    _read->exitKey = exitKey;
    _read->action = action;
    _read->field = field;
    _read->ended = true;
    if (_read->loop) _read->loop->quit();
}

short xwWindow::Fire(short event, short p1, short p2, short p3, short noCallback) {
    if (!_def.callback) return noCallback;
    return _def.callback(_handle, event, p1, p2, p3, _def.appData);
}

void xwWindow::FieldChangedByUser(xwField* field) {
    const short number = field->Number();
    if (_read) _read->changed = true;
    QPointer<xwWindow> self(this);
    Fire(XW_EVENT_FIELD_CHANGED, number, 0, 0, 1);
    if (!self) return;
    if (Field(number) && Field(number)->Def().exitOnChange && _read) EndRead(XW_EXIT_CHANGED, XW_ACTION_NONE, number, false);
}

void xwWindow::ButtonPressed(xwField* field) {
    const xwFieldDef& def = field->Def();
    const short number = def.number;
    if (def.exitKey != 0) {
        if (!_read) {
            Fire(XW_EVENT_BUTTON, number, 0, 0, 1);
            return;
        }
        if (def.action != XW_ACTION_DISCARD && !CheckFields()) return;
        EndRead(def.exitKey, def.action, number, false);
        return;
    }
    QPointer<xwWindow> self(this);
    const short end = Fire(XW_EVENT_BUTTON, number, 0, 0, 1);
    if (self && end != 0 && _read) EndRead(XW_EXIT_BUTTON, XW_ACTION_NONE, number, false);
}

void xwWindow::CloseRequest() {
    if (Hosting()) {
        if (_hostedCloseRequest) _hostedCloseRequest();
        return;
    }
    if (_read) {
        EndRead(XW_EXIT_CLOSE, XW_ACTION_NONE, _activeField, false);
        return;
    }
    Fire(XW_EVENT_CLOSE, 0, 0, 0, 1);
}

void xwWindow::closeEvent(QCloseEvent* event) {
    if (_closingForGood) {
        event->accept();
        return;
    }
    // The window stays until the program closes it: its handle must stay good meanwhile.
    event->ignore();
    if (_def.closeBox || Hosting()) CloseRequest();
}

void xwWindow::reject() {
    if (_def.closeBox || Hosting()) CloseRequest();
}

void xwWindow::Host(QWidget* content, std::function<void()> closeRequest) {
    _hosted = content;
    _hostedCloseRequest = std::move(closeRequest);
    _canvas->hide();
    content->setParent(this);
    _layout->addWidget(content);
    content->show();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (windowTitle().isEmpty()) setWindowTitle(content->windowTitle());
    adjustSize();
    if (!isVisible()) show();
    raise();
    activateWindow();
}

void xwWindow::EndHosted(short event) {
    QPointer<QWidget> content = _hosted;
    _hosted = nullptr;
    _hostedCloseRequest = nullptr;
    hide();
    if (content) {
        content->hide();
        _layout->removeWidget(content);
        content->deleteLater();
    }
    _canvas->show();
    Fire(event, 0, 0, 0, 1);
}

void xwWindow::CloseForGood() {
    _closingForGood = true;
    if (_read && !_read->ended) {
        _read->exitKey = XW_EXIT_CLOSE;
        _read->action = XW_ACTION_NONE;
        _read->ended = true;
        if (_read->loop) _read->loop->quit();
    }
    if (_hosted) {
        _hosted->hide();
        _hosted->deleteLater();
        _hosted = nullptr;
        _hostedCloseRequest = nullptr;
    }
    hide();
    deleteLater();
}
