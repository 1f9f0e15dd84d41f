// The standard up-down (spin) control: two arrow buttons stacked, an optional partner
// ("buddy") window, a position within a range, and auto-repeat while a button is held.
// With buddy-int on, each step writes the position into the buddy's text.
#pragma once

#include <QBasicTimer>
#include <QPointer>
#include <QWidget>

class QLineEdit;

class kclSpinButtonCtrl : public QWidget {
    Q_OBJECT
public:
    explicit kclSpinButtonCtrl(QWidget* parent = nullptr);
    ~kclSpinButtonCtrl() override;

    void SetBuddy(QWidget* buddy);
    QWidget* GetBuddy() const { return _buddy; }
    void SetRange(int lower, int upper);
    int GetPos() const { return _pos; }
    void SetPos(int pos);
    void SetBuddyInt(bool on) { _buddyInt = on; }
    bool BuddyInt() const { return _buddyInt; }
    // Auto-repeat: the first repeat after firstDelay, then one every interval (ms).
    void SetRepeatTimes(int firstDelay, int interval);
    bool IsRepeating() const { return _repeat.isActive(); }

    QSize sizeHint() const override;

    // The text editor of a partner: the partner itself, or the editor inside it (spin
    // boxes, editable combo boxes); none for other windows.
    static QLineEdit* PartnerEditor(QWidget* partner);

signals:
    // The position moved by one step (+1 up, -1 down).
    void Stepped(int direction);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    int RepeatTimerId() const { return _repeat.timerId(); }
    // Keeps the repeat going at its steady rate after a tick.
    void ContinueRepeat();
    // Whether a press at y falls on the up arrow: the upper half, half itself excluded.
    bool IsUpperHalf(qreal y) const;

private:
    void Step(int direction);

    QPointer<QWidget> _buddy;
    int _lower = 0;
    int _upper = 100;
    int _pos = 0;
    bool _buddyInt = false;
    int _firstDelay = 500;
    int _interval = 100;
    int _direction = 0; // of the press in progress: +1 up, -1 down, 0 none
    QBasicTimer _repeat;
};
