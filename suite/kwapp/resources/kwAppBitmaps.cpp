// The framework's own toolbar images, drawn rather than stored.
#include "kwapp/resources/kwDynLinkLibrary.h"
#include "kwapp/resources/kwResourceRegistrar.h"
#include "kwapp/tasks/kwNewIssueTask.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// A sheet of paper with a folded corner and a green plus: a new entry.
void PaintNewIssue(QPainter& painter, const QRectF& box) {
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath sheet;
    sheet.moveTo(box.left() + w * 0.15, box.top() + h * 0.05);
    sheet.lineTo(box.left() + w * 0.62, box.top() + h * 0.05);
    sheet.lineTo(box.left() + w * 0.82, box.top() + h * 0.25);
    sheet.lineTo(box.left() + w * 0.82, box.top() + h * 0.95);
    sheet.lineTo(box.left() + w * 0.15, box.top() + h * 0.95);
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(90, 90, 90), qMax<qreal>(1.0, w / 24)));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet);
    painter.setPen(QPen(QColor(150, 150, 150), qMax<qreal>(1.0, w / 32)));
    for (int line = 0; line < 3; ++line) {
        const qreal y = box.top() + h * (0.38 + 0.14 * line);
        painter.drawLine(QPointF(box.left() + w * 0.25, y), QPointF(box.left() + w * 0.6, y));
    }
    const QRectF plus(box.left() + w * 0.5, box.top() + h * 0.5, w * 0.48, h * 0.48);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 150, 60));
    painter.drawEllipse(plus);
    painter.setPen(QPen(Qt::white, qMax<qreal>(1.5, w / 10), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(plus.center().x(), plus.top() + plus.height() * 0.25),
                     QPointF(plus.center().x(), plus.bottom() - plus.height() * 0.25));
    painter.drawLine(QPointF(plus.left() + plus.width() * 0.25, plus.center().y()),
                     QPointF(plus.right() - plus.width() * 0.25, plus.center().y()));
}

const kwBitmapEntry kwappBitmaps[] = {
    {kwNewIssueTask::NEW_ISSUE_BITMAP, PaintNewIssue},
};

const kwResourceRegistrar bitmaps(KWAPP_MODULE, kwappBitmaps);
} // namespace
