// The data files are found by the issue record type's key (or its link group) in the
// application's data dictionaries, one line per file type where a dictionary has several.
#include "qvcore/newissue/_niLinkWiz3.h"

#include "ui__niLinkWiz3.h"

#include "qvcore/newissue/_niLinkWizard.h"

#include "kwcommon/x_message.h"

#include <QListWidget>

_niLinkWiz3::_niLinkWiz3(_niLinkWizard* wizard)
    : kwPropertyPage(QStringLiteral("File Type"), TEMPLATE_ID), _ui(std::make_unique<Ui::_niLinkWiz3>()),
      _wizard(wizard) {
    _ui->setupUi(this);
    connect(_ui->fileTypes, &QListWidget::itemDoubleClicked, this, [this] { _wizard->Next(); });
}

_niLinkWiz3::~_niLinkWiz3() = default;

QListWidget* _niLinkWiz3::List() const { return _ui->fileTypes; }

int _niLinkWiz3::Rebuild() {
    const QListWidgetItem* selected = _ui->fileTypes->currentItem();
    const QString remembered = selected ? selected->text() : QString();
    _ui->fileTypes->clear();
    _skipped = false;
    const std::vector<xio_fld_def> key =
        qvLinkedKeyFields(_wizard->issueDictionary.FileNum(), _wizard->issueRecordType);
    // A link group the first matching record type carries becomes the issue record's.
    _lines = qvFindDataRecordTypes(_wizard->applAbbrev, key, &_wizard->issueRecord.linkGroup);
    for (size_t i = 0; i < _lines.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(_lines[i].text), _ui->fileTypes);
        item->setData(Qt::UserRole, static_cast<int>(i));
    }
    const int count = _ui->fileTypes->count();
    if (count == 0) {
        _wizard->Message(XW_INFO, "Could not find an associated issue record.  The key fields on the selected issue "
                                  "dictionary record do not match another record in this application.");
    } else if (count > 1) {
        const QList<QListWidgetItem*> same = remembered.isEmpty()
                                                 ? QList<QListWidgetItem*>()
                                                 : _ui->fileTypes->findItems(remembered, Qt::MatchExactly);
        if (!same.isEmpty())
            _ui->fileTypes->setCurrentItem(same.front());
        else
            _ui->fileTypes->setCurrentRow(0);
    }
    return count;
}

void _niLinkWiz3::Take(const qvDataRecordType& line) {
    _wizard->dictName = line.dictName;
    _wizard->recordType = line.recType;
    _wizard->fileMask = line.fileMask;
}

void _niLinkWiz3::TakeOnlyLine() {
    if (_lines.size() != 1) return;
    _ui->fileTypes->setCurrentRow(0);
    Take(_lines.front());
    _skipped = true;
}

bool _niLinkWiz3::OnSetActive() {
    _wizard->comingBack = false;
    _wizard->SetButtons(kwPropertySheet::PSWIZB_BACK | kwPropertySheet::PSWIZB_NEXT);
    _ui->fileTypes->setFocus();
    return kwPropertyPage::OnSetActive();
}

int _niLinkWiz3::OnWizardNext() {
    const QListWidgetItem* item = _ui->fileTypes->currentItem();
    if (!item) return -1;
    const int index = item->data(Qt::UserRole).toInt();
    if (index < 0 || static_cast<size_t>(index) >= _lines.size()) return -1;
    Take(_lines[static_cast<size_t>(index)]);
    return 0;
}

int _niLinkWiz3::OnWizardBack() {
    _wizard->comingBack = true;
    return 0;
}
