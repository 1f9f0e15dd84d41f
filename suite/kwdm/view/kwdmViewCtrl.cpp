// View controls: definitions bound to a window's widgets, on a data source of their own or of
// the base control they are merged on.
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwdm/callbacks/kwdmEvents.h"
#include "kwdm/data/kwdmAudit.h"
#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/data/kwdmFileManager.h"
#include "kwdm/model/kwdmTableModel.h"
#include "kwdm/query/kwdmAttachmentsQueryColumn.h"
#include "kwdm/query/kwdmQuery.h"
#include "kwdm/definitions/kwdmButtonDef.h"
#include "kwdm/definitions/kwdmGridDef.h"
#include "kwdm/definitions/kwdmViewDef.h"
#include "kwdm/view/kwdmComboText.h"
#include "kwdm/view/kwdmControl.h"
#include "kwdm/view/kwdmFindCtrl.h"
#include "kwdm/view/kwdmGridView.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/values/kwString.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace {

// Runs a function when a widget loses the keyboard focus.
class FocusOutFilter : public QObject {
public:
    FocusOutFilter(QObject* parent, std::function<void()> onFocusOut)
        : QObject(parent), _onFocusOut(std::move(onFocusOut)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) _onFocusOut();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> _onFocusOut;
};

bool Modified(QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->isModified();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) return plain->document()->isModified();
    if (auto* text = qobject_cast<QTextEdit*>(widget)) return text->document()->isModified();
    if (auto* box = qobject_cast<QComboBox*>(widget); box && box->lineEdit()) return box->lineEdit()->isModified();
    return false;
}

void SetUnmodified(QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) line->setModified(false);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) plain->document()->setModified(false);
    if (auto* text = qobject_cast<QTextEdit*>(widget)) text->document()->setModified(false);
    if (auto* box = qobject_cast<QComboBox*>(widget); box && box->lineEdit()) box->lineEdit()->setModified(false);
}

QString TextOf(QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) return plain->toPlainText();
    if (auto* text = qobject_cast<QTextEdit*>(widget)) return text->toPlainText();
    if (auto* box = qobject_cast<QComboBox*>(widget)) return box->currentText();
    return {};
}

} // namespace

kwdmViewCtrl::kwdmViewCtrl(kwdmViewDef& definition, std::unique_ptr<kwdmAppEventData> appData, short programNumber,
                           std::unique_ptr<kwdmAudit> audit)
    : _definition(definition), _appData(std::move(appData)), _audit(std::move(audit)), _programNumber(programNumber),
      _callbacks(std::make_unique<kwdmCallbackManager>(_appData.get())) {}

kwdmViewCtrl::kwdmViewCtrl(kwdmViewDef& definition, kwdmViewCtrl& base, short, short, std::unique_ptr<kwdmAudit> audit)
    : _definition(definition), _base(&base), _audit(std::move(audit)), _programNumber(base._programNumber) {}

kwdmViewCtrl::~kwdmViewCtrl() {
    if (_base) std::erase(_base->_merged, this);
    for (kwdmViewCtrl* merged : _merged) merged->_base = nullptr;
    if (_created && !_closed && _source) _source->Close();
    Release();
}

kwdmCallbackManager& kwdmViewCtrl::Callbacks() const { return _base ? _base->Callbacks() : *_callbacks; }

kwdmAppEventData* kwdmViewCtrl::AppData() const { return _base ? _base->AppData() : _appData.get(); }

kwdmDataSource* kwdmViewCtrl::RootDataBuffer() const { return _base ? _base->RootDataBuffer() : _source.get(); }

kwdmControl* kwdmViewCtrl::FindControl(int id) const {
    for (const auto& control : _controls)
        if (control->Id() == id) return control.get();
    return nullptr;
}

kwdmGridView* kwdmViewCtrl::GridView() const {
    for (const auto& control : _controls)
        if (kwdmGridView* grid = control->Grid()) return grid;
    return nullptr;
}

bool kwdmViewCtrl::Create(QWidget* host, kwdmFileManager* files, short) {
    if (_created || !host) return false;
    _host = host;
    if (_base) {
        if (!_base->RootDataBuffer()) return false;
        for (const auto& definition : _definition.Controls())
            if (QWidget* widget = kwdmFindCtrl(host, definition->Id())) Bind(*definition, widget);
        _base->_merged.push_back(this);
        _created = true;
        Connect();
        UpdateControls();
        return true;
    }
    kwdmQueryNode* node = _definition.Query().Root();
    if (!node) return false;
    if (!files) {
        _ownFiles = std::make_unique<kwdmFileManager>(_programNumber);
        files = _ownFiles.get();
    }
    _source = std::make_unique<kwdmDataSource>(*node, *files, *_callbacks, *this);
    _source->SetAudit(_audit.get());
    if (!_source->OpenFile()) {
        _source.reset();
        _ownFiles.reset();
        return false;
    }
    for (const auto& definition : _definition.Controls())
        if (QWidget* widget = kwdmFindCtrl(host, definition->Id())) Bind(*definition, widget);
    if (_definition.NotifyCreate()) _definition.NotifyCreate()(*_callbacks);
    _created = true;
    {
        kwdmCallbackInfo info(*this, _source->FocusedRow(), AppData());
        _callbacks->CallView(KWDM_VIEW_OPEN, info);
    }
    Connect();
    _source->ReadRows();
    UpdateControls();
    return true;
}

void kwdmViewCtrl::Connect() {
    kwdmDataSource* source = RootDataBuffer();
    if (!source) return;
    connect(source, &kwdmDataSource::focusChanged, this, [this] { UpdateControls(); });
    connect(source, &kwdmDataSource::rowChanged, this, [this] { UpdateControls(); });
    connect(source, &kwdmDataSource::resetDone, this, [this] { UpdateControls(); });
    connect(source, &kwdmDataSource::countingChanged, this, [this] { UpdateControls(); });
    connect(source, &kwdmDataSource::rowsInserted, this, [this] { UpdateControls(); });
}

bool kwdmViewCtrl::WriteActiveColumn() {
    if (!IsCreated()) return true;
    for (kwdmViewCtrl* merged : _merged)
        if (!merged->WriteActiveColumn()) return false;
    for (const auto& control : _controls)
        if (kwdmGridView* grid = control->Grid(); grid && !grid->CommitEditor()) return false;
    for (const Bound& bound : _bound)
        if (Modified(bound.control->Widget()) && !CommitBound(bound)) return false;
    return true;
}

bool kwdmViewCtrl::CommitData() {
    if (!IsCreated()) return false;
    if (!WriteActiveColumn()) return false;
    return RootDataBuffer()->Commit();
}

bool kwdmViewCtrl::Close(short) {
    if (!_created || _closed) return true;
    if (_base) {
        if (!WriteActiveColumn()) return false;
        std::erase(_base->_merged, this);
        _closed = true;
        Release();
        return true;
    }
    for (kwdmViewCtrl* merged : std::vector<kwdmViewCtrl*>(_merged))
        if (!merged->Close(0)) return false;
    if (!WriteActiveColumn()) return false;
    if (!_source->Commit()) return false;
    {
        kwdmCallbackInfo info(*this, _source->FocusedRow(), AppData());
        _callbacks->CallView(KWDM_VIEW_CLOSE, info);
    }
    _source->Close();
    _closed = true;
    Release();
    return true;
}

void kwdmViewCtrl::Release() {
    // The window may outlive the view control: its widgets let go of what goes here.
    for (const auto& control : _controls)
        if (kwdmGridView* grid = control->Grid()) grid->setModel(nullptr);
    for (const auto& control : _controls)
        if (QWidget* widget = control->Widget()) widget->disconnect(this);
    _bound.clear();
    _controls.clear();
    _models.clear();
    if (_source) _source->disconnect(this);
    _source.reset();
    _ownFiles.reset();
}

// ---- binding ---------------------------------------------------------------------------

void kwdmViewCtrl::Bind(kwdmControlDef& definition, QWidget* widget) {
    switch (definition.GetKind()) {
    case kwdmControlDef::GRID: BindGrid(definition, widget); return;
    case kwdmControlDef::TEXT_LABEL: {
        auto* label = qobject_cast<QLabel*>(widget);
        const std::string& own = static_cast<kwdmTextLabelDef&>(definition).Text();
        if (label) {
            const std::string text = own.empty() ? label->text().toStdString() : own;
            label->setText(QString::fromStdString(kwString::ReplaceTermCodes(text)));
        }
        _controls.push_back(std::make_unique<kwdmControl>(definition, widget, *this));
        return;
    }
    case kwdmControlDef::EDIT:
    case kwdmControlDef::CUSTOM_LIST: {
        const kwdmQueryColumn* column = static_cast<kwdmBoundDef&>(definition).Column();
        _controls.push_back(std::make_unique<kwdmControl>(definition, widget, *this));
        if (!column) return;
        if (definition.GetKind() == kwdmControlDef::CUSTOM_LIST && qobject_cast<QComboBox*>(widget))
            BindList(*_controls.back(), *column);
        else
            BindEdit(*_controls.back(), *column);
        return;
    }
    default:
        _controls.push_back(std::make_unique<kwdmControl>(definition, widget, *this));
        BindButton(*_controls.back());
        return;
    }
}

void kwdmViewCtrl::BindGrid(kwdmControlDef& definition, QWidget* widget) {
    auto& gridDef = static_cast<kwdmGridDef&>(definition);
    kwdmDataSource* source = RootDataBuffer();
    if (!source) return;
    auto* grid = qobject_cast<kwdmGridView*>(widget);
    if (!grid) {
        // A place held for the grid in the window: the grid fills it.
        auto* layout = widget->layout() ? widget->layout() : new QVBoxLayout(widget); // owned by the widget
        layout->setContentsMargins(0, 0, 0, 0);
        grid = new kwdmGridView(widget); // owned by its place
        layout->addWidget(grid);
    }
    _models.push_back(std::make_unique<kwdmTableModel>(*source, gridDef));
    grid->Attach(_models.back().get(), gridDef.Style());
    _controls.push_back(std::make_unique<kwdmControl>(definition, grid, *this));
    connect(grid, &QAbstractItemView::clicked, this, [this, grid](const QModelIndex& index) {
        if (grid->Model() && grid->Model()->IsAttachments(index.column())) OpenAttachments();
    });
}

void kwdmViewCtrl::BindEdit(kwdmControl& control, const kwdmQueryColumn& column) {
    QWidget* widget = control.Widget();
    _bound.push_back({&control, &column});
    const Bound bound = _bound.back();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        if (column.IsText() && column.Def().width > 0 && !column.Def().formatFlag) line->setMaxLength(column.Def().width);
        connect(line, &QLineEdit::editingFinished, this, [this, bound] {
            if (Modified(bound.control->Widget())) CommitBound(bound);
        });
    } else if (qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTextEdit*>(widget)) {
        widget->installEventFilter(new FocusOutFilter(widget, [this, bound] { // owned by the widget
            if (Modified(bound.control->Widget())) CommitBound(bound);
        }));
    }
}

void kwdmViewCtrl::BindList(kwdmControl& control, const kwdmQueryColumn& column) {
    auto* box = qobject_cast<QComboBox*>(control.Widget());
    box->clear();
    box->setEditable(!column.ListOnly());
    std::vector<std::string> entries;
    xk_get_custom_list(column.CustomList(), &entries);
    for (const std::string& entry : entries) box->addItem(QString::fromStdString(entry));
    _bound.push_back({&control, &column});
    const Bound bound = _bound.back();
    connect(box, &QComboBox::activated, this, [this, bound] {
        if (!_showing) CommitBound(bound);
    });
    if (QLineEdit* line = box->lineEdit())
        connect(line, &QLineEdit::editingFinished, this, [this, bound] {
            if (Modified(bound.control->Widget())) CommitBound(bound);
        });
}

void kwdmViewCtrl::BindButton(kwdmControl& control) {
    auto* button = qobject_cast<QAbstractButton*>(control.Widget());
    if (!button) return;
    kwdmControl* bound = &control;
    connect(button, &QAbstractButton::clicked, this, [this, bound] {
        kwdmDataSource* source = RootDataBuffer();
        if (!source) return;
        kwdmControlDef& definition = bound->Definition();
        switch (definition.GetKind()) {
        case kwdmControlDef::PUSH_BUTTON:
            if (kwdmButtonActionBase* action = static_cast<kwdmPushButtonDef&>(definition).Action()) {
                kwdmCallbackInfo info(*this, source->FocusedRow(), AppData());
                info.WithControl(bound);
                action->Action(info);
            }
            break;
        case kwdmControlDef::ROW_BUTTON:
            if (!WriteActiveColumn()) return;
            switch (static_cast<kwdmRowButtonDef&>(definition).GetMove()) {
            case kwdmRowButtonDef::FIRST: source->First(); break;
            case kwdmRowButtonDef::PREVIOUS: source->Previous(); break;
            case kwdmRowButtonDef::NEXT: source->Next(); break;
            case kwdmRowButtonDef::LAST: source->Last(); break;
            }
            break;
        case kwdmControlDef::DELETE_BUTTON:
            if (!WriteActiveColumn()) return;
            source->DeleteFocused(bound);
            break;
        case kwdmControlDef::ATTACHMENTS_BUTTON: OpenAttachments(); break;
        default: break;
        }
        if (bound->Callback()) {
            kwdmCallbackInfo info(*this, source->FocusedRow(), AppData());
            info.WithControl(bound);
            bound->Callback()(info);
        }
    });
}

void kwdmViewCtrl::ShowBound(const Bound& bound) {
    kwdmDataSource* source = RootDataBuffer();
    QWidget* widget = bound.control->Widget();
    if (!source || !widget) return;
    kwdmCell* cell = source->FocusedRow().Data(*bound.column);
    const QString text = cell ? QString::fromStdString(cell->NewText()) : QString();
    const bool editable = source->Focus() >= 0 && source->Editable(*bound.column);
    // What the user is typing stays until it is handed over.
    if (widget->hasFocus() && Modified(widget)) return;
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        if (line->text() != text) line->setText(text);
        line->setReadOnly(!editable);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        if (plain->toPlainText() != text) plain->setPlainText(text);
        plain->setReadOnly(!editable);
    } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
        if (rich->toPlainText() != text) rich->setPlainText(text);
        rich->setReadOnly(!editable);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
        kwdmSetComboText(box, text);
        box->setEnabled(editable);
    }
    SetUnmodified(widget);
}

bool kwdmViewCtrl::CommitBound(const Bound& bound) {
    kwdmDataSource* source = RootDataBuffer();
    QWidget* widget = bound.control->Widget();
    if (!source || !widget || _showing) return true;
    const std::string text = TextOf(widget).toStdString();
    kwdmCell* cell = source->FocusedRow().Data(*bound.column);
    if (cell && cell->NewText() == text) {
        SetUnmodified(widget);
        return true;
    }
    _showing = true; // a message box taking the focus must not hand the text over again
    const bool taken = source->UserEdit(*bound.column, text, this);
    _showing = false;
    if (!taken) {
        // The text stays for the user to correct.
        QPointer<QWidget> back(widget);
        QTimer::singleShot(0, this, [back] {
            if (back) back->setFocus(Qt::OtherFocusReason);
        });
        return false;
    }
    SetUnmodified(widget);
    UpdateControls();
    return true;
}

void kwdmViewCtrl::UpdateControls() {
    kwdmDataSource* source = RootDataBuffer();
    if (!source || _showing || !IsCreated()) return;
    _showing = true;
    for (const Bound& bound : _bound) ShowBound(bound);
    const int64_t focus = source->Focus();
    const bool newRow = source->FocusedRow().IsNewRow();
    for (const auto& control : _controls) {
        kwdmControlDef& definition = control->Definition();
        bool enabled = true;
        switch (definition.GetKind()) {
        case kwdmControlDef::PUSH_BUTTON:
            if (kwdmButtonActionBase* action = static_cast<kwdmPushButtonDef&>(definition).Action()) {
                kwdmCallbackInfo info(*this, source->FocusedRow(), AppData());
                info.WithControl(control.get());
                const kwdmButtonEnabler enabler = action->MakeButtonEnabler();
                enabled = !enabler || enabler(info);
            }
            break;
        case kwdmControlDef::ROW_BUTTON:
            switch (static_cast<kwdmRowButtonDef&>(definition).GetMove()) {
            case kwdmRowButtonDef::FIRST:
            case kwdmRowButtonDef::PREVIOUS: enabled = focus > 0; break;
            case kwdmRowButtonDef::NEXT: enabled = focus + 1 < source->RowCount(); break;
            case kwdmRowButtonDef::LAST:
                enabled = source->RecordCount() > 0 && (focus != source->RecordCount() - 1 || source->Counting());
                break;
            }
            break;
        case kwdmControlDef::DELETE_BUTTON:
            enabled = focus >= 0 && source->Node().Has(kwdmQueryNode::DELETE) &&
                      (!newRow || source->FocusedRow().Changed());
            break;
        case kwdmControlDef::ATTACHMENTS_BUTTON:
            enabled = focus >= 0 && !newRow && static_cast<bool>(kwdmAttachmentsQueryColumn::GetRunner());
            break;
        default: continue;
        }
        control->Widget()->setEnabled(enabled);
    }
    _showing = false;
}

void kwdmViewCtrl::OpenAttachments() {
    kwdmDataSource* source = RootDataBuffer();
    if (!source || source->Focus() < 0 || source->FocusedRow().IsNewRow()) return;
    const auto& runner = kwdmAttachmentsQueryColumn::GetRunner();
    if (!runner) return;
    if (!WriteActiveColumn()) return;
    const short type = source->Node().RecordType();
    // The attachments belong to the record whose key is in the buffer.
    source->Layout().Put(source->FocusedRow().Saved());
    kwioAttachments attachments(source->FileNumber(), type);
    const short status = attachments.Fetch(true);
    if (status == XIO_IN_USE) {
        xw_wr_message(0, XW_ERROR, "The attachments of this record are in use by another user. Try again later.", 0);
        return;
    }
    if (status != XIO_OK) {
        xio_io_error(source->FileNumber(), status);
        return;
    }
    if (runner(attachments, _host) && attachments.Changed()) attachments.Write();
    source->AttachmentsChanged(static_cast<int>(attachments.Count()));
    attachments.Free();
}
