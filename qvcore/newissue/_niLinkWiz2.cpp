// The issue dictionary stays open while the same application is chosen, so coming back
// keeps the list and its selection; choosing another application builds it anew.
#include "qvcore/newissue/_niLinkWiz2.h"

#include "ui__niLinkWiz2.h"

#include "qvcore/newissue/_niLinkWizard.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

#include <QListWidget>

_niLinkWiz2::_niLinkWiz2(_niLinkWizard* wizard)
    : kwPropertyPage(QStringLiteral("Record Type"), TEMPLATE_ID), _ui(std::make_unique<Ui::_niLinkWiz2>()),
      _wizard(wizard) {
    _ui->setupUi(this);
    connect(_ui->recordTypes, &QListWidget::itemDoubleClicked, this, [this] { _wizard->Next(); });
}

_niLinkWiz2::~_niLinkWiz2() = default;

QListWidget* _niLinkWiz2::List() const { return _ui->recordTypes; }

std::string _niLinkWiz2::LineText(const std::string& applAbbrev, const std::string& recordTypeName) {
    std::string name = x_init_caps(recordTypeName);
    const size_t issue = name.find("Issue");
    if (issue != std::string::npos) name.erase(issue);
    return applAbbrev + " - " + name;
}

std::string _niLinkWiz2::OpenFailureReason(short status) {
    switch (status) {
    case XIO_NO_DRIVE: return "The drive in the dictionary file name is not available.";
    case XIO_ABSENT: return "The dictionary file was not found.";
    // The data library answers a dictionary it cannot read as malformed (18), and one of a
    // later data version than it knows (19); they are the corrupt and incompatible files.
    case XIO_CORRUPT:
    case XIO_DICTIONARY: return "The dictionary file is corrupt.";
    case XIO_CANCELLED:
    case XIO_VERSION: return "The dictionary file is incompatible.";
    default: return {};
    }
}

bool _niLinkWiz2::OpenIssueDictionary() {
    kwioDictFile& dict = _wizard->issueDictionary;
    if (dict.IsOpen()) {
        xio_def def{};
        xio_get_def(dict.FileNum(), &def, 0);
        if (std::string(def.abbrev).substr(0, 2) == _wizard->applAbbrev) return false;
        dict.Close();
    }
    _ui->recordTypes->clear();
    const std::string name = _wizard->applAbbrev + "Z";
    const short status = dict.Open(name);
    if (status != XIO_OK) {
        _wizard->Message(XW_ERROR, "Could not open the " + name + " dictionary.  " + OpenFailureReason(status));
        dict.Close();
        return false;
    }
    return true;
}

bool _niLinkWiz2::OnSetActive() {
    _wizard->SetButtons(kwPropertySheet::PSWIZB_BACK | kwPropertySheet::PSWIZB_NEXT);
    if (_wizard->comingBack) {
        _wizard->comingBack = false;
        _ui->recordTypes->setFocus();
        return kwPropertyPage::OnSetActive();
    }
    if (OpenIssueDictionary()) {
        const short dict = _wizard->issueDictionary.FileNum();
        xio_def def{};
        xio_get_def(dict, &def, 0);
        for (short type = 1; type <= def.recordTypeCount; ++type) {
            xio_rec_def rec{};
            if (xio_get_rec_def(dict, type, &rec, 1) != XIO_OK) continue;
            auto* item = new QListWidgetItem(QString::fromStdString(LineText(_wizard->applAbbrev, rec.name)),
                                             _ui->recordTypes);
            item->setData(Qt::UserRole, static_cast<int>(type));
        }
        if (_ui->recordTypes->count() == 0)
            _wizard->Message(XW_INFO, "The current application does not store issues.  The application issue "
                                      "dictionary is empty.");
    }
    if (_ui->recordTypes->count() > 0) _ui->recordTypes->setCurrentRow(0);
    _ui->recordTypes->setFocus();
    return kwPropertyPage::OnSetActive();
}

int _niLinkWiz2::OnWizardNext() {
    const QListWidgetItem* item = _ui->recordTypes->currentItem();
    if (!item || !_wizard->issueDictionary.IsOpen()) return -1;
    const auto type = static_cast<short>(item->data(Qt::UserRole).toInt());
    xio_rec_def rec{};
    if (xio_get_rec_def(_wizard->issueDictionary.FileNum(), type, &rec, 1) != XIO_OK) return -1;
    _wizard->issueRecordType = type;
    _wizard->issueRecord = rec;
    return _wizard->EnterFileTypeStep() ? 0 : -1;
}

int _niLinkWiz2::OnWizardBack() {
    _wizard->comingBack = true;
    return 0;
}
