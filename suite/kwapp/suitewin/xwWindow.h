// One suite window on Qt: a dialog window whose client area is a canvas of character cells
// holding the fields of a panel and the texts the program writes, or a host for one of
// the suite's dialogs. It runs the panel's read loop and sends the window's events to its
// callback. Only the window layer (xw_*) makes and closes these.
#pragma once

#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xwScreenFile.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;
class QLabel;
class QVBoxLayout;
class xwField;

class xwWindow : public QDialog {
    Q_OBJECT
public:
    // over: the window it belongs to (stays on top of it, centred over it); not its Qt
    // parent, so that the program may disable its own window meanwhile.
    xwWindow(short handle, short kind, QWidget* over);
    ~xwWindow() override;

    short Handle() const { return _handle; }
    short Kind() const { return _kind; }

    // Geometry in cells.
    QSize CellSize() const { return _cell; }
    QRect CellRect(int row, int column, int width, int height) const;
    QWidget* Canvas() const { return _canvas; }

    // The definition: position, size, titles, flags, callback.
    void ApplyDef(const xw_window_def& def);
    void FillDef(xw_window_def* def) const;
    void SetTitles(const std::string& title, const std::string& subtitle);

    void BuildPanel(const xwPanelDef& panel, short screen);
    xwField* Field(short number) const;
    const std::vector<std::unique_ptr<xwField>>& Fields() const { return _fields; }
    bool Changed() const;
    short ActiveField() const { return _activeField; }
    void SetActiveField(short field) { _activeField = field; }
    bool Focus(short field);

    // The text layer.
    void WriteString(int row, int column, int style, const std::string& text);
    void ClearPart(int firstRow, int lastRow, int firstColumn, int lastColumn);

    // The read loop (xw_rd_panel).
    short Read(xw_read_def* read);
    bool Reading() const { return _read != nullptr; }

    // Hosting one suite dialog: content fills the window until EndHosted; a close request
    // (close box, Esc) meanwhile goes to closeRequest.
    bool Hosting() const { return _hosted != nullptr; }
    void Host(QWidget* content, std::function<void()> closeRequest);
    // Takes the content out, hides the window and sends event (205 or 206).
    void EndHosted(short event);

    // Sends an event to the callback: its answer, or noCallback when there is none.
    short Fire(short event, short p1, short p2, short p3, short noCallback);

    // From the fields.
    void FieldChangedByUser(xwField* field);
    void ButtonPressed(xwField* field);

    // Closing for good (xw_cls_window): ends a read, then the window goes.
    void CloseForGood();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct ReadState;
    void CloseRequest();
    void EndRead(short exitKey, short action, short field, bool forced);
    bool CheckFields();
    void ResizeToCells();
    void Position();
    void RenderRow(int row);

    short _handle;
    short _kind;
    QPointer<QWidget> _over;
    short _screen = 0;
    short _activeField = 0;
    QSize _cell;
    QWidget* _canvas = nullptr;
    QVBoxLayout* _layout = nullptr;
    std::vector<std::unique_ptr<xwField>> _fields;
    xw_window_def _def{};
    std::string _title;
    std::string _subtitle;
    bool _positioned = false;
    bool _closingForGood = false;

    struct Cell {
        char32_t character = U' ';
        int style = 0;
        bool written = false;
    };
    std::map<int, std::vector<Cell>> _text;            // row -> cells from column 1
    std::map<int, std::vector<QPointer<QLabel>>> _textLabels; // row -> its labels

    ReadState* _read = nullptr;
    QPointer<QWidget> _hosted;
    std::function<void()> _hostedCloseRequest;
};
