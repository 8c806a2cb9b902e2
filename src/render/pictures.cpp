#include "render/pictures.h"

#include <algorithm>
#include <cstring>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace keelrun {
namespace {

QImage blank(QSize size, QColor fill)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// A sloop under sail: mainsail and jib over a dark hull.
void drawSloop(QPainter &p, QPointF base, double height, QColor sail)
{
    const double w = height * 0.55;
    QPainterPath main;
    main.moveTo(base + QPointF(0, -height));
    main.lineTo(base + QPointF(w * 0.75, -height * 0.12));
    main.lineTo(base + QPointF(0, -height * 0.12));
    main.closeSubpath();
    QPainterPath jib;
    jib.moveTo(base + QPointF(-w * 0.05, -height * 0.9));
    jib.lineTo(base + QPointF(-w * 0.05, -height * 0.14));
    jib.lineTo(base + QPointF(-w * 0.6, -height * 0.14));
    jib.closeSubpath();
    QPainterPath hull;
    hull.moveTo(base + QPointF(-w * 0.7, -height * 0.1));
    hull.lineTo(base + QPointF(w * 0.9, -height * 0.1));
    hull.lineTo(base + QPointF(w * 0.6, 0));
    hull.lineTo(base + QPointF(-w * 0.5, 0));
    hull.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(sail);
    p.drawPath(main);
    p.drawPath(jib);
    p.setBrush(QColor(20, 30, 60));
    p.drawPath(hull);
}

}  // namespace

QImage japaneseFlag(QSize size)
{
    QImage image = blank(size, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(188, 0, 45));
    const double r = size.height() * 0.3;
    p.drawEllipse(QPointF(size.width() / 2.0, size.height() / 2.0), r, r);
    p.setPen(QColor(160, 160, 160));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(0, 0), size - QSize(1, 1)));
    return image;
}

QImage englishFlag(QSize size)
{
    QImage image = blank(size, Qt::white);
    QPainter p(&image);
    const double stripe = size.height() / 13.0;
    for (int i = 0; i < 13; i += 2)
        p.fillRect(QRectF(0, i * stripe, size.width(), stripe), QColor(178, 34, 52));
    const QRectF canton(0, 0, size.width() * 0.4, stripe * 7);
    p.fillRect(canton, QColor(60, 59, 110));
    p.setPen(Qt::white);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col)
            p.drawPoint(QPointF(canton.width() * (col + 0.5) / 5, canton.height() * (row + 0.5) / 4));
    }
    return image;
}

QImage logoPicture(QSize size)
{
    QImage image = blank(size, QColor(0, 40, 90));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawSloop(p, QPointF(size.width() * 0.45, size.height() * 0.72), size.height() * 0.62, Qt::white);
    p.setPen(QColor(255, 210, 80));
    QFont font = p.font();
    font.setPixelSize(std::max(8, size.height() / 6));
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, size.height() * 3 / 4, size.width(), size.height() / 4), Qt::AlignCenter, QStringLiteral("Keelrun"));
    return image;
}

QImage applicationIcon(int side)
{
    QImage icon(side, side, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 40, 90));
    p.drawRoundedRect(QRectF(0, 0, side, side), side * 0.18, side * 0.18);
    p.setBrush(QColor(40, 110, 200));
    p.drawRect(QRectF(side * 0.08, side * 0.74, side * 0.84, side * 0.1));  // the sea
    drawSloop(p, QPointF(side * 0.5, side * 0.76), side * 0.66, Qt::white);
    return icon;
}

QImage splashPicture(QSize size)
{
    QImage image = blank(size, QColor(0, 0, 64));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double horizon = size.height() * 0.55;
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(20, 40, 110));
    sky.setColorAt(1, QColor(120, 170, 220));
    p.fillRect(QRectF(0, 0, size.width(), horizon), sky);
    QLinearGradient sea(0, horizon, 0, size.height());
    sea.setColorAt(0, QColor(30, 90, 150));
    sea.setColorAt(1, QColor(5, 30, 70));
    p.fillRect(QRectF(0, horizon, size.width(), size.height() - horizon), sea);
    const double h = size.height();
    drawSloop(p, QPointF(size.width() * 0.30, horizon + h * 0.12), h * 0.45, QColor(250, 250, 245));
    drawSloop(p, QPointF(size.width() * 0.55, horizon + h * 0.05), h * 0.30, QColor(235, 220, 200));
    drawSloop(p, QPointF(size.width() * 0.75, horizon + h * 0.02), h * 0.18, QColor(220, 230, 240));
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(size.height() / 7);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, static_cast<int>(h * 0.78), size.width(), static_cast<int>(h * 0.2)), Qt::AlignCenter,
               QStringLiteral("Keelrun"));
    return image;
}

QImage playbackPicture(PlaybackPicture kind, bool lit)
{
    const bool step = kind == PlaybackPicture::StepForward || kind == PlaybackPicture::StepBack;
    QImage image = blank(step ? QSize(21, 10) : QSize(21, 16), QColor(60, 60, 70));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(lit ? QColor(255, 220, 0) : QColor(200, 200, 210));
    const double w = image.width(), h = image.height();
    switch (kind) {
    case PlaybackPicture::Forward:
        p.drawPolygon(QPolygonF{QPointF(w / 2, 2), QPointF(w - 4, h - 3), QPointF(4, h - 3)});
        break;
    case PlaybackPicture::Backward:
        p.drawPolygon(QPolygonF{QPointF(4, 3), QPointF(w - 4, 3), QPointF(w / 2, h - 2)});
        break;
    case PlaybackPicture::Stop:
        p.drawRect(QRectF(6, 3, w - 12, h - 6));
        break;
    case PlaybackPicture::StepForward:
        p.drawRect(QRectF(w / 2 - 1, 1, 2, h - 2));
        [[fallthrough]];
    case PlaybackPicture::StepBack:
        p.drawRect(QRectF(4, h / 2 - 1, w - 8, 2));
        break;
    }
    return image;
}

QImage preparatoryFlag(QSize size)
{
    QImage image = blank(size, QColor(0, 60, 160));
    QPainter p(&image);
    p.fillRect(QRectF(size.width() * 0.3, size.height() * 0.3, size.width() * 0.4, size.height() * 0.4), Qt::white);
    return image;
}

QImage toImage(const RgbPicture &picture)
{
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    if (image.isNull())
        return image;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), picture.rgb.data() + std::size_t(y) * picture.width * 3, std::size_t(picture.width) * 3);
    return image;
}

QImage kmlBoatIcon(int degrees)
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    p.rotate(degrees);
    const QPolygonF hull{{0, -14}, {6, -2}, {6, 10}, {0, 14}, {-6, 10}, {-6, -2}};
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawPolygon(hull);
    p.setBrush(QColor(255, 0, 0));
    p.drawPolygon(QPolygonF{{0, -14}, {4, -6}, {-4, -6}});  // the bow, red
    return icon;
}

QImage kmlBuoyIcon()
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(255, 200, 0));
    p.drawEllipse(QPointF(16, 16), 9, 9);
    return icon;
}

}  // namespace keelrun
