// The fields of a suite window: one class per field type, each owning its Qt widgets on the
// window's cell canvas, its value buffer and what it showed when the program last wrote it
// (so that "changed" means "differs from what the program wrote", not "was touched").
#pragma once

#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xwScreenFile.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QWidget;
class xwWindow;

// "~Save" -> "&Save" for Qt ("&" itself doubled, "~~" a plain "~").
QString xwCaption(const std::string& text);

class xwField {
public:
    xwField(xwWindow* window, const xwFieldDef& def);
    virtual ~xwField();
    xwField(const xwField&) = delete;
    xwField& operator=(const xwField&) = delete;

    // Makes the widgets on canvas. Called once, before anything else.
    virtual void Build(QWidget* canvas) = 0;

    short Number() const { return _def.number; }
    short Type() const { return _def.type; }
    const xwFieldDef& Def() const { return _def; }

    // The buffer.
    virtual short Put(const x_value_def& value) = 0;
    virtual short Get(x_value_def* value) const = 0;
    // Buffer -> widgets, then what is shown counts as written (unchanged).
    void Show();
    // Places the widgets in their cells.
    virtual void Place();
    // A text saying what the user would see, for the changed test.
    virtual QString Shown() const = 0;
    virtual bool Changed() const;
    void SetChanged(bool changed);

    // Checks the value before a read may end; false with *problem for the user.
    virtual bool Check(std::string* problem) const;

    // The widget that takes the focus, and every widget of the field (item 0: all; a radio
    // item's own widget for item > 0).
    virtual QWidget* FocusWidget() const = 0;
    virtual QWidget* Widget(short item) const;
    bool Owns(const QWidget* widget) const;

    xw_field_def FieldDef() const;
    void ChangeDef(const xw_field_def& def);

    virtual short SetCaption(const std::string& text);
    virtual short SetItemText(short item, const std::string& text);

    // Lists only.
    virtual short InsertRows(short row, const xw_list_entry* entries, short count);
    virtual short GetRow(short row, xw_list_entry* entry) const;
    virtual short DeleteRows(short row, short count);
    virtual short RowCount() const { return 0; }

protected:
    // Shows the buffer without telling anyone (the caller holds the writing guard).
    virtual void ShowBuffer() = 0;
    // The user changed the widget: take it into the buffer and tell the window.
    void UserChanged();
    virtual void TakeFromWidget() {}
    void PlaceLabel(QWidget* canvas);
    void Register(QWidget* widget);

    xwWindow* _window;
    xwFieldDef _def;
    QLabel* _label = nullptr;
    std::vector<QWidget*> _widgets;
    QString _written;
    bool _forcedChanged = false;
    bool _writing = false;
    bool _visible = true;
};

// Makes the field of the definition's type.
std::unique_ptr<xwField> xwMakeField(xwWindow* window, const xwFieldDef& def);
