// A spin button that leaves stepping to its partner field: a press sends the partner an
// Up or Down arrow key (and so does every auto-repeat tick while the button is held), so
// a date or number field steps by its own rules. Whatever the standard control would
// write into the partner is undone.
#pragma once

#include "qvkit/layout/kclSpinButtonCtrl.h"

class kwSpinButton : public kclSpinButtonCtrl {
    Q_OBJECT
public:
    explicit kwSpinButton(QWidget* parent = nullptr);
    ~kwSpinButton() override;

    // The arrow key of the press in progress (Qt::Key_Up or Qt::Key_Down; 0 before any).
    int PressedKey() const { return _key; }

protected:
    // With no partner the button behaves as the standard control, stepping its own
    // position: there is nobody to send a key to.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void SendKey(QWidget* partner) const;

    int _key = 0;
};
