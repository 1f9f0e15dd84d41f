// The label updaters for the toolkit's own windows and the framework's tasks: a menu item,
// a control's text, a list that its owner refills, a frame's title, a task's names.
// Targets are watched: an updater whose widget is gone does nothing.
#pragma once

#include "qvkit/labels/kclCustomFieldItem.h"

#include <QPointer>

#include <functional>
#include <string>

class QMenu;
class QWidget;
class kwTask;

// A menu item found by its command id (the frame's "cmdId") in the menu or its submenus.
class kclCustFldMenuItem : public kclCustomFieldItem {
public:
    kclCustFldMenuItem(QMenu* menu, unsigned short itemId, const std::string& text);
    kclCustFldMenuItem(const kclCustFldMenuItem& other) = default;
    kclCustFldMenuItem& operator=(const kclCustFldMenuItem& other) = default;
    ~kclCustFldMenuItem() override;
    void Update() override;

private:
    QPointer<QMenu> _menu;
    unsigned short _itemId;
};

// A control's text: a label, a button, a check box, a group box or a line edit.
class kclCustFldzControlText : public kclCustomFieldItem {
public:
    kclCustFldzControlText(QWidget* window, const std::string& text);
    kclCustFldzControlText(const kclCustFldzControlText& other) = default;
    kclCustFldzControlText& operator=(const kclCustFldzControlText& other) = default;
    ~kclCustFldzControlText() override;
    void Update() override;

private:
    QPointer<QWidget> _window;
};

// A list whose items carry term codes: its owner refills it.
class kclCustFldzControlList : public kclCustomFieldItem {
public:
    explicit kclCustFldzControlList(std::function<void()> refill);
    kclCustFldzControlList(const kclCustFldzControlList& other) = default;
    kclCustFldzControlList& operator=(const kclCustFldzControlList& other) = default;
    ~kclCustFldzControlList() override;
    void Update() override;

private:
    std::function<void()> _refill;
};

// A frame window's title.
class kclCustFldzWindowTitle : public kclCustomFieldItem {
public:
    kclCustFldzWindowTitle(QWidget* frame, const std::string& text);
    kclCustFldzWindowTitle(const kclCustFldzWindowTitle& other) = default;
    kclCustFldzWindowTitle& operator=(const kclCustFldzWindowTitle& other) = default;
    ~kclCustFldzWindowTitle() override;
    void Update() override;

private:
    QPointer<QWidget> _frame;
};

// A task's name and, when one was given, its background name. The task must outlive the
// updater (its owner destroys the updater first).
class kclCustFldTaskName : public kclCustomFieldItem {
public:
    kclCustFldTaskName(kwTask* task, const std::string& name);
    kclCustFldTaskName(kwTask* task, const std::string& name, const std::string& backgroundName);
    kclCustFldTaskName(const kclCustFldTaskName& other) = default;
    kclCustFldTaskName& operator=(const kclCustFldTaskName& other) = default;
    ~kclCustFldTaskName() override;
    void Update() override;

private:
    kwTask* _task;
    std::string _backgroundName;
    bool _hasBackgroundName;
};
