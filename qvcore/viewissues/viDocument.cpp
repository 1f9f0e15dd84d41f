// The View Issues document: the query and views it defines, and the view controls it owns.
#include "qvcore/viewissues/viDocument.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/queries/qvQueryInfo.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/tasks/TaskViewIssues.h"
#include "qvcore/viewissues/viAppData.h"
#include "qvcore/viewissues/viAutoFilter.h"
#include "qvcore/viewissues/viDataRules.h"

#include "kwapp/suitedlg/kwAttachmentsDlg.h"
#include "kwapp/tasks/kwMDIChildWnd.h"

#include "kwdm/data/kwdmAudit.h"
#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/kwdmObjectManager.h"
#include "kwdm/query/kwdmAttachmentsQueryColumn.h"
#include "kwdm/query/kwdmQuery.h"
#include "kwdm/query/kwdmTable.h"
#include "kwdm/definitions/kwdmButtonDef.h"
#include "kwdm/definitions/kwdmGridDef.h"
#include "kwdm/definitions/kwdmViewDef.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/x_message.h"
#include "kwcommon/xs.h"

#include <QDialog>

namespace {

constexpr const char* kIssueFile = "QVI";
constexpr const char* kNode = "issue";
constexpr short kRootStyle = 175;
constexpr short kGridStyle = 2;
constexpr const char* kAttachments = "IATTACH";

// Columns nobody changes in the views: the number, the inquiry, the stamps, the e-mail
// mark and the link fields.
constexpr const char* kReadOnlyColumns[] = {
    "ISSUE",  "INQNAME", "OPERCRE", "DATECRE", "TIMECRE", "OPERCLO", "DATECLO", "TIMECLO", "OPERCHG", "DATECHG",
    "TIMECHG", "EMAIL",  "APVND",   "APINVOI", "ARCUST",  "ARSTYPE", "ARDATE",  "ARSEQ",   "ARASEQ",  "ARDEPDT",
    "ARDEPID", "ARCDATE", "ARCTIME", "ARCSEQ", "ARCONT",  "BLGDATE", "BLGSEQ",  "CMBANK",  "CMTRUN",  "CMTSEQ",
    "CNC",     "CNCI",   "CNCO",    "EQEQUIP", "EQTYPE",  "GLACCT",  "GLAPRFX", "GLBPRFX", "GLCPRFX", "GLPRTNR",
    "JCJOB",   "JCEXTRA", "JCPHASE", "JCCAT",  "JCDRAW",  "JCCO",    "JCCOITM", "JCSUB",   "JCITEM",  "PMPROP",
    "PMUNIT",  "PMTENAN", "PMLEASE", "PMREV",  "PREMPID", "PRUNION", "PRLOCID", "PRPDEND", "PRCKSEQ",
};
static_assert(std::size(kReadOnlyColumns) == 59);

// The form's OK: hands over what is being typed and closes the dialog.
class OkAction : public kwdmButtonActionBase {
public:
    short Action(kwdmCallbackInfo& info) override {
        kwdmViewCtrl& form = info.ControlMgr();
        if (!form.WriteActiveColumn()) return 0;
        if (auto* dialog = qobject_cast<QDialog*>(form.Host())) dialog->accept();
        else if (form.Host()) form.Host()->close();
        return 1;
    }
};

} // namespace

viDocument::viDocument(TaskViewIssues& task) : _task(task) {}

viDocument::~viDocument() {
    _form.reset();
    _grid.reset();
}

viAppData* viDocument::AppData() const {
    return _grid ? dynamic_cast<viAppData*>(_grid->AppData()) : nullptr;
}

bool viDocument::OnNewDocument() { return OnOpenDocument({}); }

bool viDocument::OnOpenDocument(const std::string&) {
    if (!kwDocument::OnNewDocument()) return false;
    _manager = _task.DocMgr();
    qvIssueFile file(static_cast<short>(_task.ID()));
    file.Open();
    if (!_manager->FindQuery(QueryName)) DefineQuery(file.Number());
    file.Close();
    if (!_manager->FindView(GridViewName)) DefineGridView();
    if (!_manager->FindView(FormViewName)) DefineFormView();
    // The grid's attachments open in the suite's attachments dialog.
    kwdmAttachmentsQueryColumn::SetRunner([](kwioAttachments& attachments, QWidget* parent) {
        kwAttachmentsDlg dialog(attachments, parent);
        dialog.DoModal();
        return dialog.Changed();
    });
    return true;
}

void viDocument::DefineQuery(short issueFile) {
    kwdmTable* table = _manager->Table(kIssueFile, QV_RECORD_ISSUE);
    qvQueryInfo queries(static_cast<short>(_task.ID()));
    short order = queries.GetOrder(Prefs::QueryName());
    // A key switched off since the query was saved is no order to offer: the primary
    // order stands in, as for every selection of the query.
    if (issueFile && !qvIsOfferedOrder(issueFile, order)) order = 0;
    kwdmQuery* query = _manager->NewQuery(QueryName);
    kwdmQueryNode* root = query->SetRoot(table, kIssueFile, kNode, kRootStyle, order);
    root->AddAllColumns(QV_RECORD_ISSUE, 0, 1);
    root->AddColumn(std::make_unique<kwdmAttachmentsQueryColumn>(kAttachments, QV_RECORD_ISSUE));

    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    auto readOnly = [root](const char* name) {
        if (kwdmQueryColumn* column = root->Column(name)) column->SetStyle(column->Style() | kwdmQueryColumn::READ_ONLY);
    };
    for (const char* name : kReadOnlyColumns) readOnly(name);
    if (oper.id[0]) readOnly("RESPONS");

    if (viAutoFilterApplies(oper)) {
        kwdmFilter filter;
        filter.AddItem("RESPONS", kwdmFilter::EQUAL, oper.name, kwdmFilter::OR);
        filter.AddItem("RESPONS", kwdmFilter::EQUAL, "", kwdmFilter::OR);
        root->SetFilter(filter);
    }
}

void viDocument::DefineGridView() {
    kwdmQuery* query = _manager->FindQuery(QueryName);
    kwdmViewDef* view = _manager->NewView(GridViewName, query, GridTemplate, GridTemplate);
    view->SetNotifyCreate(viNotifyCreate);
    view->AddControl(std::make_unique<kwdmRowButtonDef>(500, kwdmRowButtonDef::FIRST));
    view->AddControl(std::make_unique<kwdmRowButtonDef>(501, kwdmRowButtonDef::PREVIOUS));
    view->AddControl(std::make_unique<kwdmRowButtonDef>(502, kwdmRowButtonDef::NEXT));
    view->AddControl(std::make_unique<kwdmRowButtonDef>(503, kwdmRowButtonDef::LAST));
    view->AddControl(std::make_unique<kwdmDeleteButtonDef>(507));
    view->AddControl(std::make_unique<kwdmAttachmentsButtonDef>(505, kAttachments));

    auto grid = std::make_unique<kwdmGridDef>(508, kNode, kGridStyle);
    kwdmQueryNode* root = query->Root();
    std::vector<std::string> columns;
    Prefs::GetGridColumns(columns);
    if (columns.empty()) Prefs::GetGridColumnDefaults(columns);
    for (const std::string& name : columns) {
        if (name == kAttachments)
            grid->AddColumn(std::make_unique<kwdmAttachmentsButtonDef>(0, kAttachments), 1, 14, 19906, 0, 0xFFFFFF);
        else
            grid->AddColumn(root->Column(name), 0, 0, "", 0, 1, 0xFFFFFF);
    }
    view->AddControl(std::move(grid));
    view->AddControl(std::make_unique<kwdmTextLabelDef>(1014));
    view->AddControl(std::make_unique<kwdmEditDef>(1015, root->Column("FORMESS"), true));
}

void viDocument::DefineFormView() {
    kwdmQuery* query = _manager->FindQuery(QueryName);
    kwdmQueryNode* root = query->Root();
    kwdmViewDef* view = _manager->NewView(FormViewName, query, FormTemplate, FormTemplate);
    auto edit = [&](int id, const char* column, bool multiLine = false) {
        view->AddControl(std::make_unique<kwdmEditDef>(id, root->Column(column), multiLine));
    };
    auto list = [&](int id, const char* column) {
        view->AddControl(std::make_unique<kwdmCustomListDef>(id, root->Column(column)));
    };
    auto label = [&](int id) { view->AddControl(std::make_unique<kwdmTextLabelDef>(id)); };
    edit(107, "DUEDATE");
    label(600);
    list(104, "STATUS");
    edit(100, "FORMESS", true);
    label(601);
    list(102, "URGENCY");
    label(602);
    list(191, "PROBLEM");
    label(603);
    list(192, "CLASSIF");
    edit(193, "NOTDATE");
    edit(171, "DATECHG");
    edit(172, "DATECLO");
    label(604);
    list(101, "FOLLOWU");
    edit(158, "RESPONS");
    edit(198, "OPERCRE");
    edit(199, "ISSUE");
    view->AddControl(std::make_unique<kwdmPushButtonDef>(8, std::make_unique<OkAction>()));
    view->AddControl(std::make_unique<kwdmRowButtonDef>(500, kwdmRowButtonDef::FIRST));
    view->AddControl(std::make_unique<kwdmRowButtonDef>(501, kwdmRowButtonDef::PREVIOUS));
    view->AddControl(std::make_unique<kwdmRowButtonDef>(502, kwdmRowButtonDef::NEXT));
    view->AddControl(std::make_unique<kwdmRowButtonDef>(503, kwdmRowButtonDef::LAST));
}

bool viDocument::CreateGridControl(QWidget* view) {
    if (_grid) return _grid->IsCreated();
    if (!_manager || !view) return false;
    kwdmViewDef* definition = _manager->FindView(GridViewName);
    if (!definition) return false;
    _grid = std::make_unique<kwdmViewCtrl>(*definition, std::make_unique<viAppData>(_task), static_cast<short>(_task.ID()),
                                           std::make_unique<kwdmAudit>());
    if (!_grid->Create(view, nullptr, 1)) {
        _grid.reset();
        return false;
    }
    return true;
}

bool viDocument::CreateFormControl(QWidget* dialog) {
    if (!_grid || !_grid->IsCreated() || !dialog) return false;
    kwdmViewDef* definition = _manager->FindView(FormViewName);
    if (!definition) return false;
    _form = std::make_unique<kwdmViewCtrl>(*definition, *_grid, 0, 3, std::make_unique<kwdmAudit>());
    if (!_form->Create(dialog, nullptr, 3)) {
        _form.reset();
        return false;
    }
    return true;
}

void viDocument::DestroyFormControl() {
    if (_form) _form->Close(0);
    _form.reset();
}

void viDocument::RefreshData() {
    if (_grid && _grid->IsCreated()) _grid->RootDataBuffer()->Refresh(1, 1, 0);
}

bool viDocument::CanCloseFrame() const {
    if (_printAllowed) return true;
    xw_wr_message(0, XW_INFO, "Can not close the View Issues window because the Print window is open", 0);
    return false;
}

bool viDocument::SaveModified() {
    if (!CanCloseFrame()) return false;
    return !_grid || _grid->Close(0);
}

bool viDocument::Shutdown() {
    if (!_grid) return true;
    // A running print job keeps the window, and so the grid, open.
    if (!CanCloseFrame() || !_grid->Close(0)) return false;
    if (kwMDIChildWnd* window = _task.WindowOf(this)) window->close();
    return true;
}
