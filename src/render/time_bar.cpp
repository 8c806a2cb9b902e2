#include "render/time_bar.h"

#include <vector>

#include <QPainter>

#include "base/numbers.h"
#include "race/daylight.h"

namespace keelrun {
namespace {

const QColor kStripBackground(225, 225, 255);
const QColor kUpwindZone(255, 255, 255);
const QColor kDownwindZone(192, 192, 255);

// Day and night behind the strip, row by row: pale yellow by day, dark blue
// by night, with the same dawn and dusk ramps as the sea.
void drawDayAndNight(QPainter &p, const RaceState &race, const TimeBarGeometry &g)
{
    const int h = g.stripHeight();
    for (int y = g.panel.height() - 1; y >= 0; --y) {
        const double t = roundHalfEven(race.windowEnd - double(y - 30) / h * race.windowLength);
        const int c = roundHalfEven(daylightLevel(timeOfDay(t, race.daylight), race.daylight) * 2.55);
        p.setPen(QColor(c, c, 192));
        p.drawLine(0, y, g.panel.width(), y);
    }
}

void drawStartButton(QPainter &p, const TimeBarGeometry &g)
{
    p.fillRect(g.startButton, QColor(255, 0, 0));
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRect(QPoint(7, g.panel.height() - 19), QSize(g.panel.width() - 7, 14)), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("START"));
}

// Each row of the strip takes the colour of boat 1's last fix at or before
// its time: white where it sailed within 90 degrees of the wind, grey-blue
// downwind. Later fixes lie higher; walking them from the last back, each
// fills the rows below those already taken.
void drawZones(QPainter &p, const RaceState &race, int h)
{
    if (race.boatCount < 1)
        return;
    const BoatEntry &boat = race.boats[1];
    std::vector<QColor> rows(static_cast<std::size_t>(std::max(h, 0)));
    std::vector<bool> taken(rows.size(), false);
    int takenUpTo = 0;  // rows 1..takenUpTo belong to later fixes
    for (int i = boat.sampleCount(); i >= 1; --i) {
        const TrackSample &s = boat.samples[i];
        if (!(s.time > race.windowStart && s.time < race.windowEnd))
            continue;
        const int last = std::min(stripRowOfTime(s.time, h, race) - 1, h - 2);
        double d = roundHalfEven(s.heading) - race.windDirection;
        if (d < -180)
            d += 360;
        if (d > 180)
            d -= 360;
        for (int row = std::max(takenUpTo + 1, 1); row <= last; ++row) {
            rows[row] = std::abs(d) < 90 ? kUpwindZone : kDownwindZone;
            taken[row] = true;
        }
        takenUpTo = std::max(takenUpTo, last);
    }
    for (int row = 1; row < h - 1; ++row) {
        if (taken[row]) {
            p.setPen(rows[row]);
            p.drawLine(1, row, 27, row);
        }
    }
}

QImage drawStrip(const RaceState &race, int h)
{
    QImage strip(30, std::max(h, 1), QImage::Format_RGB32);
    QPainter p(&strip);
    p.setPen(Qt::black);
    p.setBrush(kStripBackground);
    p.drawRect(0, 0, 29, h - 1);
    drawZones(p, race, h);
    const int gun = roundHalfEven((h - 1) * race.windowEnd / race.windowLength);
    p.fillRect(QRect(0, gun - 1, 30, 2), QColor(255, 0, 0));
    return strip;
}

}  // namespace

TimeBarGeometry::TimeBarGeometry(QSize panelSize)
    : panel(panelSize),
      strip(11, 29, 30, std::max(panelSize.height() - 60, 1)),
      startButton(QPoint(5, panelSize.height() - 25), QPoint(panelSize.width() - 6, panelSize.height() - 6))
{
}

double timeAtStripRow(int row, int stripHeight, const RaceState &race)
{
    return roundHalfEven(race.windowEnd - double(row) / stripHeight * race.windowLength);
}

int stripRowOfTime(double t, int stripHeight, const RaceState &race)
{
    return roundHalfEven((race.windowEnd - t) * (stripHeight - 1) / race.windowLength);
}

int pointerTop(double raceClock, int stripHeight, const RaceState &race)
{
    return roundHalfEven((race.windowEnd - raceClock) * stripHeight / race.windowLength) + 28;
}

double clickedTime(int row, int stripHeight, const RaceState &race)
{
    const double t = timeAtStripRow(row, stripHeight, race);
    if (t >= race.windowEnd)  // the top row too: the replay would end at once
        return race.windowEnd - 100;
    return t < race.windowStart ? race.windowStart : t;
}

bool onStartButton(int y, QSize panel) { return y > panel.height() - 30; }

QImage drawTimeBar(const RaceState &race, QSize panel)
{
    const TimeBarGeometry g(panel);
    QImage picture(panel, QImage::Format_RGB32);
    picture.fill(QColor(255, 255, 0));
    QPainter p(&picture);
    if (race.windowLength > 0) {
        drawDayAndNight(p, race, g);
        p.drawImage(g.strip.topLeft(), drawStrip(race, g.stripHeight()));
    }
    drawStartButton(p, g);
    return picture;
}

}  // namespace keelrun
