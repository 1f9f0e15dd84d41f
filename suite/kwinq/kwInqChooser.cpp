// The inquiry chooser's lists come from the company's definitions and its installed
// applications; nothing is written.
#include "kwinq/kwInqChooser.h"

#include "kwinq/kwInqDefinitions.h"

#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xa.h"

#include "ui_kwInqChooser.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cstring>

kwInqChooser::kwInqChooser(const std::string& title, const std::string& application, const std::string& name,
                           QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::kwInqChooser>()) {
    _ui->setupUi(this);
    if (!title.empty()) setWindowTitle(QString::fromStdString(title));
    WireStandardButtons();

    _definitions = kwInqDefinitions::Company();
    std::vector<x_kw_apl_info> installed = xa_get_kw_apl();
    std::erase_if(installed, [](const x_kw_apl_info& info) { return info.hidden != 0; });
    std::stable_sort(installed.begin(), installed.end(),
                     [](const x_kw_apl_info& a, const x_kw_apl_info& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const x_kw_apl_info& info : installed) {
        if (_definitions->InquiriesOf(info.code).empty()) continue;
        _applications.emplace_back(info.code, info.name);
        _ui->application->addItem(QString::fromStdString(std::string(info.code) + " - " + info.name));
    }
    connect(_ui->application, &QComboBox::currentIndexChanged, this, [this] { FillInquiries({}); });
    connect(_ui->inquiries, &QListWidget::currentRowChanged, this, [this] { ShowDriving(); });
    connect(_ui->inquiries, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });

    SelectApplication(application);
    if (!name.empty()) SelectInquiry(name);
}

kwInqChooser::~kwInqChooser() = default;

kwSeam<int(kwInqChooser&)>& kwInqChooser::RunnerSeam() {
    static kwSeam<int(kwInqChooser&)> seam;
    return seam;
}

int kwInqChooser::DoModal() {
    if (RunnerSeam()) return RunnerSeam()(*this);
    return kwDialog::DoModal();
}

void kwInqChooser::SelectApplication(const std::string& code) {
    int index = 0;
    for (size_t i = 0; i < _applications.size(); ++i)
        if (x_equal_nocase(_applications[i].first, code)) index = static_cast<int>(i);
    const QSignalBlocker block(_ui->application);
    _ui->application->setCurrentIndex(_applications.empty() ? -1 : index);
    FillInquiries({});
}

bool kwInqChooser::SelectInquiry(const std::string& name) {
    for (int row = 0; row < _ui->inquiries->count(); ++row) {
        if (x_equal_nocase(_ui->inquiries->item(row)->text().toStdString(), name)) {
            _ui->inquiries->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

void kwInqChooser::FillInquiries(const std::string& select) {
    _ui->inquiries->clear();
    const int index = _ui->application->currentIndex();
    if (index >= 0 && static_cast<size_t>(index) < _applications.size())
        for (const kwInqDefinition* inquiry : _definitions->InquiriesOf(_applications[static_cast<size_t>(index)].first))
            _ui->inquiries->addItem(QString::fromStdString(inquiry->name));
    if (_ui->inquiries->count() > 0 && !SelectInquiry(select)) _ui->inquiries->setCurrentRow(0);
    ShowDriving();
    _ui->ok->setEnabled(_ui->inquiries->currentRow() >= 0);
}

void kwInqChooser::ShowDriving() {
    const int index = _ui->application->currentIndex();
    const QListWidgetItem* item = _ui->inquiries->currentItem();
    if (index < 0 || !item) {
        _ui->driving->clear();
        return;
    }
    const kwInqDefinition* inquiry =
        _definitions->FindInquiry(_applications[static_cast<size_t>(index)].first, item->text().toStdString());
    if (!inquiry) return;
    std::string keys;
    for (const std::string& key : inquiry->keys) keys += (keys.empty() ? "" : ", ") + key;
    _ui->driving->setText(QString::fromStdString("Lists " + inquiry->file + " records" +
                                                 (keys.empty() ? std::string() : ", selected by " + keys) + "."));
}

void kwInqChooser::OnOK() {
    const int index = _ui->application->currentIndex();
    const QListWidgetItem* item = _ui->inquiries->currentItem();
    if (index < 0 || !item) {
        xw_message_box(XW_INFO, windowTitle().toStdString(), "Choose an inquiry first.");
        return;
    }
    _chosenApplication = _applications[static_cast<size_t>(index)].first;
    _chosenName = item->text().toStdString();
    EndDialog(IDOK);
}
