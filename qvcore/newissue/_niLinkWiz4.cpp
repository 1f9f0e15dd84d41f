// The record grid is built on the grid framework read-only, the same model the View
// Issues grid uses: it never copies the file, so a data file of any size scrolls at once.
// The data file is first opened quietly for reading: a file that is missing, in use by
// another user alone or damaged is told with its name and why, and the user goes back to
// choose another.
#include "qvcore/newissue/_niLinkWiz4.h"

#include "ui__niLinkWiz4.h"

#include "qvcore/newissue/_niLinkWizard.h"
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvLinkTarget.h"

#include "kwdm/callbacks/kwdmAppEventData.h"
#include "kwdm/data/kwdmAudit.h"
#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/kwdmObjectManager.h"
#include "kwdm/query/kwdmQuery.h"
#include "kwdm/query/kwdmQueryColumn.h"
#include "kwdm/definitions/kwdmGridDef.h"
#include "kwdm/definitions/kwdmViewDef.h"
#include "kwdm/view/kwdmGridView.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/values/kwString.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xa.h"
#include "kwcommon/xio.h"

#include <QHeaderView>

#include <algorithm>

namespace {

constexpr const char* kNode = "RECORDS";

// Why another application's data file cannot be shown, by the open's status.
std::string OpenFailureReason(short status) {
    switch (status) {
    case XIO_ABSENT: return "The file was not found.";
    case XIO_LOCKED:
    case XIO_IN_USE: return "The file is in use by another user.";
    case XIO_CORRUPT: return "The file is damaged.";
    default: return xio_status_text(status);
    }
}

// Where the company keeps the data file of a dictionary ("" when it is not known).
std::string DataFilePath(const std::string& dictName) {
    for (const xio_company_file& file : xio_company_files())
        if (x_equal_nocase(file.abbrev, dictName)) return file.path;
    return {};
}

} // namespace

_niLinkWiz4::_niLinkWiz4(_niLinkWizard* wizard)
    : kwPropertyPage(QStringLiteral("Record"), TEMPLATE_ID), _ui(std::make_unique<Ui::_niLinkWiz4>()),
      _wizard(wizard), _objects(std::make_unique<kwdmObjectManager>()) {
    _ui->setupUi(this);
}

_niLinkWiz4::~_niLinkWiz4() { DropGrid(); }

kwdmGridView* _niLinkWiz4::Grid() const { return _view ? _view->GridView() : nullptr; }

void _niLinkWiz4::DropGrid() {
    if (!_view) return;
    kwdmGridView* grid = _view->GridView();
    _view->Close(0);
    // The grid shows the view control's model: it goes first.
    delete grid;
    _view.reset();
    _columns.clear();
    _gridName.clear();
}

bool _niLinkWiz4::BuildGrid(const std::string& name) {
    DropGrid();
    const std::string& dictName = _wizard->dictName;
    const short recordType = _wizard->recordType;

    // The file as this user may read it; nothing is asked or made here.
    {
        qvLinkedData data;
        const short status = data.Open(dictName, _wizard->ProgramNumber());
        if (status != XIO_OK) {
            x_kw_apl_info info{};
            const std::string file = xa_get_kw_nam(1, &info, dictName.c_str()) && info.name[0]
                                         ? x_init_caps(info.name) + " (" + dictName + ")"
                                         : dictName;
            const std::string path = DataFilePath(dictName);
            _wizard->Message(XW_ERROR, "Could not open the " + file + " file" + (path.empty() ? "" : " " + path) +
                                           ".  " + OpenFailureReason(status) + "  Choose another file.");
            return false;
        }
    }

    kwioDictFile dict;
    if (dict.Open(dictName) != XIO_OK) return false;
    xio_rec_def rec{};
    if (xio_get_rec_def(dict.FileNum(), recordType, &rec, 1) != XIO_OK) return false;
    const std::vector<xio_fld_def> key = qvKeyFields(dict.FileNum(), recordType);
    if (key.empty()) return false;
    // The record's fields from its first key field on: the key fields and the one after.
    const short first = key.front().number;
    const short last = static_cast<short>(std::min<int>(first + static_cast<int>(key.size()),
                                                        rec.firstField + rec.fieldCount - 1));

    kwdmQuery* query = _objects->FindQuery(name);
    if (!query) {
        query = _objects->NewQuery(name);
        kwdmQueryNode* root = query->SetRoot(_objects->Table(dictName, recordType), dictName, kNode, 0, 0);
        for (short number = first; number <= last; ++number) {
            xio_fld_def def{};
            if (xio_get_fld_def(dict.FileNum(), number, &def, 1, 1) != XIO_OK) continue;
            std::vector<std::string> items;
            char item[X_VALUE_TEXT_MAX + 1];
            for (short n = 1; n <= def.itemCount; ++n)
                if (xio_get_item_alpha(dict.FileNum(), def.number, n, item, sizeof item) == XIO_OK)
                    items.emplace_back(item);
            root->AddColumn(std::make_unique<kwdmQueryColumn>(def, kwString::ReplaceTermCodes(def.description),
                                                              kwdmQueryColumn::READ_ONLY, std::move(items)));
        }
    }
    kwdmViewDef* view = _objects->NewView(name + "View", query, TEMPLATE_ID, TEMPLATE_ID);
    auto grid = std::make_unique<kwdmGridDef>(IDC_GRID, kNode, kwdmGridDef::READ_ONLY | kwdmGridDef::ROW_SELECT, 0,
                                               IDC_GRID);
    std::vector<const kwdmQueryColumn*> columns;
    for (const auto& column : query->Root()->Columns()) {
        grid->AddColumn(column.get(), 0, 0, "", 0, 1, 0xFFFFFF);
        columns.push_back(column.get());
    }
    view->AddControl(std::move(grid));

    _view = std::make_unique<kwdmViewCtrl>(*view, nullptr, _wizard->ProgramNumber(), nullptr);
    if (!_view->Create(_ui->records, nullptr, 0) || !_view->GridView()) {
        DropGrid();
        return false;
    }
    _record = rec;
    _columns = std::move(columns);
    _gridName = name;
    kwdmGridView* shown = _view->GridView();
    shown->horizontalHeader()->setStretchLastSection(true);
    connect(shown, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) _wizard->Finish();
    });
    return true;
}

bool _niLinkWiz4::OnSetActive() {
    // A failure to build the grid is being handled: the step stays closed meanwhile.
    if (_wizard->previousStep < 0) return false;
    const std::string name =
        _wizard->dictName + std::to_string(_wizard->recordType) + std::to_string(_wizard->fileMask);
    if (name != _gridName || !_view) {
        if (!BuildGrid(name)) {
            // Back where the user came from (step 2 when step 3 was passed over), with its
            // choices as they were.
            const short previous = _wizard->previousStep;
            _wizard->previousStep = static_cast<short>(-previous);
            _wizard->SetButtons(kwPropertySheet::PSWIZB_BACK | kwPropertySheet::PSWIZB_NEXT);
            _wizard->previousStep = previous;
            return false;
        }
    }
    _wizard->SetButtons(kwPropertySheet::PSWIZB_BACK | kwPropertySheet::PSWIZB_FINISH);
    if (kwdmGridView* grid = Grid()) grid->setFocus();
    return kwPropertyPage::OnSetActive();
}

int _niLinkWiz4::OnWizardBack() {
    _wizard->SetButtons(kwPropertySheet::PSWIZB_BACK | kwPropertySheet::PSWIZB_NEXT);
    return _wizard->LeaveRecordStep() ? 0 : -1;
}

std::vector<std::string> _niLinkWiz4::CurrentTexts() const {
    std::vector<std::string> texts;
    kwdmDataSource* source = _view ? _view->RootDataBuffer() : nullptr;
    if (!source || source->RecordCount() == 0 || source->Focus() < 0 || source->IsNewRow(source->Focus()))
        return texts;
    for (const kwdmQueryColumn* column : _columns)
        texts.push_back(source->Text(source->Focus(), *column));
    return texts;
}

bool _niLinkWiz4::OnWizardFinish() {
    const std::vector<std::string> texts = CurrentTexts();
    if (texts.empty()) return false;
    const std::vector<xio_fld_def> issueKey =
        qvLinkedKeyFields(_wizard->issueDictionary.FileNum(), _wizard->issueRecordType);
    LinkedRecord& link = _wizard->Result();
    link = LinkedRecord();
    size_t used = 0;
    for (; used < issueKey.size() && used < texts.size(); ++used) {
        link.keyKindCodes.push_back(issueKey[used].kind);
        link.keyQualifiers.push_back(issueKey[used].qualifier);
        link.keyValues.push_back(texts[used]);
    }
    link.applAbbrev = _wizard->applAbbrev;
    link.xrefRecType = _wizard->issueRecordType;
    link.dictName = _wizard->dictName;
    link.recType = _wizard->recordType;
    link.fileMask = _wizard->fileMask;
    link.recDesc = x_init_caps(_record.name);
    for (size_t i = used; i < texts.size(); ++i)
        link.dataDesc += texts[i] + " ";
    return true;
}
