// Every task can have a button; the list offers them in the toolbar's own order.
#include "kwapp/sheets/kwToolBarPage.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/tasks/kwTask.h"

#include "ui_kwToolBarPage.h"

#include <QListWidget>

kwToolBarPage::kwToolBarPage()
    : kwPropertyPage(QStringLiteral("Toolbar")), _ui(std::make_unique<Ui::kwToolBarPage>()) {
    _ui->setupUi(this);
    _list = _ui->taskList;
    connect(_list, &QListWidget::itemChanged, this, [this] { SetModified(true); });
}

kwToolBarPage::~kwToolBarPage() = default;

bool kwToolBarPage::OnInitDialog() {
    const QSignalBlocker quiet(_list);
    _list->clear();
    kwApplication* app = KWGetApp();
    if (!app) return true;
    kwToolBar::LoadChoices();
    for (kwTask* task : app->Tasks()) {
        const QString name = QString::fromStdString(task->Name());
        auto* item = new QListWidgetItem(kwToolBar::TaskIcon(task->Bitmap(), name), name, _list);
        item->setData(Qt::UserRole, task->ID());
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(task->OnToolBar() ? Qt::Checked : Qt::Unchecked);
    }
    return true;
}

bool kwToolBarPage::OnApply() {
    kwApplication* app = KWGetApp();
    if (app) {
        for (int row = 0; row < _list->count(); ++row) {
            const QListWidgetItem* item = _list->item(row);
            kwTask* task = app->FindTask(static_cast<unsigned short>(item->data(Qt::UserRole).toUInt()));
            if (!task) continue; // removed while the sheet was open
            const bool wanted = item->checkState() == Qt::Checked;
            if (wanted == task->OnToolBar() && !task->HasToolItemChoice()) continue;
            if (wanted) task->SetToolItemInfo(true);
            else task->DeleteToolItem();
        }
        kwToolBar::SaveChoices();
        if (kwAppFrame* frame = app->MainWindow(); frame && frame->ToolBar()) frame->ToolBar()->Update();
    }
    return kwPropertyPage::OnApply();
}
