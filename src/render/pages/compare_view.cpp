#include "render/pages/compare_view.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "base/numbers.h"
#include "race/course_progress.h"
#include "race/manoeuvres.h"
#include "race/plane.h"
#include "race/track_derivation.h"
#include "render/map_overlays.h"
#include "render/pages/analysis_page.h"
#include "render/painting.h"

namespace keelrun {
namespace {

constexpr double kGainWindow = 60;  // seconds over which a gain is judged for the shading
constexpr double kGainAtLeast = 3;  // metres gained in that time to count

// One boat's speed, VMG and heading at each sample of the progress.
struct Sailing {
    std::vector<std::optional<double>> speed, vmg, heading;
};

Sailing sailingOf(const RaceState &race, const BoatEntry &boat, const std::vector<double> &times)
{
    const WindDirectionAt wind = analysisWind(race);
    Sailing s;
    for (const double t : times) {
        const auto here = sampleAt(boat, t);
        s.speed.push_back(here ? std::optional(here->speed) : std::nullopt);
        s.vmg.push_back(here ? std::optional(here->speed * std::cos((here->heading - wind(t)) * kDegree)) : std::nullopt);
        s.heading.push_back(here ? std::optional(here->heading) : std::nullopt);
    }
    return s;
}

// A graph band of the page: values from `low` (foot) to `high` (top).
struct Band {
    QRect box;
    double low = 0, high = 1;
    int y(double value) const { return box.bottom() - roundHalfEven((value - low) / (high - low) * (box.height() - 1)); }
};

QString texts(Language language, int which)
{
    static const char16_t *ja[] = {u"2艇の差（コースに沿って、m）", u"艇速と VMG（kn、点線が VMG）", u"針路（度）",
                                   u"比べる2艇をボートリストで選んでください（Shift + クリック、Ctrl + クリック）"};
    static const char *en[] = {"Gap between the two along the course (m)", "Speed and VMG (kn, VMG dotted)", "Heading (degrees)",
                               "Pick the two boats in the boat list (Shift + click, then Ctrl + click)"};
    return isJapanese(language) ? QString::fromUtf16(ja[which]) : QString::fromLatin1(en[which]);
}

class ComparePage : public RacePage {
public:
    QString title(Language language) const override { return isJapanese(language) ? QStringLiteral(u"2艇比較") : QStringLiteral("Compare"); }

    void draw(QImage &picture, const RaceState &race, const PageRequest &request) override
    {
        picture.fill(Qt::white);
        QPainter p(&picture);
        const auto boats = comparedBoats(race, request);
        if (!boats) {
            p.drawText(picture.rect(), Qt::AlignCenter, texts(request.language, 3));
            return;
        }
        const auto [a, b] = *boats;
        const CourseProgress progress = request.courseProgressOf(race);
        times_ = progress.times;
        const Sailing first = sailingOf(race, race.boats[a], times_), second = sailingOf(race, race.boats[b], times_);
        const int top = 60, gap = 30, height = (picture.height() - top - 40 - 2 * gap) / 3;
        plot_ = QRect(70, top, picture.width() - 100, height);
        drawGap(p, race, progress, a, b, request.language);
        drawSpeeds(p, race, first, second, a, b, plot_.translated(0, height + gap), request.language);
        drawHeadings(p, race, first, second, a, b, plot_.translated(0, 2 * (height + gap)), request.language);
        drawTimeAxis(p, picture.height() - 40);
    }

    void markBoat(QImage &, const RaceState &, const PageRequest &, int) const override {}

private:
    int x(double t) const
    {
        const double end = std::max(1.0, times_.empty() ? 1.0 : times_.back());
        return plot_.left() + roundHalfEven(t / end * (plot_.width() - 1));
    }

    // Metres the first boat is ahead (above the middle line) or behind;
    // behind the stretches where one gained on the other, its colour, pale.
    void drawGap(QPainter &p, const RaceState &race, const CourseProgress &progress, int a, int b, Language language) const
    {
        std::vector<std::optional<double>> ahead;
        double most = 10;
        for (std::size_t i = 0; i < times_.size(); ++i) {
            const ProgressPoint &pa = progress.boats[a][i], &pb = progress.boats[b][i];
            ahead.push_back(pa.racing && pb.racing ? std::optional(pa.metres - pb.metres) : std::nullopt);
            if (ahead.back())
                most = std::max(most, std::abs(*ahead.back()));
        }
        const Band band{plot_, -most, most};
        // A minute at a time, shaded for the boat that gained in it.
        const auto window = static_cast<std::size_t>(kGainWindow / progress.step);
        for (std::size_t i = window; i < ahead.size(); i += window) {
            const std::size_t from = i - window;
            if (!ahead[i] || !ahead[from] || std::abs(*ahead[i] - *ahead[from]) < kGainAtLeast)
                continue;
            QColor pale = toQColor(race.boats[*ahead[i] > *ahead[from] ? a : b].colour);
            pale.setAlpha(45);
            p.fillRect(QRect(QPoint(x(times_[from]), plot_.top()), QPoint(x(times_[i]), plot_.bottom())), pale);
        }
        p.setPen(QColor(150, 150, 150));
        p.drawLine(plot_.left(), band.y(0), plot_.right(), band.y(0));
        drawLine(p, ahead, band, QPen(Qt::black, 2));
        frame(p, band, texts(language, 0), QStringLiteral("+%1").arg(roundHalfEven(most)), QStringLiteral("-%1").arg(roundHalfEven(most)));
        // Which boat is which: the first ahead above the middle line.
        int at = band.box.left() + p.fontMetrics().horizontalAdvance(texts(language, 0)) + 24;
        for (const auto &[boat, side] : {std::pair{a, QStringLiteral(" ▲ %1 ahead ")}, std::pair{b, QStringLiteral(" ▼ %1 ahead ")}}) {
            const QString text = side.arg(race.boats[boat].name);
            const QColor colour = toQColor(race.boats[boat].colour);
            writeOpaque(p, {at, band.box.top() - 20}, text, textColourOn(colour), colour);
            at += p.fontMetrics().horizontalAdvance(text) + 12;
        }
    }

    void drawSpeeds(QPainter &p, const RaceState &race, const Sailing &first, const Sailing &second, int a, int b, const QRect &box,
                    Language language) const
    {
        double high = 1, low = 0;
        for (const Sailing *s : {&first, &second}) {
            for (std::size_t i = 0; i < times_.size(); ++i) {
                high = std::max({high, s->speed[i].value_or(0), s->vmg[i].value_or(0)});
                low = std::min(low, s->vmg[i].value_or(0));
            }
        }
        const Band band{box, low, high};
        p.setPen(QColor(150, 150, 150));
        p.drawLine(box.left(), band.y(0), box.right(), band.y(0));
        for (const auto &[s, boat] : {std::pair{&first, a}, std::pair{&second, b}}) {
            const QColor colour = toQColor(race.boats[boat].colour);
            drawLine(p, s->speed, band, QPen(colour, 1));
            drawLine(p, s->vmg, band, QPen(colour, 1, Qt::DotLine));
        }
        frame(p, band, texts(language, 1), QString::number(high, 'f', 1), QString::number(low, 'f', 1));
    }

    void drawHeadings(QPainter &p, const RaceState &race, const Sailing &first, const Sailing &second, int a, int b, const QRect &box,
                      Language language) const
    {
        const Band band{box, 0, 360};
        for (const auto &[s, boat] : {std::pair{&first, a}, std::pair{&second, b}})
            drawLine(p, s->heading, band, QPen(toQColor(race.boats[boat].colour), 1), 180);
        frame(p, band, texts(language, 2), QStringLiteral("360"), QStringLiteral("0"));
    }

    // A value over time as a line, broken where it is unknown or, with
    // `jump`, where it leaps more than that (a heading across north).
    void drawLine(QPainter &p, const std::vector<std::optional<double>> &values, const Band &band, const QPen &pen, double jump = 0) const
    {
        p.setPen(pen);
        for (std::size_t i = 1; i < values.size(); ++i) {
            if (values[i - 1] && values[i] && (jump == 0 || std::abs(*values[i] - *values[i - 1]) < jump))
                p.drawLine(x(times_[i - 1]), band.y(*values[i - 1]), x(times_[i]), band.y(*values[i]));
        }
    }

    void frame(QPainter &p, const Band &band, const QString &title, const QString &topLabel, const QString &footLabel) const
    {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(band.box);
        writeOpaque(p, band.box.topLeft() + QPoint(0, -20), title, Qt::white, QColor(0, 110, 0));
        p.setPen(Qt::black);
        p.drawText(QRect(0, band.box.top(), band.box.left() - 4, 14), Qt::AlignRight, topLabel);
        p.drawText(QRect(0, band.box.bottom() - 14, band.box.left() - 4, 14), Qt::AlignRight, footLabel);
    }

    void drawTimeAxis(QPainter &p, int y) const
    {
        if (times_.empty())
            return;
        const double end = times_.back();
        const double step = end > 5400 ? 1800 : end > 1800 ? 600 : 300;
        p.setPen(Qt::black);
        for (double t = 0; t <= end; t += step) {
            const QString label = raceClockText(t);
            p.drawText(x(t) - p.fontMetrics().horizontalAdvance(label) / 2, y + 16, label);
        }
    }

    std::vector<double> times_;
    QRect plot_;
};

}  // namespace

std::optional<std::pair<int, int>> comparedBoats(const RaceState &race, const PageRequest &request)
{
    std::vector<int> boats;
    for (const int b : request.chosen) {
        if (b >= 1 && b <= race.boatCount && std::find(boats.begin(), boats.end(), b) == boats.end())
            boats.push_back(b);
    }
    for (int b = 1; b <= race.boatCount && boats.size() < 2; ++b) {
        if (request.chosen.empty() && request.shows(race, b))
            boats.push_back(b);
    }
    if (boats.size() < 2)
        return std::nullopt;
    return std::pair{boats[0], boats[1]};
}

std::unique_ptr<RacePage> makeComparePage() { return std::make_unique<ComparePage>(); }

}  // namespace keelrun
