#include "render/pages/start_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QPainter>

#include "base/numbers.h"
#include "race/plane.h"
#include "race/roundings.h"
#include "race/start_analysis.h"
#include "render/painting.h"

namespace keelrun {
namespace {

constexpr int kRow = 16;
constexpr std::size_t kGunMoment = 2;
static_assert(kApproachMoments[kGunMoment] == 0, "the approach moment at the gun");
constexpr int kTableWidth = 430;

QStringList tableHeads(Language language)
{
    if (isJapanese(language))
        return {QStringLiteral(u"艇名"), QStringLiteral(u"号砲時 線まで m"), QStringLiteral(u"線上 %"), QStringLiteral(u"速度 kn"),
                QStringLiteral(u"スタート s"), QStringLiteral(u"速度 kn")};
    return {QStringLiteral("Boat"), QStringLiteral("To line m"), QStringLiteral("Along %"), QStringLiteral("At gun kn"),
            QStringLiteral("Start s"), QStringLiteral("Then kn")};
}

QString figure(const std::optional<double> &value, int decimals)
{
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("-");
}

QStringList tableCells(const BoatStart &start)
{
    const std::optional<double> along = start.placeAlongLine ? std::optional(*start.placeAlongLine * 100) : std::nullopt;
    QString startTime = figure(start.startTime, 1);
    if (start.overEarly)
        startTime += QStringLiteral(" OCS");
    return {figure(start.metresFromLine, 1), figure(along, 0), figure(start.knotsAtGun, 1), startTime, figure(start.knotsAtStart, 1)};
}

class StartPage : public RacePage {
public:
    QString title(Language language) const override { return isJapanese(language) ? QStringLiteral(u"スタート") : QStringLiteral("Start"); }

    void draw(QImage &picture, const RaceState &race, const PageRequest &request) override
    {
        starts_ = analyseStarts(race);
        request_ = request;
        picture.fill(Qt::white);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        const auto frame = startFrame(race);
        if (!frame) {
            p.drawText(QRect(0, 0, picture.width(), picture.height()), Qt::AlignCenter,
                       isJapanese(request.language) ? QStringLiteral(u"スタートラインのないコース") : QStringLiteral("The course starts at no line"));
            return;
        }
        const QRect chart(20, 60, std::max(100, picture.width() - kTableWidth - 40), picture.height() - 90);
        drawChart(p, race, *frame, chart, 0);
        drawTable(p, race, QPoint(chart.right() + 20, 60), 0);
    }

    void markBoat(QImage &picture, const RaceState &race, const PageRequest &, int boat) const override
    {
        const auto frame = startFrame(race);
        if (!frame || boat < 1 || boat >= static_cast<int>(starts_.size()))
            return;
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        const QRect chart(20, 60, std::max(100, picture.width() - kTableWidth - 40), picture.height() - 90);
        drawChart(p, race, *frame, chart, boat);
        drawTable(p, race, QPoint(chart.right() + 20, 60), boat);
    }

private:
    // The order of the table: the earliest start first, boats that did not
    // start last.
    std::vector<int> startOrder(const RaceState &race) const
    {
        std::vector<int> order;
        for (int b = 1; b <= race.boatCount; ++b) {
            if (request_.shows(race, b))
                order.push_back(b);
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return starts_[a].startTime.value_or(1e12) < starts_[b].startTime.value_or(1e12);
        });
        return order;
    }

    // The line and the boats' approaches, `marked` (0: none) drawn thick.
    void drawChart(QPainter &p, const RaceState &race, const StartFrame &frame, const QRect &chart, int marked) const
    {
        const CourseLine &line = race.lines[parseCourseItem(race, race.course[0]).number];
        std::vector<QPointF> all{frame.metres(line.end1), frame.metres(line.end2)};
        for (int b = 1; b < static_cast<int>(starts_.size()); ++b) {
            for (const auto &at : starts_[b].approach) {
                if (at && request_.shows(race, b))
                    all.push_back(frame.metres(*at));
            }
        }
        double reach = 10;
        for (const QPointF &m : all)
            reach = std::max({reach, std::abs(m.x()), std::abs(m.y())});
        const double scale = std::min(chart.width(), chart.height()) / 2.0 / (reach * 1.1);
        const QPointF centre = QRectF(chart).center();
        const auto pixel = [&](QPointF m) { return centre + QPointF(m.x() * scale, -m.y() * scale); };
        if (marked == 0) {
            drawScale(p, chart, scale);
            p.setPen(QPen(QColor(255, 200, 0), 3));
            p.drawLine(pixel(all[0]), pixel(all[1]));
            p.setPen(QPen(QColor(160, 160, 160), 1, Qt::DashLine));
            p.drawLine(pixel({0, 0}), pixel({0, reach}));  // the first leg's way
        }
        LabelPlacer labels;
        for (int b = 1; b < static_cast<int>(starts_.size()); ++b) {
            if (!request_.shows(race, b) || (marked != 0 && b != marked))
                continue;
            const QColor colour = toQColor(race.boats[b].colour);
            const double thick = b == marked ? 2 : 1;
            QPolygonF path;
            for (const auto &at : starts_[b].approach) {
                if (at)
                    path << pixel(frame.metres(*at));
            }
            p.setPen(QPen(colour, thick));
            p.drawPolyline(path);
            p.setBrush(colour);
            for (const QPointF &dot : path)
                p.drawEllipse(dot, 2.5 * thick, 2.5 * thick);
            // At the gun: a ringed dot and the boat's name.
            if (const auto &atGun = starts_[b].approach[kGunMoment]) {
                const QPointF dot = pixel(frame.metres(*atGun));
                p.setPen(QPen(Qt::black, 1));
                p.drawEllipse(dot, 4 * thick, 4 * thick);
                writeApart(p, labels, dot.toPoint() + QPoint(7, -14), race.boats[b].name, Qt::black, Qt::white);
            }
        }
    }

    void drawScale(QPainter &p, const QRect &chart, double scale) const
    {
        double metres = 10;
        while (metres * scale < 60)
            metres *= metres == 10 || metres == 100 || metres == 1000 ? 2.5 : 2;
        const int length = roundHalfEven(metres * scale);
        const QPoint from(chart.left() + 10, chart.bottom() - 10);
        p.setPen(Qt::black);
        p.drawLine(from, from + QPoint(length, 0));
        p.drawText(from + QPoint(0, -4), QStringLiteral("%1 m").arg(metres));
        p.setPen(QColor(0, 110, 0));
        p.drawText(QPoint(chart.left(), 40), isJapanese(request_.language)
                                                 ? QStringLiteral(u"号砲 60秒前・30秒前・号砲・10秒後の位置（第1レグが上）")
                                                 : QStringLiteral("Places 60 s and 30 s before the gun, at it and 10 s after (first leg up)"));
    }

    void drawTable(QPainter &p, const RaceState &race, QPoint at, int marked) const
    {
        const QStringList heads = tableHeads(request_.language);
        const QFontMetrics metrics = p.fontMetrics();
        std::vector<int> widths;
        int nameWidth = metrics.horizontalAdvance(heads[0]);
        for (int b = 1; b <= race.boatCount; ++b)
            nameWidth = std::max(nameWidth, metrics.horizontalAdvance(race.boats[b].name));
        widths.push_back(nameWidth + 8);
        for (qsizetype c = 1; c < heads.size(); ++c)
            widths.push_back(std::max(metrics.horizontalAdvance(heads[c]), metrics.horizontalAdvance(QStringLiteral("-88.8 OCS"))) + 8);
        const auto row = [&](int y, const QStringList &cells, const QColor &nameColour) {
            int x = at.x();
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const QRect cell(x, y, widths[std::size_t(c)], kRow);
                QColor ink = Qt::black;
                if (c == 0 && nameColour.isValid()) {
                    p.fillRect(cell.adjusted(0, 1, -2, -1), nameColour);
                    ink = textColourOn(nameColour);
                }
                p.setPen(ink);
                p.drawText(cell.adjusted(3, 0, -3, 0), (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, cells[c]);
                x += widths[std::size_t(c)];
            }
            return x;
        };
        int y = at.y();
        if (marked == 0)
            row(y, heads, QColor());
        for (const int b : startOrder(race)) {
            y += kRow;
            if (marked != 0 && b != marked)
                continue;
            const int right = row(y, QStringList{race.boats[b].name} + tableCells(starts_[b]), toQColor(race.boats[b].colour));
            if (b == marked) {
                p.setPen(QPen(Qt::black, 2));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRect(QPoint(at.x() - 2, y), QPoint(right, y + kRow)));
            }
        }
    }

    std::vector<BoatStart> starts_;
    PageRequest request_;
};

}  // namespace

QPointF StartFrame::metres(GeoPoint p) const
{
    const double east = (p.lon - middle.lon) * kMetresPerMinute * cosLat, north = (p.lat - middle.lat) * kMetresPerMinute;
    return {east * std::cos(turn) - north * std::sin(turn), east * std::sin(turn) + north * std::cos(turn)};
}

std::optional<StartFrame> startFrame(const RaceState &race)
{
    if (race.courseLength() < 2)
        return std::nullopt;
    const CourseItemRef start = parseCourseItem(race, race.course[0]);
    if (!start.isLine || start.number < 1)
        return std::nullopt;
    const CourseLine &line = race.lines[start.number];
    StartFrame frame;
    frame.middle = {(line.end1.lat + line.end2.lat) / 2, (line.end1.lon + line.end2.lon) / 2};
    frame.cosLat = race.extent.cosLat;
    // The way from the line's middle to the first mark turned to north.
    const GeoPoint first = race.legs.coursePoint[2];
    const double east = (first.lon - frame.middle.lon) * kMetresPerMinute * frame.cosLat;
    const double north = (first.lat - frame.middle.lat) * kMetresPerMinute;
    frame.turn = bearingOf(east, north) * std::numbers::pi / 180;
    return frame;
}

std::unique_ptr<RacePage> makeStartPage() { return std::make_unique<StartPage>(); }

}  // namespace keelrun
