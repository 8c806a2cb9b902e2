#include "app/splash_panel.h"

#include <algorithm>

#include <QPainter>

namespace keelrun {
namespace {

const QColor kBackground(0, 0, 64);

QRect centred(int panelWidth, int width, int height, int top) { return {(panelWidth - width) / 2, top, width, height}; }

}  // namespace

SplashPanel::SplashPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlSPLITE"));
    setAutoFillBackground(false);
}

void SplashPanel::setPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void SplashPanel::setTitles(const QString &title, const QString &subtitle)
{
    title_ = title.trimmed();
    subtitle_ = subtitle.trimmed();
    update();
}

void SplashPanel::setStatus(const QString &status)
{
    status_ = status;
    update();
}

void SplashPanel::setProgress(int done, int total)
{
    done_ = done;
    total_ = total;
    update();
}

SplashPanel::Geometry SplashPanel::geometryFor(QSize panel) const
{
    Geometry g;
    const QSize pic = picture_.size();
    g.picture = QRect((panel.width() - pic.width()) / 2, (panel.height() - pic.height()) / 2, pic.width(), pic.height());
    const int below = g.picture.bottom() + 1;
    g.status = centred(panel.width(), 500, 18, below + 20);
    g.progress = centred(panel.width(), 300, 18, below + 45);
    g.title = centred(panel.width(), 900, 60, std::max(g.picture.top() - 70, 110));
    g.subtitle = centred(panel.width(), 900, 28, std::max(g.picture.top() - 130, 50));
    return g;
}

void SplashPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    const Geometry g = geometryFor(size());
    p.drawImage(g.picture.topLeft(), picture_);

    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(34);
    font.setBold(true);
    p.setFont(font);
    p.drawText(g.title, Qt::AlignCenter, title_);
    font.setPixelSize(18);
    font.setBold(false);
    p.setFont(font);
    if (!subtitle_.isEmpty())
        p.drawText(g.subtitle, Qt::AlignCenter, subtitle_);
    font.setPixelSize(12);
    p.setFont(font);
    p.drawText(g.status, Qt::AlignCenter, status_);

    p.fillRect(g.progress, QColor(255, 255, 0));
    if (total_ > 0) {
        const int filled = qRound(g.progress.width() * double(done_) / total_);
        p.fillRect(QRect(g.progress.topLeft(), QSize(filled, g.progress.height())), QColor(0, 0, 255));
    }
    p.setPen(Qt::black);
    p.drawRect(g.progress.adjusted(0, 0, -1, -1));

    p.setPen(QColor(200, 200, 220));
    const char *credits[] = {"Keelrun 2010", "Powered by", "QUILLOMAR LTD."};
    const int above[] = {75, 51, 35};
    for (int i = 0; i < 3; ++i)
        p.drawText(QRect(0, height() - above[i], width(), 16), Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(credits[i]));
}

}  // namespace keelrun
