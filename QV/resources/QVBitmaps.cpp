// The main program's toolbar bitmaps, drawn at whatever size the toolbar asks for.
#include "QV/resources/QVResources.h"
#include "QV/strings/QVStrings.h"
#include "kwapp/resources/kwResourceRegistrar.h"

#include <QPainter>
#include <QPainterPath>

namespace {
qreal Line(const QRectF& box) { return qMax<qreal>(1.0, box.width() / 20); }

QPointF At(const QRectF& box, qreal x, qreal y) {
    return {box.left() + box.width() * x, box.top() + box.height() * y};
}

// A funnel over a small list: a query that selects records.
void PaintBuildQuery(QPainter& painter, const QRectF& box) {
    QPainterPath funnel;
    funnel.moveTo(At(box, 0.08, 0.1));
    funnel.lineTo(At(box, 0.92, 0.1));
    funnel.lineTo(At(box, 0.58, 0.5));
    funnel.lineTo(At(box, 0.58, 0.88));
    funnel.lineTo(At(box, 0.42, 0.95));
    funnel.lineTo(At(box, 0.42, 0.5));
    funnel.closeSubpath();
    painter.setPen(QPen(QColor(120, 70, 10), Line(box)));
    painter.setBrush(QColor(240, 180, 60));
    painter.drawPath(funnel);
}

// Three columns with headers: the grid's columns.
void PaintSelectColumns(QPainter& painter, const QRectF& box) {
    painter.setPen(QPen(QColor(60, 60, 60), Line(box)));
    for (int column = 0; column < 3; ++column) {
        const QRectF body(At(box, 0.06 + column * 0.31, 0.1), QSizeF(box.width() * 0.26, box.height() * 0.8));
        painter.setBrush(Qt::white);
        painter.drawRect(body);
        painter.setBrush(column == 1 ? QColor(60, 120, 200) : QColor(170, 190, 215));
        painter.drawRect(QRectF(body.topLeft(), QSizeF(body.width(), body.height() * 0.22)));
    }
}

// A card with labelled lines: one issue in its form.
void PaintIssueForm(QPainter& painter, const QRectF& box) {
    painter.setPen(QPen(QColor(70, 70, 70), Line(box)));
    painter.setBrush(QColor(255, 250, 225));
    painter.drawRoundedRect(QRectF(At(box, 0.08, 0.12), At(box, 0.92, 0.88)), box.width() / 12, box.width() / 12);
    for (int line = 0; line < 3; ++line) {
        const qreal y = 0.32 + line * 0.2;
        painter.setPen(QPen(QColor(200, 80, 40), Line(box)));
        painter.drawLine(At(box, 0.18, y), At(box, 0.34, y));
        painter.setPen(QPen(QColor(120, 120, 120), Line(box)));
        painter.drawLine(At(box, 0.42, y), At(box, 0.82, y));
    }
}

// A small table: issues in the grid.
void PaintIssueGrid(QPainter& painter, const QRectF& box) {
    const QRectF table(At(box, 0.08, 0.12), At(box, 0.92, 0.88));
    painter.setPen(QPen(QColor(60, 60, 60), Line(box)));
    painter.setBrush(Qt::white);
    painter.drawRect(table);
    painter.setBrush(QColor(60, 120, 200));
    painter.drawRect(QRectF(table.topLeft(), QSizeF(table.width(), table.height() * 0.22)));
    for (int row = 1; row < 4; ++row) {
        const qreal y = table.top() + table.height() * (0.22 + row * 0.195);
        painter.drawLine(QPointF(table.left(), y), QPointF(table.right(), y));
    }
    painter.drawLine(QPointF(table.left() + table.width() * 0.35, table.top()),
                     QPointF(table.left() + table.width() * 0.35, table.bottom()));
}

// Four tiles: the suite's applications.
void PaintApplications(QPainter& painter, const QRectF& box) {
    const QColor colors[] = {{60, 120, 200}, {40, 150, 60}, {230, 150, 30}, {190, 60, 60}};
    painter.setPen(QPen(QColor(50, 50, 50), Line(box)));
    for (int tile = 0; tile < 4; ++tile) {
        painter.setBrush(colors[tile]);
        painter.drawRoundedRect(QRectF(At(box, 0.08 + (tile % 2) * 0.46, 0.08 + (tile / 2) * 0.46),
                                       QSizeF(box.width() * 0.38, box.height() * 0.38)),
                                box.width() / 16, box.width() / 16);
    }
}

const kwBitmapEntry qvBitmaps[] = {
    {IDB_BUILD_QUERY, PaintBuildQuery},   {IDB_SELECT_COLUMNS, PaintSelectColumns},
    {IDB_ISSUE_FORM, PaintIssueForm},     {IDB_ISSUE_GRID, PaintIssueGrid},
    {IDB_APPLICATIONS, PaintApplications},
};

const kwResourceRegistrar bitmaps(QV_MODULE, qvBitmaps);
} // namespace
