#include "render/time_bar.h"

#include <iterator>
#include <vector>

#include <QFontMetrics>

#include <QPainter>

#include "base/numbers.h"
#include "race/daylight.h"
#include "render/painting.h"

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

constexpr int kLabelPixels = 8;
constexpr int kLabelGap = 40;  // rows between the clock's ticks at least

QFont labelFont()
{
    QFont font;
    font.setPixelSize(kLabelPixels);
    return font;
}

// The leader's rounding of each course item after the start: a dark line
// across the strip and the item's name below it, at the right; the
// highlighted boat's roundings as marks at the right edge in its colour.
void drawRoundings(QPainter &p, LabelPlacer &labels, const RaceState &race, int h, int highlighted)
{
    const int n = race.courseLength();
    for (int k = 2; k <= n; ++k) {
        const double t = race.results.firstPassTime[k];
        if (!passed(t) || t < race.windowStart || t > race.windowEnd)
            continue;
        const int row = stripRowOfTime(t, h, race);
        p.fillRect(QRect(14, row, 15, 1), QColor(60, 60, 60));
        const QString name = race.course[k - 1];
        const int width = QFontMetrics(labelFont()).horizontalAdvance(name);
        const QRect place = labels.place(QRect(28 - width, row + 1, width, kLabelPixels + 1));
        p.setPen(QColor(60, 60, 60));
        p.drawText(place, Qt::AlignRight | Qt::AlignTop, name);
    }
    if (highlighted < 1 || highlighted > race.boatCount)
        return;
    const BoatEntry &boat = race.boats[highlighted];
    for (int k = 2; k <= n; ++k) {
        const double t = boat.roundingTime[k];
        if (passed(t) && t >= race.windowStart && t <= race.windowEnd)
            p.fillRect(QRect(24, stripRowOfTime(t, h, race) - 1, 5, 3), toQColor(boat.colour));
    }
}

// A tick at the strip's left edge every step from the gun, labelled where
// the roundings' names leave room.
void drawClockTicks(QPainter &p, LabelPlacer &labels, const RaceState &race, int h)
{
    const double step = clockTickStep(race.windowLength, h);
    for (double t = step; t < race.windowEnd; t += step) {
        const int row = stripRowOfTime(t, h, race);
        p.fillRect(QRect(1, row, 4, 1), Qt::black);
        const QString text = clockTickText(t);
        const QRect wanted(3, row - kLabelPixels - 1, QFontMetrics(labelFont()).horizontalAdvance(text), kLabelPixels + 1);
        if (labels.place(wanted) == wanted) {
            p.setPen(Qt::black);
            p.drawText(wanted, Qt::AlignLeft | Qt::AlignTop, text);
        }
    }
}

QImage drawStrip(const RaceState &race, int h, int highlighted)
{
    QImage strip(30, std::max(h, 1), QImage::Format_RGB32);
    QPainter p(&strip);
    p.setPen(Qt::black);
    p.setBrush(kStripBackground);
    p.drawRect(0, 0, 29, h - 1);
    drawZones(p, race, h);
    const int gun = roundHalfEven((h - 1) * race.windowEnd / race.windowLength);
    p.fillRect(QRect(0, gun - 1, 30, 2), QColor(255, 0, 0));
    p.setFont(labelFont());
    LabelPlacer labels;
    drawRoundings(p, labels, race, h, highlighted);
    drawClockTicks(p, labels, race, h);
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

double clockTickStep(double windowLength, int stripHeight)
{
    constexpr double kMinutes[] = {1, 2, 5, 10, 15, 20, 30, 60, 120, 240};
    for (const double minutes : kMinutes) {
        if (minutes * 60 * stripHeight / windowLength >= kLabelGap)
            return minutes * 60;
    }
    return kMinutes[std::size(kMinutes) - 1] * 60;
}

QString clockTickText(double raceClock)
{
    const int minutes = roundHalfEven(raceClock / 60);
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QImage drawTimeBar(const RaceState &race, QSize panel, int highlighted)
{
    const TimeBarGeometry g(panel);
    QImage picture(panel, QImage::Format_RGB32);
    picture.fill(QColor(255, 255, 0));
    QPainter p(&picture);
    if (race.windowLength > 0) {
        drawDayAndNight(p, race, g);
        p.drawImage(g.strip.topLeft(), drawStrip(race, g.stripHeight(), highlighted));
    }
    drawStartButton(p, g);
    return picture;
}

}  // namespace keelrun
