// The names are checked against the designs on every save of the page's values, not only
// when a name was typed: a design deleted since it was chosen is found out here rather than
// at the first print.
#include "qvcore/options/PPSysPrefs.h"

#include "ui_PPSysPrefs.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvkit/paths/kclFileSelection.h"
#include "qvkit/paths/kclPaths.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/tasks/kwTask.h"
#include "kwapp/widgets/kwEdit.h"

#include "kwcommon/x_message.h"

#include <QCheckBox>
#include <QPushButton>

#include <cstdio>

PPSysPrefs::PPSysPrefs()
    : kwPropertyPage(QStringLiteral("System Controls"), TEMPLATE_ID),
      _ui(std::make_unique<Ui::PPSysPrefs>()), _autoFilter(Prefs::AutoFilter()),
      _autoFilterPrivileged(Prefs::AutoFilterPrivileged()), _formName(Prefs::FormName()),
      _listName(Prefs::ListName()) {
    _ui->setupUi(this);
    _ui->formName->SetByteLimit(255);
    _ui->listName->SetByteLimit(255);
    connect(_ui->formBrowse, &QPushButton::clicked, this, [this] { OnBrowse(_ui->formName); });
    connect(_ui->listBrowse, &QPushButton::clicked, this, [this] { OnBrowse(_ui->listName); });
    const auto modified = [this] { SetModified(true); };
    connect(_ui->autoFilter, &QCheckBox::toggled, this, modified);
    connect(_ui->autoFilterPrivileged, &QCheckBox::toggled, this, modified);
    connect(_ui->formName, &QLineEdit::textEdited, this, modified);
    connect(_ui->listName, &QLineEdit::textEdited, this, modified);
}

PPSysPrefs::~PPSysPrefs() = default;

void PPSysPrefs::OnBrowse(kwEdit* edit) {
    std::string design = edit->Text();
    if (kclSelectReportFromList(design, CHOOSER_TITLE, 0, 0) == 0) return;
    edit->SetText(design);
    SetModified(true);
}

bool PPSysPrefs::CheckDesign(kwEdit* edit) {
    char name[256];
    std::snprintf(name, sizeof name, "%s", edit->Text().c_str());
    if (kclValidateDesignName(name) != 0) return true;
    const kwApplication* app = KWGetApp();
    const kwTask* options = app ? app->FindTask(QV_CMD_OPTIONS) : nullptr;
    xw_message_box(XW_INFO, options ? options->Name() : std::string("Options"), DESIGN_MISSING);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool PPSysPrefs::DoDataExchange(bool save) {
    if (!save) {
        for (auto [box, value] : {std::pair{_ui->autoFilter, _autoFilter},
                                  std::pair{_ui->autoFilterPrivileged, _autoFilterPrivileged}}) {
            const QSignalBlocker quiet(box);
            box->setChecked(value != 0);
        }
        _ui->formName->SetText(_formName);
        _ui->listName->SetText(_listName);
        return true;
    }
    // The form's name first; the columnar one is not looked at while the form's is wrong.
    if (!CheckDesign(_ui->formName) || !CheckDesign(_ui->listName)) return false;
    _autoFilter = _ui->autoFilter->isChecked();
    _autoFilterPrivileged = _ui->autoFilterPrivileged->isChecked();
    _formName = _ui->formName->Text();
    _listName = _ui->listName->Text();
    return true;
}

bool PPSysPrefs::OnApply() {
    if (IsCreated() && !DoDataExchange(true)) return false;
    Prefs::SetAutoFilter(_autoFilter != 0);
    Prefs::SetAutoFilterPrivileged(_autoFilterPrivileged != 0);
    Prefs::SetFormName(_formName);
    Prefs::SetListName(_listName);
    if (!Prefs::SaveSystem())
        xw_wr_message(0, XW_ERROR, "Unable to save the system controls.  They apply until the program ends.", 0);
    return kwPropertyPage::OnApply();
}
