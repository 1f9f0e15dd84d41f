// The inquiry window builds a one-node query on the driving record type, a read-only grid
// of the inquiry's columns and a filter of its key fields equal to the values passed
// (joined by "and"), and makes the view live on its own widget.
#include "kwinq/kwInqWindow.h"

#include "kwdm/data/kwdmAudit.h"
#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/kwdmObjectManager.h"
#include "kwdm/query/kwdmFilter.h"
#include "kwdm/query/kwdmQuery.h"
#include "kwdm/definitions/kwdmGridDef.h"
#include "kwdm/definitions/kwdmViewDef.h"
#include "kwdm/view/kwdmGridView.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"

#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QVBoxLayout>

#include <cstring>

namespace {

constexpr const char* kNode = "records";

std::string FieldOf(const xi_value_def& value) {
    return std::string(value.field, strnlen(value.field, sizeof value.field));
}

// The value as a user would type it into the column (the filter parses it the same way).
std::string TextOf(const xi_value_def& value, const kwdmQueryColumn& column) {
    if (value.valueKind == 0 || column.IsText()) {
        if (value.valueKind != 0) return x_value_def::OfNumber(value.number).AsText();
        return std::string(value.text, strnlen(value.text, sizeof value.text));
    }
    std::unique_ptr<kwData> typed = column.MakeValue();
    column.ToData(kwdmFieldValue{value.number, {}}, *typed);
    return typed->Format();
}

} // namespace

kwInqWindow::kwInqWindow(const kwInqDefinition& inquiry, short programNumber, const xi_value_def* values, short count)
    : _inquiry(inquiry), _programNumber(programNumber) {
    if (values && count > 0) _values.assign(values, values + count);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("kwInqWindow"));
    setWindowTitle(QString::fromStdString(inquiry.application + " - " + inquiry.name));
}

kwInqWindow::~kwInqWindow() {
    if (_view) _view->Close(0);
}

bool kwInqWindow::Open(std::string* error) {
    _objects = std::make_unique<kwdmObjectManager>();
    kwdmQuery* query = _objects->NewQuery(_inquiry.name);
    kwdmQueryNode* node =
        query->SetRoot(_objects->Table(_inquiry.file, _inquiry.recordType), _inquiry.file, kNode, 0, _inquiry.order);
    if (!node->AddAllColumns(_inquiry.recordType, kwdmQueryColumn::READ_ONLY, 1)) {
        *error = "The inquiry \"" + _inquiry.name + "\" reads the file " + _inquiry.file + ", record type " +
                 std::to_string(_inquiry.recordType) + ", which the company's dictionaries do not describe.";
        return false;
    }
    for (const std::string& name : _inquiry.columns) {
        if (!node->Column(name)) {
            *error = "The inquiry \"" + _inquiry.name + "\" shows the field " + name + ", which record type " +
                     std::to_string(_inquiry.recordType) + " of " + _inquiry.file + " does not have.";
            return false;
        }
    }

    // Values with a field name filter on that field when it is a key field of the inquiry;
    // values without one stand for the key fields in order.
    kwdmFilter filter;
    size_t unnamed = 0;
    for (const xi_value_def& value : _values) {
        std::string field = FieldOf(value);
        if (field.empty()) {
            if (unnamed >= _inquiry.keys.size()) continue;
            field = _inquiry.keys[unnamed++];
        }
        bool isKey = false;
        for (const std::string& key : _inquiry.keys) isKey = isKey || x_equal_nocase(key, field);
        const kwdmQueryColumn* column = node->Column(field);
        if (!isKey || !column) continue;
        const std::string text = TextOf(value, *column);
        filter.AddItem(column->Name(), kwdmFilter::EQUAL, text, kwdmFilter::AND);
        _filter.emplace_back(column->Label().empty() ? column->Name() : column->Label(), text);
    }
    if (!filter.Empty()) node->SetFilter(filter);

    kwdmViewDef* definition = _objects->NewView(_inquiry.name, query, 0, 0);
    auto grid = std::make_unique<kwdmGridDef>(IDC_GRID, kNode, kwdmGridDef::READ_ONLY | kwdmGridDef::ROW_SELECT);
    for (const std::string& name : _inquiry.columns) grid->AddColumn(node->Column(name), 0, 0, "", 0, 1, 0xFFFFFF);
    definition->AddControl(std::move(grid));

    auto* body = new QWidget(this); // owned by the window
    auto* layout = new QVBoxLayout(body);
    _filterLabel = new QLabel(body);
    _filterLabel->setProperty("ctrlId", IDC_FILTER);
    std::string shown;
    for (const auto& [label, text] : _filter) shown += (shown.empty() ? "" : ", ") + label + " = " + text;
    _filterLabel->setText(shown.empty() ? QStringLiteral("All records")
                                        : QStringLiteral("Records with ") + QString::fromStdString(shown));
    layout->addWidget(_filterLabel);
    auto* place = new QWidget(body);
    place->setProperty("ctrlId", IDC_GRID);
    layout->addWidget(place, 1);
    _countLabel = new QLabel(body);
    _countLabel->setProperty("ctrlId", IDC_COUNT);
    layout->addWidget(_countLabel);
    setWidget(body);

    _view = std::make_unique<kwdmViewCtrl>(*definition, nullptr, _programNumber, nullptr);
    if (!_view->Create(body, nullptr, 0)) {
        _view.reset();
        error->clear(); // the file's open told the user
        return false;
    }
    if (kwdmDataSource* source = _view->RootDataBuffer()) {
        connect(source, &kwdmDataSource::countingChanged, this, [this] { ShowCount(); });
        connect(source, &kwdmDataSource::resetDone, this, [this] { ShowCount(); });
        connect(source, &kwdmDataSource::rowsInserted, this, [this] { ShowCount(); });
    }
    ShowCount();
    resize(640, 360);
    return true;
}

void kwInqWindow::ShowCount() {
    kwdmDataSource* source = _view ? _view->RootDataBuffer() : nullptr;
    if (!source || !_countLabel) return;
    const long long records = source->RecordCount();
    QString text = records == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(records);
    if (source->Counting()) text += QStringLiteral(" so far (counting)");
    _countLabel->setText(text);
}

void kwInqWindow::closeEvent(QCloseEvent* event) {
    if (_view && !_view->Close(0)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

QMdiSubWindow* kwInqOpenWindow(const std::string& application, const std::string& name, short programNumber,
                               const xi_value_def* values, short count) {
    kwApplication* app = KWGetApp();
    kwAppFrame* frame = app ? app->MainWindow() : nullptr;
    if (!frame || !frame->MdiArea()) {
        xw_message_box(XW_ERROR, "Inquiry", "Inquiries are shown in the main window, which is not open.");
        return nullptr;
    }
    std::string error;
    const auto definitions = kwInqDefinitions::Company(&error);
    const kwInqDefinition* inquiry = definitions->FindInquiry(application, name);
    if (!inquiry) {
        xw_message_box(XW_ERROR, "Inquiry",
                       error.empty() ? "The inquiry \"" + name + "\" of " + application + " is not defined." : error);
        return nullptr;
    }
    auto window = std::make_unique<kwInqWindow>(*inquiry, programNumber, values, count);
    if (!window->Open(&error)) {
        if (!error.empty()) xw_message_box(XW_ERROR, "Inquiry", error);
        return nullptr;
    }
    kwInqWindow* shown = window.release(); // the MDI area owns it from here
    frame->MdiArea()->addSubWindow(shown);
    shown->show();
    frame->MdiArea()->setActiveSubWindow(shown);
    return shown;
}
