// Toolbar buttons are actions carrying their command id, like menu items, so the frame
// enables both the same way.
#include "kwapp/frame/kwToolBar.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/app/kwUserSettings.h"
#include "kwapp/resources/kwBitmapResource.h"
#include "kwapp/tasks/kwTask.h"

#include "kwcommon/kwJsonFile.h"
#include "kwcommon/x_log.h"

#include <map>

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {
std::string ChoicesKey() {
    const kwApplication* app = KWGetApp();
    return (app ? app->Abbreviation() : std::string("KW")) + ".toolbar";
}
} // namespace

kwToolBar::kwToolBar(QWidget* parent) : QToolBar(QStringLiteral("Tasks"), parent) {
    setObjectName(QStringLiteral("kwTaskToolBar"));
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

kwToolBar::~kwToolBar() = default;

QIcon kwToolBar::TaskIcon(unsigned short bitmap, const QString& name) {
    QIcon icon = kwBitmapResource::Load(bitmap);
    if (!icon.isNull()) return icon;
    // A task without a bitmap shows its initial on a tile.
    return kwBitmapResource::Render([&name](QPainter& painter, const QRectF& box) {
        const int size = static_cast<int>(box.width());
        painter.setBrush(QColor(70, 110, 160));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), size / 6.0, size / 6.0);
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setPixelSize(size * 2 / 3);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(box, Qt::AlignCenter, name.left(1).toUpper());
    });
}

void kwToolBar::Update() {
    // Drop-down buttons are made anew: the old ones go with their menus (later: this may
    // run from one of their own items).
    for (QAction* action : actions()) {
        if (!action->property("dropDown").isValid()) continue;
        if (QWidget* button = widgetForAction(action)) button->deleteLater();
    }
    clear();
    kwApplication* app = KWGetApp();
    if (!app) return;
    LoadChoices();
    // The framework's own button first: the active report to the default printer.
    const unsigned short printId = kwCommonCommands::ID_FILE_PRINT_DEFAULT;
    auto* print = new QAction(PrintIcon(), QStringLiteral("Print to Default Printer"), this);
    print->setProperty("cmdId", printId);
    print->setProperty("frameworkCommand", true);
    print->setObjectName(QStringLiteral("command%1").arg(printId));
    print->setStatusTip(QString::fromStdString(app->CommandPrompt(printId)));
    print->setEnabled(app->IsCommandEnabled(printId));
    connect(print, &QAction::triggered, this, [printId] {
        if (kwApplication* current = KWGetApp()) current->OnCommand(printId);
    });
    addAction(print);
    addSeparator();
    for (kwTask* task : app->Tasks()) {
        if (!task->OnToolBar()) continue;
        const QString name = QString::fromStdString(task->Name());
        auto* action = new QAction(TaskIcon(task->Bitmap(), name), name, this);
        const unsigned short id = task->ID();
        action->setProperty("cmdId", id);
        action->setObjectName(QStringLiteral("task%1").arg(id));
        action->setToolTip(name);
        action->setStatusTip(QString::fromStdString(task->Description()));
        action->setEnabled(app->IsCommandEnabled(id));
        connect(action, &QAction::triggered, this, [id] {
            if (kwApplication* current = KWGetApp()) current->OnCommand(id);
        });
        addAction(action);
    }
    AddDropDownButtons();
}

void kwToolBar::SetDropDown(const kwToolDropDown& dropDown) {
    bool replaced = false;
    for (kwToolDropDown& present : _dropDowns) {
        if (present.key == dropDown.key) {
            present = dropDown;
            replaced = true;
        }
    }
    if (!replaced) _dropDowns.push_back(dropDown);
    Update();
}

bool kwToolBar::RemoveDropDown(const std::string& key) {
    const auto before = _dropDowns.size();
    std::erase_if(_dropDowns, [&](const kwToolDropDown& present) { return present.key == key; });
    if (_dropDowns.size() == before) return false;
    Update();
    return true;
}

QAction* kwToolBar::DropDownAction(const std::string& key) const {
    for (QAction* action : actions())
        if (action->property("dropDown").toString().toStdString() == key) return action;
    return nullptr;
}

void kwToolBar::AddDropDownButtons() {
    if (_dropDowns.empty()) return;
    addSeparator();
    for (const kwToolDropDown& dropDown : _dropDowns) {
        const QString title = QString::fromStdString(dropDown.title);
        auto* button = new QToolButton(this);
        // The menu belongs to the button, so both go when the toolbar is cleared.
        auto* menu = new QMenu(title, button);
        for (const kwToolDropDown::Group& group : dropDown.groups) {
            QMenu* into = group.title.empty() ? menu : menu->addMenu(QString::fromStdString(group.title));
            for (const auto& [id, text] : group.commands) {
                auto* item = into->addAction(QString::fromStdString(text));
                item->setProperty("cmdId", id);
                if (kwApplication* app = KWGetApp()) {
                    item->setEnabled(app->IsCommandEnabled(id));
                    item->setStatusTip(QString::fromStdString(app->CommandPrompt(id)));
                }
                const unsigned short command = id;
                connect(item, &QAction::triggered, this, [command] {
                    if (kwApplication* current = KWGetApp()) current->OnCommand(command);
                });
            }
        }
        connect(menu, &QMenu::aboutToShow, this, [menu] {
            // Enabling follows the tasks' state at the moment the menu opens.
            kwApplication* app = KWGetApp();
            for (QAction* item : menu->findChildren<QAction*>()) {
                const QVariant id = item->property("cmdId");
                if (id.isValid()) item->setEnabled(app && app->IsCommandEnabled(static_cast<unsigned short>(id.toUInt())));
            }
        });
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setIcon(TaskIcon(dropDown.bitmap, title));
        button->setText(title);
        button->setToolTip(title);
        button->setObjectName(QStringLiteral("dropDown_") + QString::fromStdString(dropDown.key));
        QAction* action = addWidget(button);
        action->setProperty("dropDown", QString::fromStdString(dropDown.key));
        action->setText(title);
    }
}

QIcon kwToolBar::PrintIcon() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("document-print"));
    if (!themed.isNull()) return themed;
    // A printer: paper in, the body, paper out.
    return kwBitmapResource::Render([](QPainter& painter, const QRectF& box) {
        const double u = box.width() / 24.0;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(60, 60, 60), u));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(6 * u, 2 * u, 12 * u, 7 * u));
        painter.setBrush(QColor(70, 110, 160));
        painter.drawRoundedRect(QRectF(2 * u, 8 * u, 20 * u, 9 * u), 2 * u, 2 * u);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(6 * u, 14 * u, 12 * u, 8 * u));
        painter.drawLine(QPointF(8 * u, 17 * u), QPointF(16 * u, 17 * u));
        painter.drawLine(QPointF(8 * u, 19.5 * u), QPointF(14 * u, 19.5 * u));
    });
}

QAction* kwToolBar::TaskAction(unsigned short id) const {
    for (QAction* action : actions())
        if (action->property("cmdId").toInt() == id) return action;
    return nullptr;
}

std::vector<unsigned short> kwToolBar::TaskIds() const {
    std::vector<unsigned short> ids;
    for (QAction* action : actions())
        if (action->property("cmdId").isValid() && !action->property("frameworkCommand").toBool())
            ids.push_back(static_cast<unsigned short>(action->property("cmdId").toUInt()));
    return ids;
}

void kwToolBar::LoadChoices() {
    kwApplication* app = KWGetApp();
    if (!app) return;
    const auto stored = kwUserSettings::Get(ChoicesKey());
    if (!stored) return;
    // The value holds JSON of its own: { "<task id>": true | false }. A damaged one is
    // logged with its place and changes nothing.
    const std::string origin = kwUserSettings::FilePath() + ": " + ChoicesKey();
    nlohmann::json choices;
    std::map<unsigned short, bool> onToolBar;
    std::string error;
    const bool sound = kwJsonParse(*stored, origin, &choices, &error) && kwJsonLoad(origin, &error, [&] {
        const kwJsonNode root(choices, origin);
        for (kwTask* task : app->Tasks())
            if (const auto choice = root.ExpectObject().Find(std::to_string(task->ID()).c_str()))
                onToolBar[task->ID()] = choice->Flag();
    });
    if (!sound) {
        x_log(0, error.c_str());
        return;
    }
    for (kwTask* task : app->Tasks()) {
        if (task->HasToolItemChoice()) continue;
        const auto it = onToolBar.find(task->ID());
        if (it == onToolBar.end()) continue;
        if (it->second) task->SetToolItemInfo(true);
        else task->DeleteToolItem();
    }
}

bool kwToolBar::SaveChoices() {
    kwApplication* app = KWGetApp();
    if (!app) return false;
    nlohmann::json choices = nlohmann::json::object();
    for (kwTask* task : app->Tasks())
        if (task->HasToolItemChoice()) choices[std::to_string(task->ID())] = task->OnToolBar();
    return kwUserSettings::Put(ChoicesKey(), choices.dump());
}
