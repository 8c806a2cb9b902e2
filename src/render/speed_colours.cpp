#include "render/speed_colours.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QPainter>

#include "base/text_file.h"
#include "render/map_overlays.h"
#include "view/window_layout.h"

namespace keelrun {
namespace {

// Evenly spaced along the scale, mixed in between.
const std::array<QColor, 5> kRamp{QColor(0, 0, 255), QColor(0, 255, 255), QColor(0, 255, 0), QColor(255, 255, 0),
                                  QColor(255, 0, 0)};

constexpr int kMostTicks = 5;
constexpr int kBarWidth = 140;
constexpr int kBarHeight = 7;
constexpr int kTickLength = 2;
constexpr int kPadding = 2;
constexpr int kSideMargin = 10;  // half a tick's label beyond the bar's ends
constexpr int kGap = 10;         // from the time choice beside it, and from what stands at the foot's left
constexpr int kStackGap = 4;     // from the time choice under it
const QString kUnit = QStringLiteral("kn");

// How far up the scale `knots` lies, 0 to 1.
double shareOfScale(double knots, SpeedRange scale)
{
    const double span = scale.high - scale.low;
    if (!(span > 0))
        return 0.5;
    const double share = (knots - scale.low) / span;
    return share > 0 ? std::min(share, 1.0) : 0;
}

int mixed(int from, int to, double share) { return static_cast<int>(std::lround(from + share * (to - from))); }

void setPointSize(QPainter &p, int points)
{
    QFont font = p.font();
    font.setPointSize(points);
    p.setFont(font);
}

// The bar's top left inside the legend's box.
QPoint barCorner(const QRect &box) { return box.topLeft() + QPoint(kSideMargin, kPadding); }

void drawRampBar(QPainter &p, QPoint corner, SpeedRange scale)
{
    for (int x = 0; x < kBarWidth; ++x) {
        const double knots = scale.low + (scale.high - scale.low) * (x + 0.5) / kBarWidth;
        p.fillRect(QRect(corner.x() + x, corner.y(), 1, kBarHeight), speedColour(knots, scale));
    }
}

// A tick under the bar at each named speed, its number under the tick,
// and the unit after the bar.
void drawTicks(QPainter &p, QPoint corner, SpeedRange scale)
{
    const int tickTop = corner.y() + kBarHeight;
    const int textTop = tickTop + kTickLength;
    const int textHeight = p.fontMetrics().height();
    p.setPen(Qt::white);
    for (const double knots : speedLegendTicks(scale)) {
        const int x = corner.x() + static_cast<int>(std::lround(shareOfScale(knots, scale) * (kBarWidth - 1)));
        p.drawLine(x, tickTop, x, tickTop + kTickLength - 1);
        p.drawText(QRect(x - kSideMargin * 2, textTop, kSideMargin * 4, textHeight), Qt::AlignHCenter | Qt::AlignTop,
                   numberText(knots));
    }
    p.drawText(QRect(corner.x() + kBarWidth + kSideMargin, textTop, p.fontMetrics().horizontalAdvance(kUnit), textHeight),
               Qt::AlignLeft | Qt::AlignTop, kUnit);
}

// The legend's box in the font it is written in.
QRect legendPlace(const QFontMetrics &metrics, QSize map, int footTakenTo)
{
    const int width = kSideMargin + kBarWidth + kSideMargin + metrics.horizontalAdvance(kUnit) + kPadding;
    const int height = kPadding + kBarHeight + kTickLength + metrics.height();
    const int timeChoiceRight = map.width() - raceClockReach();
    const int timeChoiceTop = map.height() - kTimeModePanelRise;
    const int besideRight = timeChoiceRight - kTimeModePanelWidth - kGap;
    if (besideRight - width >= footTakenTo + kGap)
        return QRect(besideRight - width, timeChoiceTop + kTimeModePanelHeight - height, width, height);
    return QRect(timeChoiceRight - width, timeChoiceTop - kStackGap - height, width, height);
}

}  // namespace

QColor speedColour(double knots, SpeedRange scale)
{
    const double along = shareOfScale(knots, scale) * (kRamp.size() - 1);
    const int from = std::min(static_cast<int>(along), static_cast<int>(kRamp.size()) - 2);
    const QColor &a = kRamp[from], &b = kRamp[from + 1];
    const double share = along - from;
    return QColor(mixed(a.red(), b.red(), share), mixed(a.green(), b.green(), share), mixed(a.blue(), b.blue(), share));
}

std::vector<double> speedLegendTicks(SpeedRange scale)
{
    for (const double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
        // A hair's allowance: 0.3 / 0.1 is 2.9999999999999996.
        const double first = std::ceil(scale.low / step - 1e-9), last = std::floor(scale.high / step + 1e-9);
        if (last - first + 1 > kMostTicks)
            continue;
        std::vector<double> ticks;
        for (double k = first; k <= last; ++k)
            ticks.push_back(std::round(k * step * 10) / 10);
        if (ticks.empty())
            ticks.push_back(std::round((scale.low + scale.high) * 5) / 10);  // the middle, to a tenth
        return ticks;
    }
    return {scale.low, scale.high};
}

void drawSpeedLegend(QPainter &p, QSize map, SpeedRange scale, int footTakenTo)
{
    p.save();
    setPointSize(p, 8);
    const QRect box = legendPlace(p.fontMetrics(), map, footTakenTo);
    p.fillRect(box, Qt::black);
    drawRampBar(p, barCorner(box), scale);
    drawTicks(p, barCorner(box), scale);
    p.restore();
}

}  // namespace keelrun
