// The list comes from the company's operators file each time the dialog opens, so an
// operator added by the administrator meanwhile is offered at once.
#include "kwapp/suitedlg/xsSelectAccessDlg.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/tasks/kwTask.h"

#include "kwcommon/xs.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <strings.h>

namespace {
bool SameId(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ::strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}
} // namespace

xsSelectAccessDlg::xsSelectAccessDlg(unsigned short command, const std::string& startId,
                                     QWidget* parent)
    : kwDialog(0, parent) {
    QString title = QStringLiteral("Select Operator");
    if (const kwApplication* app = KWGetApp()) {
        if (const kwTask* task = app->FindTask(command))
            title += QStringLiteral(" - ") + QString::fromStdString(task->Name());
    }
    setWindowTitle(title);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Operators:"), this);
    layout->addWidget(label);
    _list = new QTreeWidget(this);
    _list->setProperty("ctrlId", IDC_OPERATORS);
    _list->setRootIsDecorated(false);
    _list->setHeaderLabels({QStringLiteral("Operator id"), QStringLiteral("Name")});
    _list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    _list->setMinimumSize(320, 180);
    label->setBuddy(_list);
    layout->addWidget(_list, 1);

    for (const xs_oper_def& oper : xs_all_operators()) {
        auto* item = new QTreeWidgetItem(_list);
        item->setText(0, QString::fromUtf8(oper.id));
        item->setText(1, QString::fromUtf8(oper.name));
    }
    if (!Select(startId) && _list->topLevelItemCount() > 0)
        _list->setCurrentItem(_list->topLevelItem(0));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setProperty("ctrlId", IDOK);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setProperty("ctrlId", IDCANCEL);
    layout->addWidget(buttons);
    WireStandardButtons();
    connect(_list, &QTreeWidget::itemDoubleClicked, this, [this] { OnOK(); });
}

xsSelectAccessDlg::~xsSelectAccessDlg() = default;

int xsSelectAccessDlg::OperatorCount() const {
    return _list->topLevelItemCount();
}

bool xsSelectAccessDlg::Select(const std::string& id) {
    for (int row = 0; row < _list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = _list->topLevelItem(row);
        if (SameId(item->text(0).toStdString(), id)) {
            _list->setCurrentItem(item);
            _list->scrollToItem(item);
            return true;
        }
    }
    return false;
}

bool xsSelectAccessDlg::DoDataExchange(bool save) {
    if (!save) return true;
    const QTreeWidgetItem* item = _list->currentItem();
    if (!item) return false; // nothing to take: OK stays without effect
    _chosenId = item->text(0).toStdString();
    _chosenName = item->text(1).toStdString();
    return true;
}
