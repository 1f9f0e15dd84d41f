// An application's data files are the dictionaries whose abbreviation starts with its
// code; a formula names fields of the file's first record type. The file is re-read after
// every change, so formulas saved on another workstation show up too.
#include "kwapp/formulas/xfFormulaEditor.h"

#include "ui_xfFormulaEditor.h"

#include "kwprint/trFormula.h"
#include "kwprint/trFormulaFields.h"
#include "kwprint/trFormulaFile.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

#include <algorithm>
#include <filesystem>

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The first record type of a dictionary (the one its records are).
short FirstRecordType(short file) {
    xio_def def{};
    if (xio_get_def(file, &def, 0) != XIO_OK) return 1;
    for (short type = 1; type < 100; ++type) {
        xio_rec_def rec{};
        if (xio_get_rec_def(file, type, &rec, 0) == XIO_OK) return type;
    }
    return 1;
}
} // namespace

xfFormulaEditor::xfFormulaEditor(const std::string& application, QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::xfFormulaEditor>()), _application(Upper(application)) {
    _ui->setupUi(this);
    setWindowTitle(Q("Formulas - " + _application));
    WireStandardButtons();
    connect(_ui->newButton, &QPushButton::clicked, this, [this] { OnNew(); });
    connect(_ui->saveButton, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(_ui->deleteButton, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(_ui->checkButton, &QPushButton::clicked, this, [this] { OnCheck(); });
    connect(_ui->file, &QComboBox::currentIndexChanged, this, [this] { FillFields(); });
    connect(_ui->fields, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        _ui->expression->insertPlainText(item->data(Qt::UserRole).toString());
        _ui->expression->setFocus();
    });
    connect(_ui->formulas, &QListWidget::currentRowChanged, this, [this](int row) {
        if (_switching) return;
        const std::string wanted = row >= 0 ? _ui->formulas->item(row)->text().toStdString() : std::string();
        if (!LeaveCurrent()) {
            // The user stays with the formula being edited.
            _switching = true;
            _ui->formulas->setCurrentRow(_shownRow);
            _switching = false;
            return;
        }
        // Saving may have reordered the list: find the wanted formula again.
        int found = -1;
        for (int i = 0; i < _ui->formulas->count(); ++i)
            if (_ui->formulas->item(i)->text().toStdString() == wanted) found = i;
        _switching = true;
        _ui->formulas->setCurrentRow(found);
        _switching = false;
        ShowFormula(found);
    });
}

xfFormulaEditor::~xfFormulaEditor() = default;

bool xfFormulaEditor::OnInitDialog() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kwCompany::DictionaryFolder(), ec)) {
        const std::string stem = entry.path().stem().string();
        if (Upper(entry.path().extension().string()) != ".DCT" || Upper(stem).rfind(_application, 0) != 0) continue;
        _files.push_back(Upper(stem));
    }
    std::sort(_files.begin(), _files.end());
    for (const std::string& file : _files) {
        kwioDictFile dict;
        std::string label = file;
        if (dict.Open(file) == XIO_OK) {
            xio_def def{};
            if (xio_get_def(dict.FileNum(), &def, 0) == XIO_OK && def.description[0])
                label += " - " + std::string(def.description);
        }
        _ui->file->addItem(Q(label), Q(file));
    }
    Reload("");
    const int first = _ui->formulas->count() > 0 ? 0 : -1;
    _switching = true;
    _ui->formulas->setCurrentRow(first);
    _switching = false;
    ShowFormula(first); // nothing was being edited yet: no question
    return true;
}

void xfFormulaEditor::Reload(const std::string& select) {
    std::vector<trFormulaFile::Entry> entries;
    std::string error;
    if (!trFormulaFile::Read(_application, &entries, &error)) xw_wr_message(0, XW_ERROR, error.c_str(), 0);
    _switching = true;
    _ui->formulas->clear();
    int selected = -1;
    for (const auto& entry : entries) {
        auto* item = new QListWidgetItem(Q(entry.name), _ui->formulas);
        item->setToolTip(Q(entry.expression));
        if (!select.empty() && x_equal_nocase(entry.name, select)) selected = _ui->formulas->count() - 1;
    }
    _ui->formulas->setCurrentRow(selected);
    _switching = false;
}

void xfFormulaEditor::FillFields() {
    _ui->fields->clear();
    const std::string file = _ui->file->currentData().toString().toStdString();
    kwioDictFile dict;
    if (file.empty() || dict.Open(file) != XIO_OK) return;
    const short type = FirstRecordType(dict.FileNum());
    xio_rec_def rec{};
    if (xio_get_rec_def(dict.FileNum(), type, &rec, 0) != XIO_OK) return;
    for (short n = rec.firstField; n < rec.firstField + rec.fieldCount; ++n) {
        xio_fld_def def{};
        if (xio_get_fld_def(dict.FileNum(), n, &def, 0, 0) != XIO_OK || def.hidden) continue;
        auto* item = new QListWidgetItem(Q(std::string(def.name) + "  " + def.description), _ui->fields);
        item->setData(Qt::UserRole, Q(def.name));
    }
}

void xfFormulaEditor::ShowFormula(int row) {
    trFormulaFile::Entry entry;
    _shownName.clear();
    _shownRow = row;
    if (row >= 0) {
        std::string error;
        const std::string name = _ui->formulas->item(row)->text().toStdString();
        if (trFormulaFile::Find(_application, name, &entry, &error)) _shownName = entry.name;
    }
    _ui->name->setText(Q(entry.name));
    const int file = _ui->file->findData(Q(Upper(entry.file)));
    _ui->file->setCurrentIndex(file >= 0 ? file : 0);
    _ui->expression->setPlainText(Q(entry.expression));
    _ui->description->setText(Q(entry.description));
    _ui->result->clear();
    _ui->deleteButton->setEnabled(!_shownName.empty());
    _shownText = (_ui->name->text() + '\n' + _ui->file->currentText() + '\n' + _ui->expression->toPlainText() + '\n' +
                  _ui->description->text()).toStdString();
}

bool xfFormulaEditor::Modified() const {
    const std::string now = (_ui->name->text() + '\n' + _ui->file->currentText() + '\n' +
                             _ui->expression->toPlainText() + '\n' + _ui->description->text()).toStdString();
    return now != _shownText;
}

bool xfFormulaEditor::LeaveCurrent() {
    if (!Modified()) return true;
    const short answer = xw_wr_message(0, XW_SAVE, "Do you want to save changes to the formula?", 0);
    if (answer == XW_ANSWER_YES) return OnSave();
    return answer == XW_ANSWER_NO;
}

void xfFormulaEditor::OnNew() {
    if (!LeaveCurrent()) return;
    _switching = true;
    _ui->formulas->setCurrentRow(-1);
    _switching = false;
    ShowFormula(-1);
    _ui->name->setFocus();
}

bool xfFormulaEditor::OnCheck() {
    const std::string file = _ui->file->currentData().toString().toStdString();
    kwioDictFile dict;
    if (file.empty() || dict.Open(file) != XIO_OK) {
        _ui->result->setText(Q("There is no data file of " + _application + " to base a formula on."));
        return false;
    }
    trFormula::Error error;
    const auto formula = trFormula::Compile(_ui->expression->toPlainText().toStdString(),
                                            trFormulaFieldTypes(dict.FileNum(), FirstRecordType(dict.FileNum())), &error);
    if (!formula) {
        _ui->result->setText(Q(error.Text()));
        // The cursor at the error: positions count characters as the text shows them.
        QTextCursor cursor(_ui->expression->document());
        cursor.setPosition(std::clamp(error.position - 1, 0, static_cast<int>(_ui->expression->toPlainText().size())));
        _ui->expression->setTextCursor(cursor);
        _ui->expression->setFocus();
        return false;
    }
    _ui->result->setText(Q(std::string("The formula holds: its value is ") + trFormula::TypeName(formula->Type()) + "."));
    return true;
}

bool xfFormulaEditor::OnSave() {
    trFormulaFile::Entry entry;
    entry.name = x_trim(_ui->name->text().toStdString());
    entry.file = _ui->file->currentData().toString().toStdString();
    entry.expression = _ui->expression->toPlainText().toStdString();
    entry.description = x_trim(_ui->description->text().toStdString());
    if (entry.name.empty()) {
        xw_wr_message(0, XW_ERROR, "Enter a name for the formula.", 0);
        _ui->name->setFocus();
        return false;
    }
    if (!OnCheck()) {
        const std::string text = "The formula cannot be saved.\n\n" + _ui->result->text().toStdString();
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        _ui->expression->setFocus();
        return false;
    }
    std::string error;
    if (!trFormulaFile::Put(_application, _shownName, entry, &error)) {
        xw_wr_message(0, XW_ERROR, error.c_str(), 0);
        return false;
    }
    if (_callback) _callback(entry.name);
    Reload(entry.name);
    ShowFormula(_ui->formulas->currentRow());
    _ui->result->setText(Q("Saved."));
    return true;
}

void xfFormulaEditor::OnDelete() {
    if (_shownName.empty()) return;
    const std::string question = "Delete the formula \"" + _shownName + "\"?";
    if (xw_wr_message(0, XW_YESNO, question.c_str(), 0) != XW_ANSWER_YES) return;
    std::string error;
    if (!trFormulaFile::Remove(_application, _shownName, &error)) {
        xw_wr_message(0, XW_ERROR, error.c_str(), 0);
        return;
    }
    Reload("");
    _shownText.clear();
    if (_ui->formulas->count() > 0) {
        _switching = true;
        _ui->formulas->setCurrentRow(0);
        _switching = false;
        ShowFormula(0);
    } else {
        ShowFormula(-1);
    }
}

void xfFormulaEditor::OnCancel() {
    if (!LeaveCurrent()) return;
    kwDialog::OnCancel();
}
