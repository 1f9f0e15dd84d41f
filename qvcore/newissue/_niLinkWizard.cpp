// The wizard holds what its steps chose; each step reads the choices before it. A step
// that has only one answer (the file type, when one data file holds the records) is passed
// over going forward and coming back alike.
#include "qvcore/newissue/_niLinkWizard.h"

#include "qvcore/newissue/_niLinkWiz1.h"
#include "qvcore/newissue/_niLinkWiz2.h"
#include "qvcore/newissue/_niLinkWiz3.h"
#include "qvcore/newissue/_niLinkWiz4.h"
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"

#include "qvkit/layout/kclDialogUnits.h"

#include "kwcommon/x_message.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {

// The button row of the sheet: the layout that holds its Cancel button.
QBoxLayout* RowOf(QLayout* layout, QWidget* button) {
    if (!layout) return nullptr;
    if (layout->indexOf(button) >= 0) return qobject_cast<QBoxLayout*>(layout);
    for (int i = 0; i < layout->count(); ++i)
        if (QBoxLayout* row = RowOf(layout->itemAt(i)->layout(), button)) return row;
    return nullptr;
}

} // namespace

_niLinkWizard::_niLinkWizard(short programNumber, QWidget* parent)
    : kwPropertySheet(QStringLiteral("Link Wizard"), parent, HELP_ID), _programNumber(programNumber),
      _result(std::make_unique<LinkedRecord>()) {
    _step1 = new _niLinkWiz1(this);
    _step2 = new _niLinkWiz2(this);
    _step3 = new _niLinkWiz3(this);
    _step4 = new _niLinkWiz4(this);
    AddPage(_step1);
    AddPage(_step2);
    AddPage(_step3);
    AddPage(_step4);
    SetWizardMode();
    ArrangeButtons();
    // The sheet shows Next or Finish; the wizard keeps all five buttons in their places
    // and tells by enabling them.
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, ID_CANCEL})
        connect(Button(id), &QPushButton::clicked, this, [this] { ShowAllButtons(); });
}

_niLinkWizard::~_niLinkWizard() = default;

void _niLinkWizard::ArrangeButtons() {
    QPushButton* cancel = Button(ID_CANCEL);
    QBoxLayout* row = RowOf(layout(), cancel);
    if (!row) return;
    // Cancel, Back touching Next, Finish, Help: each 46 dialog units wide, 3 apart.
    const int width = kclDialogUnitsToPixelsX(this, 46);
    const int gap = kclDialogUnitsToPixelsX(this, 3);
    const int order[] = {ID_CANCEL, ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, ID_HELP};
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, ID_OK, ID_CANCEL, ID_APPLY, ID_HELP})
        row->removeWidget(Button(id));
    while (row->count() > 0)
        delete row->takeAt(0);
    row->setSpacing(0);
    row->addStretch(1);
    for (int id : order) {
        QPushButton* button = Button(id);
        button->setFixedWidth(width);
        if (id != ID_CANCEL && id != ID_WIZNEXT) row->addSpacing(gap);
        row->addWidget(button);
    }
    row->addSpacing(kclDialogUnitsToPixelsX(this, 7));
    for (int id : {ID_OK, ID_APPLY}) {
        Button(id)->hide();
        Button(id)->setEnabled(false);
        row->addWidget(Button(id));
    }
    setMinimumWidth(kclDialogUnitsToPixelsX(this, 240 + 14));
}

void _niLinkWizard::ShowAllButtons() {
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, ID_CANCEL, ID_HELP})
        Button(id)->show();
}

bool _niLinkWizard::OnInitDialog() {
    const bool ok = kwPropertySheet::OnInitDialog();
    ShowAllButtons();
    return ok;
}

void _niLinkWizard::SetButtons(int flags) {
    SetWizardButtons(flags);
    ShowAllButtons();
}

void _niLinkWizard::Next() {
    if (Button(ID_WIZNEXT)->isEnabled()) Button(ID_WIZNEXT)->click();
}

void _niLinkWizard::Back() {
    if (Button(ID_WIZBACK)->isEnabled()) Button(ID_WIZBACK)->click();
}

void _niLinkWizard::Finish() {
    QPushButton* finish = Button(ID_WIZFINISH);
    if (!finish->isEnabled()) return;
    finish->setDefault(true);
    finish->click();
}

short _niLinkWizard::Message(short type, const std::string& text) const {
    return xw_message_box(type, qvLiteral(QVL_NEW_ISSUE, -1, QVCORE_MODULE).str(), text);
}

std::unique_ptr<LinkedRecord> _niLinkWizard::TakeResult() {
    if (!_result || _result->applAbbrev.empty()) return nullptr;
    return std::move(_result);
}

bool _niLinkWizard::EnterFileTypeStep() {
    comingBack = false;
    const int lines = _step3->Rebuild();
    if (lines != 1) {
        previousStep = 2;
        return true;
    }
    _step3->TakeOnlyLine();
    previousStep = 1;
    SetActivePage(STEP_RECORD);
    ShowAllButtons();
    return false;
}

bool _niLinkWizard::LeaveRecordStep() {
    comingBack = true;
    if (!_step3->Skipped()) return true;
    SetActivePage(STEP_RECORD_TYPE);
    ShowAllButtons();
    return false;
}
