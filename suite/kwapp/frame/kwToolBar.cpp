// Toolbar buttons are actions carrying their command id, like menu items, so the frame
// enables both the same way.
#include "kwapp/frame/kwToolBar.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwUserSettings.h"
#include "kwapp/resources/kwBitmapResource.h"
#include "kwapp/tasks/kwTask.h"

#include "kwcommon/kwJsonFile.h"
#include "kwcommon/x_log.h"

#include <map>

#include <QAction>
#include <QPainter>
#include <QPixmap>

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
    clear();
    kwApplication* app = KWGetApp();
    if (!app) return;
    LoadChoices();
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
}

QAction* kwToolBar::TaskAction(unsigned short id) const {
    for (QAction* action : actions())
        if (action->property("cmdId").toInt() == id) return action;
    return nullptr;
}

std::vector<unsigned short> kwToolBar::TaskIds() const {
    std::vector<unsigned short> ids;
    for (QAction* action : actions())
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
