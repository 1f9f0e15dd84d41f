// The standard up-down control.
#include "qvkit/layout/kclSpinButtonCtrl.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

kclSpinButtonCtrl::kclSpinButtonCtrl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

kclSpinButtonCtrl::~kclSpinButtonCtrl() = default;

void kclSpinButtonCtrl::SetBuddy(QWidget* buddy) {
    _buddy = buddy;
}

void kclSpinButtonCtrl::SetRange(int lower, int upper) {
    _lower = std::min(lower, upper);
    _upper = std::max(lower, upper);
    _pos = std::clamp(_pos, _lower, _upper);
}

void kclSpinButtonCtrl::SetPos(int pos) {
    _pos = std::clamp(pos, _lower, _upper);
}

void kclSpinButtonCtrl::SetRepeatTimes(int firstDelay, int interval) {
    _firstDelay = std::max(1, firstDelay);
    _interval = std::max(1, interval);
}

QSize kclSpinButtonCtrl::sizeHint() const {
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(std::max(width, 16), 22);
}

QLineEdit* kclSpinButtonCtrl::PartnerEditor(QWidget* partner) {
    if (!partner) return nullptr;
    if (auto* edit = qobject_cast<QLineEdit*>(partner)) return edit;
    if (qobject_cast<QAbstractSpinBox*>(partner) || qobject_cast<QComboBox*>(partner)) {
        return partner->findChild<QLineEdit*>();
    }
    return nullptr;
}

bool kclSpinButtonCtrl::IsUpperHalf(qreal y) const {
    return static_cast<int>(std::floor(y)) < height() / 2;
}

void kclSpinButtonCtrl::Step(int direction) {
    QLineEdit* editor = _buddyInt ? PartnerEditor(_buddy) : nullptr;
    if (editor) {
        bool ok = false;
        const int typed = editor->text().trimmed().toInt(&ok);
        if (ok) _pos = std::clamp(typed, _lower, _upper);
    }
    const int next = std::clamp(_pos + direction, _lower, _upper);
    if (next == _pos) return;
    _pos = next;
    if (editor) editor->setText(QString::number(_pos));
    emit Stepped(direction);
}

void kclSpinButtonCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    _direction = IsUpperHalf(event->position().y()) ? 1 : -1;
    Step(_direction);
    _repeat.start(_firstDelay, this);
    update();
}

void kclSpinButtonCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    _repeat.stop();
    _direction = 0;
    update();
}

void kclSpinButtonCtrl::ContinueRepeat() {
    if (_repeat.isActive()) _repeat.start(_interval, this);
}

void kclSpinButtonCtrl::timerEvent(QTimerEvent* event) {
    if (event->timerId() != _repeat.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    Step(_direction);
    ContinueRepeat();
}

void kclSpinButtonCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const bool pressed = (i == 0 && _direction > 0) || (i == 1 && _direction < 0);
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        button.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);

        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        if (pressed) arrow.rect.translate(1, 1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &painter, this);
    }
}
