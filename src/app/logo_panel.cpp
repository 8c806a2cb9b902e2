#include "app/logo_panel.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "app/make_control.h"
#include "render/painting.h"
#include "render/pictures.h"
#include "view/map_view.h"
#include "view/window_layout.h"

namespace keelrun {
namespace {

constexpr QSize kLogoSize(80, 80);

QPixmap marker(Rgb colour)
{
    QPixmap pixmap(7, 7);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::white);
    p.setBrush(toQColor(colour));
    p.drawEllipse(QRectF(0.5, 0.5, 6, 6));
    return pixmap;
}

}  // namespace

LogoPanel::LogoPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLOGO"));
    setGeometry(0, 0, kColumnWidth, kLogoPanelHeight);
    setAutoFillBackground(true);
    overview = makeControl<QLabel>(this, "Image1", {3, 3, kOverviewSize, kOverviewSize});
    dateTimeBox = makeControl<QLabel>(this, "Memo1", {3, 3 + kOverviewSize + 3, kOverviewSize, 18});
    logo = makeControl<QLabel>(this, "imgLOGO", {3 + kOverviewSize + 7, 3, kLogoSize.width(), kLogoSize.height()});
    logo->setPixmap(QPixmap::fromImage(logoPicture(kLogoSize)));
    logo->setCursor(Qt::PointingHandCursor);
    const int underLogo = logo->geometry().bottom() + 1;
    windowSizeBox = makeControl<QLabel>(this, "Memo14", {logo->x(), underLogo + 8, kLogoSize.width(), 16});
    helpButton = makeControl<QPushButton>(this, "btnHELP", {logo->x(), underLogo + 5 + 24, kLogoSize.width(), 25});
    helpButton->setText(QStringLiteral("?"));
}

void LogoPanel::placeBoatMarkers(const RaceState &race)
{
    clearBoatMarkers();
    for (int b = race.boatCount; b >= 1; --b) {
        auto *m = new QLabel(this);
        m->setPixmap(marker(race.boats[b].colour));
        m->setGeometry(70, 4 * b, 7, 7);
        m->show();
        boatMarkers_.push_back(m);
    }
}

void LogoPanel::clearBoatMarkers()
{
    for (QWidget *w : boatMarkers_)
        delete w;
    boatMarkers_.clear();
}

QWidget *LogoPanel::markerOf(int boat) const
{
    const auto count = static_cast<int>(boatMarkers_.size());
    return boat >= 1 && boat <= count ? boatMarkers_[count - boat] : nullptr;
}

void LogoPanel::hideBoatMarker(int boat)
{
    if (QWidget *marker = markerOf(boat))
        marker->hide();
}

void LogoPanel::moveBoatMarker(int boat, QPoint place, bool show)
{
    if (QWidget *marker = markerOf(boat)) {
        marker->move(place);
        if (show)
            marker->show();
    }
}

void LogoPanel::setOverview(const QImage &picture) { overview->setPixmap(QPixmap::fromImage(picture)); }

void LogoPanel::showBareSea(const QColor &sea)
{
    QPixmap bare(kOverviewSize, kOverviewSize);
    bare.fill(sea);
    overview->setPixmap(bare);
}

}  // namespace keelrun
