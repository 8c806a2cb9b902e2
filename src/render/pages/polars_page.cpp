#include "render/pages/polars_page.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include <QPainter>
#include <QPolygon>

#include "base/numbers.h"
#include "render/pages/graph_page.h"
#include "render/painting.h"

namespace keelrun {
namespace {

constexpr int kMargin = 10;
constexpr int kTitleHeight = 36;     // the title's line and the note's under it
constexpr int kLabelRoom = 18;       // beyond the outer ring, for the angles' labels
constexpr int kRingLabelRoom = 50;   // left of the pole, for the speeds' labels
constexpr int kLegendWidth = 170;
constexpr int kLegendLine = 16;      // a legend entry's height
constexpr int kSpokeDegrees = 30;
constexpr int kDot = 3;              // a fix's square, pixels a side

const QColor kTitleGreen(0, 110, 0);
const QColor kGrid(200, 200, 200);
const QColor kLabel(90, 90, 90);
// The bands' colours run from the lightest wind's to the strongest's.
const QColor kLightestBand(120, 185, 235);
const QColor kStrongestBand(0, 35, 120);

double degrees(double d) { return d * std::numbers::pi / 180; }

QString knotsLabel(double knots) { return QStringLiteral("%1 kn").arg(knots); }

// The wind bands that have a target line, by their lower edge; one
// without a band where the wind records give no speeds.
std::vector<std::optional<int>> bandsWithTargets(const FleetPolar &polar)
{
    std::set<std::optional<int>> bands;
    for (const PolarBin &bin : polar.bins) {
        if (bin.target)
            bands.insert(bin.twsFrom);
    }
    return {bands.begin(), bands.end()};
}

QColor bandColour(const std::vector<std::optional<int>> &bands, std::size_t i)
{
    return targetLineColour(bands[i] ? std::optional<int>(static_cast<int>(i)) : std::nullopt, static_cast<int>(bands.size()));
}

// A band's target line, broken where a bin has no target.
std::vector<QPolygon> targetLine(const FleetPolar &polar, std::optional<int> band, const PolarAxes &axes)
{
    std::vector<QPolygon> pieces;
    int lastBin = -kAngleBinDegrees * 2;
    for (const PolarBin &bin : polar.bins) {
        if (bin.twsFrom != band || !bin.target)
            continue;
        if (bin.twaFrom != lastBin + kAngleBinDegrees || pieces.empty())
            pieces.emplace_back();
        pieces.back() << axes.at(bin.twaFrom + kAngleBinDegrees / 2.0, *bin.target);
        lastBin = bin.twaFrom;
    }
    return pieces;
}

double fastestFix(const FleetFixes &fixes)
{
    double fastest = 0;
    for (const std::vector<SteadyFix> &boat : fixes) {
        for (const SteadyFix &fix : boat)
            fastest = std::max(fastest, fix.knots);
    }
    return fastest;
}

QString pageTitle(Language language)
{
    return isJapanese(language) ? QStringLiteral(u" 艇団のポーラー：真風角ごとの速度（kn） ")
                                : QStringLiteral(" The fleet's polar: speed by true wind angle (kn) ");
}

QString pageNote(const FleetPolar &polar, Language language)
{
    const int percentile = roundHalfEven(kTargetPercentile * 100);
    if (isJapanese(language)) {
        return QStringLiteral(u"線：艇団の目標速度（%1°ごとの区分で定常帆走の%2パーセンタイル、%3点以上の区分のみ）　点：選んだ艇の定常帆走　風：%4")
            .arg(kAngleBinDegrees)
            .arg(percentile)
            .arg(kTargetFixes)
            .arg(polar.windFromRecords ? QStringLiteral(u"風の記録から") : QStringLiteral(u"艇団のコースから推定"));
    }
    return QStringLiteral("Lines: the fleet's target, the %2th percentile of steady sailing in each %1° bin of %3 fixes or more.  "
                          "Dots: the chosen boat's steady sailing.  Wind: %4.")
        .arg(kAngleBinDegrees)
        .arg(percentile)
        .arg(kTargetFixes)
        .arg(polar.windFromRecords ? QStringLiteral("from the wind records") : QStringLiteral("estimated from the fleet's courses"));
}

QString bandLabel(std::optional<int> band, Language language)
{
    if (!band)
        return isJapanese(language) ? QStringLiteral(u"艇団の目標速度") : QStringLiteral("Fleet target");
    const QString range = QStringLiteral(u"%1–%2 kn").arg(*band).arg(*band + kWindBandKnots);
    return isJapanese(language) ? QStringLiteral(u"風速 ") + range : range + QStringLiteral(" wind");
}

class PolarsPage : public RacePage {
public:
    QString title(Language language) const override
    {
        return isJapanese(language) ? QStringLiteral(u"ポーラー") : QStringLiteral("Polars");
    }

    void draw(QImage &picture, const RaceState &race, const PageRequest &request) override
    {
        fixes_ = fleetSteadyFixes(race);
        polar_ = fleetPolar(race, fixes_);
        language_ = request.language;
        chosen_ = request.chosenBoat(race);
        picture.fill(Qt::white);
        QPainter p(&picture);
        setPageFont(p);
        const PolarAxes axes(picture.size(), fastestFix(fixes_));
        drawGrid(p, axes);
        drawFixes(p, race, axes, chosen_);
        drawTargets(p, axes);
        drawLegend(p, race, axes, {chosen_});
        writeOpaque(p, {kMargin, kBelowPageTabs}, pageTitle(request.language), Qt::white, kTitleGreen);
        const QString note = p.fontMetrics().elidedText(pageNote(polar_, request.language), Qt::ElideRight, picture.width() - 2 * kMargin);
        writeOpaque(p, {kMargin, kBelowPageTabs + kTitleHeight / 2}, note, Qt::black, Qt::white);
    }

    // The boat's fixes over the diagram beside the chosen boat's, the
    // target lines kept on top.
    void markBoat(QImage &picture, const RaceState &race, const PageRequest &, int boat) const override
    {
        if (boat < 1 || boat >= static_cast<int>(fixes_.size()))
            return;
        QPainter p(&picture);
        setPageFont(p);
        const PolarAxes axes(picture.size(), fastestFix(fixes_));
        drawFixes(p, race, axes, boat);
        drawTargets(p, axes);
        drawLegend(p, race, axes, boat == chosen_ ? std::vector<int>{chosen_} : std::vector<int>{chosen_, boat});
    }

private:
    // The rings, each with its speed just under it left of the
    // head-to-wind spoke, and the spokes with their angles beyond the
    // outer ring.
    static void drawGrid(QPainter &p, const PolarAxes &axes)
    {
        p.setBrush(Qt::NoBrush);
        const int rings = roundHalfEven(axes.outerKnots / axes.ringKnots);
        for (int ring = 1; ring <= rings; ++ring) {
            const double knots = ring * axes.ringKnots;
            const int r = axes.pole.y() - axes.at(0, knots).y();
            p.setPen(kGrid);
            p.drawArc(QRect(axes.pole - QPoint(r, r), QSize(2 * r, 2 * r)), 90 * 16, -180 * 16);
            const QString label = knotsLabel(knots);
            p.setPen(kLabel);
            p.drawText(axes.at(0, knots) + QPoint(-p.fontMetrics().horizontalAdvance(label) - 4, p.fontMetrics().ascent() + 2), label);
        }
        const double labelKnots = axes.outerKnots * (axes.radius + kLabelRoom / 2.0) / axes.radius;
        for (int twa = 0; twa <= 180; twa += kSpokeDegrees) {
            p.setPen(kGrid);
            p.drawLine(axes.pole, axes.at(twa, axes.outerKnots));
            p.setPen(kLabel);
            p.drawText(QRect(axes.at(twa, labelKnots) - QPoint(30, 10), QSize(60, 20)), Qt::AlignCenter, QStringLiteral(u"%1°").arg(twa));
        }
    }

    void drawFixes(QPainter &p, const RaceState &race, const PolarAxes &axes, int boat) const
    {
        if (boat < 1 || boat >= static_cast<int>(fixes_.size()))
            return;
        const QColor colour = toQColor(race.boats[boat].colour);
        for (const SteadyFix &fix : fixes_[boat])
            p.fillRect(QRect(axes.at(fix.twa, fix.knots) - QPoint(kDot / 2, kDot / 2), QSize(kDot, kDot)), colour);
    }

    void drawTargets(QPainter &p, const PolarAxes &axes) const
    {
        const std::vector<std::optional<int>> bands = bandsWithTargets(polar_);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const QColor colour = bandColour(bands, i);
            p.setPen(QPen(colour, 2));
            p.setBrush(colour);
            for (const QPolygon &piece : targetLine(polar_, bands[i], axes)) {
                p.drawPolyline(piece);
                for (const QPoint &point : piece)
                    p.drawEllipse(point, 2, 2);
            }
        }
    }

    // The target lines by band, then the boats whose fixes show.
    void drawLegend(QPainter &p, const RaceState &race, const PolarAxes &axes, const std::vector<int> &boats) const
    {
        const std::vector<std::optional<int>> bands = bandsWithTargets(polar_);
        QPoint at(axes.pole.x() + axes.radius + kLabelRoom + 30, kBelowPageTabs + kTitleHeight + kMargin);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            p.setPen(QPen(bandColour(bands, i), 2));
            p.drawLine(at + QPoint(0, kLegendLine / 2), at + QPoint(24, kLegendLine / 2));
            writeOpaque(p, at + QPoint(30, 2), bandLabel(bands[i], language_), Qt::black, Qt::white);
            at.ry() += kLegendLine;
        }
        for (const int boat : boats) {
            if (boat < 1 || boat > race.boatCount)
                continue;
            const QColor colour = toQColor(race.boats[boat].colour);
            p.fillRect(QRect(at + QPoint(9, kLegendLine / 2 - 2), QSize(5, 5)), colour);
            writeOpaque(p, at + QPoint(30, 2), race.boats[boat].name, Qt::black, Qt::white);
            at.ry() += kLegendLine;
        }
    }

    FleetFixes fixes_;
    FleetPolar polar_;
    Language language_ = Language::EnglishByLocale;
    int chosen_ = 0;
};

}  // namespace

PolarAxes::PolarAxes(QSize size, double fastestKnots)
{
    ringKnots = fastestKnots <= 16 ? 2 : 5;
    outerKnots = std::max(ringKnots, std::ceil(fastestKnots / ringKnots) * ringKnots);
    const int top = kBelowPageTabs + kTitleHeight + kMargin + kLabelRoom;
    const int bottom = size.height() - kMargin - kLabelRoom;
    const int across = size.width() - 2 * kMargin - kRingLabelRoom - kLabelRoom - kLegendWidth;
    radius = std::max(10, std::min((bottom - top) / 2, across));
    pole = QPoint(kMargin + kRingLabelRoom + std::max(0, across - radius) / 2, top + radius);
}

QPoint PolarAxes::at(double twa, double knots) const
{
    const double r = knots / outerKnots * radius;
    return pole + QPoint(roundHalfEven(r * std::sin(degrees(twa))), -roundHalfEven(r * std::cos(degrees(twa))));
}

QColor targetLineColour(std::optional<int> band, int bands)
{
    if (!band || bands <= 1)
        return kStrongestBand;
    const double t = double(*band) / (bands - 1);
    const auto mix = [t](int light, int strong) { return roundHalfEven(light + t * (strong - light)); };
    return QColor(mix(kLightestBand.red(), kStrongestBand.red()), mix(kLightestBand.green(), kStrongestBand.green()),
                  mix(kLightestBand.blue(), kStrongestBand.blue()));
}

std::unique_ptr<RacePage> makePolarsPage() { return std::make_unique<PolarsPage>(); }

}  // namespace keelrun
