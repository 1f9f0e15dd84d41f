// Each updater writes where its kind of target keeps its words; the replacement itself is
// the base's.
#include "qvkit/labels/kclCustFldWidgets.h"

#include "kwapp/tasks/kwTask.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

QAction* FindItem(QMenu* menu, unsigned short id) {
    for (QAction* action : menu->actions()) {
        if (action->property("cmdId").isValid() && action->property("cmdId").toUInt() == id) return action;
        if (QMenu* sub = action->menu()) {
            if (QAction* found = FindItem(sub, id)) return found;
        }
    }
    return nullptr;
}
} // namespace

kclCustFldMenuItem::kclCustFldMenuItem(QMenu* menu, unsigned short itemId, const std::string& text)
    : kclCustomFieldItem(text), _menu(menu), _itemId(itemId) {
    Register();
    Update();
}
kclCustFldMenuItem::~kclCustFldMenuItem() = default;

void kclCustFldMenuItem::Update() {
    if (!_menu) return;
    if (QAction* item = FindItem(_menu, _itemId)) item->setText(Q(Replaced()));
}

kclCustFldzControlText::kclCustFldzControlText(QWidget* window, const std::string& text)
    : kclCustomFieldItem(text), _window(window) {
    Register();
    Update();
}
kclCustFldzControlText::~kclCustFldzControlText() = default;

void kclCustFldzControlText::Update() {
    if (!_window) return;
    const QString text = Q(Replaced());
    if (auto* label = qobject_cast<QLabel*>(_window)) label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(_window)) button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(_window)) group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(_window)) edit->setText(text);
    else _window->setWindowTitle(text);
}

kclCustFldzControlList::kclCustFldzControlList(std::function<void()> refill)
    : kclCustomFieldItem(std::string()), _refill(std::move(refill)) {
    Register();
    Update();
}
kclCustFldzControlList::~kclCustFldzControlList() = default;

void kclCustFldzControlList::Update() {
    if (_refill) _refill();
}

kclCustFldzWindowTitle::kclCustFldzWindowTitle(QWidget* frame, const std::string& text)
    : kclCustomFieldItem(text), _frame(frame) {
    Register();
    Update();
}
kclCustFldzWindowTitle::~kclCustFldzWindowTitle() = default;

void kclCustFldzWindowTitle::Update() {
    if (_frame) _frame->setWindowTitle(Q(Replaced()));
}

kclCustFldTaskName::kclCustFldTaskName(kwTask* task, const std::string& name)
    : kclCustomFieldItem(name), _task(task), _hasBackgroundName(false) {
    Register();
    Update();
}

kclCustFldTaskName::kclCustFldTaskName(kwTask* task, const std::string& name, const std::string& backgroundName)
    : kclCustomFieldItem(name), _task(task), _backgroundName(backgroundName), _hasBackgroundName(true) {
    Register();
    Update();
}
kclCustFldTaskName::~kclCustFldTaskName() = default;

void kclCustFldTaskName::Update() {
    if (!_task) return;
    _task->SetName(Replaced());
    if (_hasBackgroundName) _task->SetBackgroundName(Replaced(_backgroundName));
}
