// Only changed descriptions are written, each through the company's lists file (which
// rewrites it atomically); a description may not be emptied, since every label that names
// the field would then show its bare code.
#include "kwapp/dialogs/kwCustomDescriptionsDlg.h"

#include "ui_kwCustomDescriptionsDlg.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xk.h"

#include <QHeaderView>

#include <algorithm>
#include <QTableWidget>

namespace {
std::vector<std::pair<int, std::function<void()>>>& Handlers() {
    static std::vector<std::pair<int, std::function<void()>>> handlers;
    return handlers;
}
int g_nextHandler = 1;

std::string CodeText(short code, short sub) {
    return sub ? std::to_string(code) + "." + std::to_string(sub) : std::to_string(code);
}
} // namespace

kwCustomDescriptionsDlg::kwCustomDescriptionsDlg(QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::kwCustomDescriptionsDlg>()) {
    _ui->setupUi(this);
    _ui->descriptions->setColumnCount(2);
    _ui->descriptions->setHorizontalHeaderLabels({QStringLiteral("Code"), QStringLiteral("Description")});
    _ui->descriptions->horizontalHeader()->setSectionResizeMode(COLUMN_CODE, QHeaderView::ResizeToContents);
    _ui->descriptions->horizontalHeader()->setStretchLastSection(true);
    _ui->descriptions->verticalHeader()->hide();
    WireStandardButtons();
}

kwCustomDescriptionsDlg::~kwCustomDescriptionsDlg() = default;

int kwCustomDescriptionsDlg::AddChangedHandler(std::function<void()> handler) {
    Handlers().emplace_back(g_nextHandler, std::move(handler));
    return g_nextHandler++;
}

void kwCustomDescriptionsDlg::RemoveChangedHandler(int id) {
    auto& handlers = Handlers();
    handlers.erase(std::remove_if(handlers.begin(), handlers.end(), [id](const auto& h) { return h.first == id; }),
                   handlers.end());
}

void kwCustomDescriptionsDlg::DescriptionsChanged() {
    const auto handlers = Handlers();
    for (const auto& [id, handler] : handlers) handler();
}

int kwCustomDescriptionsDlg::RowOf(const std::string& code) const {
    for (size_t i = 0; i < _rows.size(); ++i)
        if (CodeText(_rows[i].code, _rows[i].sub) == code) return static_cast<int>(i);
    return -1;
}

bool kwCustomDescriptionsDlg::OnInitDialog() {
    for (const auto& entry : xk_descriptions()) _rows.push_back({entry.code, entry.sub, entry.text});
    QTableWidget* table = _ui->descriptions;
    table->setRowCount(static_cast<int>(_rows.size()));
    for (size_t i = 0; i < _rows.size(); ++i) {
        auto* code = new QTableWidgetItem(QString::fromStdString(CodeText(_rows[i].code, _rows[i].sub)));
        code->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table->setItem(static_cast<int>(i), COLUMN_CODE, code);
        table->setItem(static_cast<int>(i), COLUMN_DESCRIPTION, new QTableWidgetItem());
    }
    return kwDialog::OnInitDialog();
}

bool kwCustomDescriptionsDlg::DoDataExchange(bool save) {
    QTableWidget* table = _ui->descriptions;
    if (!save) {
        for (size_t i = 0; i < _rows.size(); ++i)
            table->item(static_cast<int>(i), COLUMN_DESCRIPTION)->setText(QString::fromStdString(_rows[i].text));
        return true;
    }
    table->setCurrentItem(nullptr); // a description being typed is committed first
    std::vector<size_t> changed;
    for (size_t i = 0; i < _rows.size(); ++i) {
        QTableWidgetItem* item = table->item(static_cast<int>(i), COLUMN_DESCRIPTION);
        const QString text = item->text().trimmed();
        const std::string code = CodeText(_rows[i].code, _rows[i].sub);
        std::string problem;
        if (text.isEmpty()) problem = "The description of " + code + " cannot be empty.";
        else if (text.size() > MAX_LENGTH)
            problem = "The description of " + code + " is longer than " + std::to_string(MAX_LENGTH) + " characters.";
        if (!problem.empty()) {
            xw_wr_message(0, XW_ERROR, problem.c_str(), 0);
            table->setCurrentItem(item);
            table->editItem(item);
            return false;
        }
        if (text.toStdString() != _rows[i].text) changed.push_back(i);
    }
    bool wrote = false;
    for (size_t i : changed) {
        const std::string text = table->item(static_cast<int>(i), COLUMN_DESCRIPTION)->text().trimmed().toStdString();
        const short status = xk_put_description(_rows[i].code, _rows[i].sub, text);
        if (status != 0) {
            const std::string message = "Unable to save the description of " + CodeText(_rows[i].code, _rows[i].sub) +
                                        ".\n\n" + xio_status_text(status);
            xw_wr_message(0, XW_ERROR, message.c_str(), 0);
            if (wrote) DescriptionsChanged(); // what was written shows
            return false;
        }
        _rows[i].text = text;
        wrote = true;
    }
    if (wrote) DescriptionsChanged();
    return true;
}
