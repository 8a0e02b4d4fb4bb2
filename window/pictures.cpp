#include "window/pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

namespace pw {

namespace {

// A transparent picture of `width` by `height` in the window's units, with as many pixels as
// the screens show for them, so that the pictures stay sharp on high-density screens.
QPixmap blank(int width, int height) {
    const qreal ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// One sheet of paper with a folded corner and a few text lines.
void drawPage(QPainter& painter, QRectF box, const QColor& accent) {
    qreal fold = box.width() * 0.25;
    QPainterPath sheet;
    sheet.moveTo(box.topLeft());
    sheet.lineTo(box.right() - fold, box.top());
    sheet.lineTo(box.right(), box.top() + fold);
    sheet.lineTo(box.bottomRight());
    sheet.lineTo(box.bottomLeft());
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(0x55, 0x60, 0x70), 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet);
    painter.setBrush(QColor(0xdd, 0xe3, 0xea));
    QPainterPath corner;
    corner.moveTo(box.right() - fold, box.top());
    corner.lineTo(box.right() - fold, box.top() + fold);
    corner.lineTo(box.right(), box.top() + fold);
    corner.closeSubpath();
    painter.drawPath(corner);
    painter.setPen(QPen(accent, qMax<qreal>(1.0, box.height() / 22)));
    for (int i = 0; i < 4; ++i) {
        qreal y = box.top() + box.height() * (0.38 + i * 0.14);
        qreal right = box.right() - box.width() * (i == 3 ? 0.45 : 0.15);
        painter.drawLine(QPointF(box.left() + box.width() * 0.15, y), QPointF(right, y));
    }
}

// A grey line one screen pixel wide along the inside of a flag's edges, at any pixel ratio.
void drawOutline(QPainter& painter, int width, int height) {
    const qreal pixel = 1.0 / painter.device()->devicePixelRatioF();
    const QColor grey(0x80, 0x80, 0x80);
    painter.fillRect(QRectF(0, 0, width, pixel), grey);
    painter.fillRect(QRectF(0, height - pixel, width, pixel), grey);
    painter.fillRect(QRectF(0, 0, pixel, height), grey);
    painter.fillRect(QRectF(width - pixel, 0, pixel, height), grey);
}

}  // namespace

QPixmap frenchFlag(int width, int height) {
    QPixmap pixmap = blank(width, height);
    QPainter painter(&pixmap);
    const QColor colours[3] = {QColor(0x00, 0x23, 0x95), Qt::white, QColor(0xed, 0x29, 0x39)};
    for (int i = 0; i < 3; ++i) {
        int left = width * i / 3;
        int right = width * (i + 1) / 3;
        painter.fillRect(left, 0, right - left, height, colours[i]);
    }
    drawOutline(painter, width, height);
    return pixmap;
}

QPixmap englishFlag(int width, int height) {
    QPixmap pixmap = blank(width, height);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0x01, 0x21, 0x69);
    const QColor red(0xc8, 0x10, 0x2e);
    painter.fillRect(0, 0, width, height, blue);
    painter.setPen(QPen(Qt::white, height / 5.0));
    painter.drawLine(0, 0, width, height);
    painter.drawLine(0, height, width, 0);
    painter.setPen(QPen(red, height / 12.0));
    painter.drawLine(0, 0, width, height);
    painter.drawLine(0, height, width, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0, height * 0.35, width, height * 0.3));
    painter.drawRect(QRectF(width / 2.0 - height * 0.15, 0, height * 0.3, height));
    painter.setBrush(red);
    painter.drawRect(QRectF(0, height * 0.41, width, height * 0.18));
    painter.drawRect(QRectF(width / 2.0 - height * 0.09, 0, height * 0.18, height));
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawOutline(painter, width, height);
    return pixmap;
}

QPixmap logoPicture(int size) {
    QPixmap pixmap = blank(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    qreal s = size;
    drawPage(painter, QRectF(s * 0.30, s * 0.04, s * 0.52, s * 0.66), QColor(0xb0, 0xc4, 0xde));
    drawPage(painter, QRectF(s * 0.18, s * 0.16, s * 0.52, s * 0.66), QColor(0x8f, 0xb3, 0xdc));
    drawPage(painter, QRectF(s * 0.06, s * 0.28, s * 0.52, s * 0.66), QColor(0x3d, 0x7e, 0xc8));
    // The tag mark: a pair of angle brackets on a round badge.
    QRectF badge(s * 0.52, s * 0.56, s * 0.42, s * 0.42);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe8, 0x6a, 0x1c));
    painter.drawEllipse(badge);
    painter.setPen(QPen(Qt::white, s * 0.05, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPointF c = badge.center();
    qreal r = badge.width() * 0.22;
    painter.drawPolyline(QPolygonF{
        {c.x() - r * 0.3, c.y() - r}, {c.x() - r * 1.2, c.y()}, {c.x() - r * 0.3, c.y() + r}});
    painter.drawPolyline(QPolygonF{
        {c.x() + r * 0.3, c.y() - r}, {c.x() + r * 1.2, c.y()}, {c.x() + r * 0.3, c.y() + r}});
    return pixmap;
}

QPixmap bulbPicture(int size) {
    QPixmap pixmap = blank(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    qreal s = size;
    // Rays.
    painter.setPen(QPen(QColor(0xf5, 0xc2, 0x1b), s * 0.05, Qt::SolidLine, Qt::RoundCap));
    QPointF centre(s * 0.5, s * 0.38);
    const qreal rays[5][4] = {{0.5, 0.02, 0.5, 0.09},
                              {0.14, 0.14, 0.2, 0.2},
                              {0.86, 0.14, 0.8, 0.2},
                              {0.02, 0.4, 0.1, 0.4},
                              {0.98, 0.4, 0.9, 0.4}};
    for (const auto& ray : rays) {
        painter.drawLine(QPointF(s * ray[0], s * ray[1]), QPointF(s * ray[2], s * ray[3]));
    }
    // Glass.
    QRadialGradient glow(centre, s * 0.3, QPointF(s * 0.42, s * 0.3));
    glow.setColorAt(0, QColor(0xff, 0xfb, 0xd0));
    glow.setColorAt(1, QColor(0xff, 0xd8, 0x3a));
    painter.setBrush(glow);
    painter.setPen(QPen(QColor(0xb8, 0x86, 0x0b), s * 0.035));
    QPainterPath glass;
    glass.addEllipse(centre, s * 0.26, s * 0.26);
    QPainterPath neck;
    neck.addRect(QRectF(s * 0.38, s * 0.5, s * 0.24, s * 0.18));
    painter.drawPath(glass.united(neck));
    // Base.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x70, 0x78, 0x80));
    for (int i = 0; i < 3; ++i) {
        painter.drawRoundedRect(QRectF(s * 0.36, s * (0.7 + i * 0.08), s * 0.28, s * 0.06), 2, 2);
    }
    return pixmap;
}

QPixmap linksPicture(int size) {
    QPixmap pixmap = blank(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    qreal s = size;
    drawPage(painter, QRectF(s * 0.04, s * 0.1, s * 0.4, s * 0.52), QColor(0x3d, 0x7e, 0xc8));
    drawPage(painter, QRectF(s * 0.56, s * 0.38, s * 0.4, s * 0.52), QColor(0x3d, 0x7e, 0xc8));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xe8, 0x6a, 0x1c), s * 0.05, Qt::SolidLine, Qt::RoundCap));
    painter.drawRoundedRect(QRectF(s * 0.3, s * 0.42, s * 0.24, s * 0.12), s * 0.06, s * 0.06);
    painter.drawRoundedRect(QRectF(s * 0.46, s * 0.5, s * 0.24, s * 0.12), s * 0.06, s * 0.06);
    return pixmap;
}

QPixmap indexPicture(int size) {
    QPixmap pixmap = blank(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    qreal s = size;
    drawPage(painter, QRectF(s * 0.12, s * 0.06, s * 0.62, s * 0.84), QColor(0xc0, 0xcc, 0xdc));
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        qreal y = s * (0.36 + i * 0.12);
        painter.setBrush(QColor(0xe8, 0x6a, 0x1c));
        painter.drawEllipse(QPointF(s * 0.24, y), s * 0.03, s * 0.03);
        painter.setBrush(QColor(0x1f, 0x5f, 0xb0));
        painter.drawRect(QRectF(s * 0.31, y - s * 0.015, s * (0.3 - (i % 2) * 0.08), s * 0.03));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x55, 0x60, 0x70), s * 0.05, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QPointF(s * 0.72, s * 0.7), s * 0.12, s * 0.12);
    painter.drawLine(QPointF(s * 0.8, s * 0.79), QPointF(s * 0.92, s * 0.92));
    return pixmap;
}

}  // namespace pw
