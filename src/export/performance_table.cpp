#include "export/performance_table.h"

#include <optional>

#include <QStringList>

#include "base/numbers.h"
#include "base/text_file.h"
#include "export/documents.h"
#include "race/plane.h"
#include "race/roundings.h"

namespace keelrun {
namespace {

const QString kDash = QStringLiteral("-");


// The shortest text without an exponent: tiny differences are cut to
// zeros rather than read as "1.2345" of "1.2345e-05".
QString shortestDecimal(double value)
{
    QString text = numberText(value);
    if (!text.contains(QLatin1Char('e')))
        return text;
    text = QString::number(value, 'f', 15);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}
QString withSign(double value, const QString &text) { return value > 0 ? QStringLiteral("+") + text : text; }

// The rows of one race's table, with the figures every row needs.
class TableWriter {
public:
    explicit TableWriter(const RaceState &race) : r_(race), k_(race.courseLength())
    {
        for (int leg = 1; leg < k_; ++leg) {
            const double miles = r_.legs.legLength[leg] / kMetresPerMinute;
            if (r_.legs.legKind[leg] == Upwind)
                upSum_ += miles;
            else if (r_.legs.legKind[leg] == Downwind)
                downSum_ += miles;
        }
        best_ = bestBoat();
    }

    QString write()
    {
        header();
        legTimes();
        positions();
        course();
        sailedDistances();
        boatSpeeds();
        summary();
        comparisons();
        return rows_.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    }

private:
    // Every figure below is taken from passed items only: a time of an item
    // never passed is no time, and what would follow from it is "-".
    double time(int b, int k) const { return r_.boats[b].roundingTime[k]; }
    bool reached(int b, int k) const { return passed(time(b, k)); }
    // Leg L is timed from the gun for the first leg, else between its items.
    double legTime(int b, int leg) const { return leg == 1 ? time(b, 2) : time(b, leg + 1) - time(b, leg); }
    bool legTimed(int b, int leg) const { return reached(b, leg + 1) && (leg == 1 || reached(b, leg)) && legTime(b, leg) > 0; }
    double distance(int b, int k) const { return r_.boats[b].legDistance[k]; }
    bool legSailed(int b, int leg) const { return legTimed(b, leg) && distance(b, leg) > 0; }
    double knots(double metres, double seconds) const { return metres / seconds * 3600 / kMetresPerMinute; }
    bool finished(int b) const { return time(b, k_) > 0 && reached(b, k_); }
    // The mean speed over the whole course needs the finish and the distance.
    bool averaged(int b) const { return finished(b) && distance(b, k_) > 0; }

    // The fastest finisher, the lower number on equal times.
    std::optional<int> bestBoat() const
    {
        std::optional<int> best;
        for (int b = 1; b <= r_.boatCount; ++b) {
            if (finished(b) && (!best || time(b, k_) < time(*best, k_)))
                best = b;
        }
        return best;
    }

    QString legCaption(int leg) const { return csvCell(legName(r_, leg)); }
    QString legList() const
    {
        QString text;
        for (int leg = 1; leg < k_; ++leg)
            text += QLatin1Char(',') + legCaption(leg);
        return text;
    }
    QString kindOf(int leg) const
    {
        const int kind = r_.legs.legKind[leg];
        return kind == Upwind ? QStringLiteral("(UP)") : kind == Downwind ? QStringLiteral("(DN)") : QString();
    }
    QString kinds() const
    {
        QString text;
        for (int leg = 1; leg < k_; ++leg)
            text += QLatin1Char(',') + kindOf(leg);
        return text;
    }
    void blank(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            rows_ << QStringLiteral(" ");
    }
    // One row per boat: its name, then the cells `cells` writes.
    template <typename F>
    void boatRows(F &&cells)
    {
        for (int b = 1; b <= r_.boatCount; ++b)
            rows_ << csvCell(r_.boats[b].name) + cells(b);
    }

    void header()
    {
        if (r_.ctMode > 0)
            rows_ << csvCell(QStringLiteral("NOTE: All data related \"time\" including BSP are corrected by TCC/TMF"));
        rows_ << csvCell(r_.title);
        rows_ << QStringLiteral("Start Time,") + csvCell(dateTimeText(r_.startTime));
        rows_ << QStringLiteral("Mean Wind Dir,") + wholeCell(r_.windDirection) + QStringLiteral(" deg");
        blank();
    }

    void legTimes()
    {
        const bool ct = r_.ctMode > 0;
        rows_ << QStringLiteral("Time by each leg (Sec)");
        rows_ << (ct ? QStringLiteral(",") : QString()) + kinds();
        rows_ << QStringLiteral("Boat Name") + (ct ? QStringLiteral(",TCC/TMF") : QString()) + legList() +
                     QStringLiteral(",Total(A),,Sail Dist(B),BSP(C=B/A),,Start Time,Notes");
        boatRows([&](int b) {
            QString cells = ct ? QLatin1Char(',') + plainCell(r_.boats[b].handicap) : QString();
            for (int leg = 1; leg < k_; ++leg)
                cells += QLatin1Char(',') + (legTimed(b, leg) ? wholeCell(legTime(b, leg)) : kDash);
            cells += QLatin1Char(',') + (finished(b) ? wholeCell(time(b, k_)) : kDash);
            cells += QStringLiteral(",,") + (distance(b, k_) > 0 ? fourDecimalCell(distance(b, k_) / kMetresPerMinute) : kDash);
            cells += QLatin1Char(',') + (averaged(b) ? fourDecimalCell(knots(distance(b, k_), time(b, k_))) : kDash);
            cells += QStringLiteral(", ,") + (reached(b, 1) ? wholeCell(time(b, 1)) : kDash);
            if (const QStringList notes = passageNotes(r_, r_.boats[b]); !notes.isEmpty())
                cells += QLatin1Char(',') + csvCell(notes.join(QStringLiteral("; ")));
            return cells;
        });
        blank(2);
    }

    void positions()
    {
        rows_ << QStringLiteral("Position by each Mark/Line");
        QString heading = QStringLiteral("Boat Name");
        for (int k = 1; k <= k_; ++k)
            heading += QLatin1Char(',') + (k == 1 ? QStringLiteral("START") : k == k_ ? QStringLiteral("FINISH") : csvCell(r_.course[k - 1]));
        rows_ << heading;
        boatRows([&](int b) {
            QString cells;
            for (int k = 1; k <= k_; ++k)
                cells += QLatin1Char(',') + (reached(b, k) ? QString::number(placeAt(r_, b, k)) : kDash);
            return cells;
        });
        blank(2);
    }

    void course()
    {
        rows_ << QStringLiteral("Course Length by each leg (N Miles)");
        rows_ << QStringLiteral("Line/Mark") + legList() + QStringLiteral(",Total(A)");
        rows_ << QStringLiteral("Point of sail") + kinds() + QStringLiteral(",,,UP_DIST,DN_DIST");
        QString lengths = QStringLiteral("Length");
        for (int k = 1; k <= k_; ++k)
            lengths += QLatin1Char(',') + fourDecimalCell(r_.legs.legLength[k] / kMetresPerMinute);
        rows_ << lengths + QStringLiteral(",,") + plainCell(upSum_) + QLatin1Char(',') + plainCell(downSum_);
        QString bearings = QStringLiteral("BRG(deg/Mag)");
        for (int leg = 1; leg < k_; ++leg) {
            double magnetic = r_.legs.legBearing[leg] - r_.magneticVariation;
            if (magnetic < 0)
                magnetic += 360;
            if (magnetic > 360)
                magnetic -= 360;
            bearings += QLatin1Char(',') + degreesCell(magnetic);
        }
        rows_ << bearings + QStringLiteral(",-");
        blank(2);
    }

    void sailedDistances()
    {
        rows_ << QStringLiteral("Sailed Distance by each leg (N Miles)") << kinds();
        rows_ << QStringLiteral("Boat Name") + legList() + QStringLiteral(",Total(B)");
        boatRows([&](int b) {
            QString cells;
            for (int k = 1; k <= k_; ++k)
                cells += QLatin1Char(',') + (distance(b, k) > 0 ? fourDecimalCell(distance(b, k) / kMetresPerMinute) : kDash);
            return cells;
        });
        blank(2);
    }

    void boatSpeeds()
    {
        rows_ << QStringLiteral("Boat speed by each leg (KTS)") << kinds();
        rows_ << QStringLiteral("Boat Name") + legList() + QStringLiteral(",Ave(C)");
        boatRows([&](int b) {
            QString cells;
            for (int leg = 1; leg < k_; ++leg)
                cells += QLatin1Char(',') + (legSailed(b, leg) ? fourDecimalCell(knots(distance(b, leg), legTime(b, leg))) : kDash);
            return cells + QLatin1Char(',') + (averaged(b) ? fourDecimalCell(knots(distance(b, k_), time(b, k_))) : kDash);
        });
        blank(2);
    }

    void summary()
    {
        rows_ << QStringLiteral("SUMMARY OF SAILING PERFORMANCE");
        rows_ << QStringLiteral(",(UP),(UP),(UP),(UP),,(DN),(DN),(DN),(DN)");
        rows_ << QStringLiteral("BOAT NAME,TIME,DIST,BSP,VMC,,TIME,DIST,BSP,VMC");
        // A boat that did not sail every leg of a kind has no time for it:
        // a part of the upwind legs against the whole upwind course would
        // make a boat that retired after the first beat the fastest.
        auto half = [](double seconds, double miles, double courseMiles) {
            const bool timed = seconds > 0, measured = miles > 0;
            return QLatin1Char(',') + (timed ? wholeCell(seconds) : kDash) + QLatin1Char(',') +
                   (measured ? fiveCharacterCell(miles) : kDash) + QLatin1Char(',') +
                   (timed && measured ? fiveCharacterCell(miles * 3600 / seconds) : kDash) + QLatin1Char(',') +
                   (timed ? fiveCharacterCell(courseMiles * 3600 / seconds) : kDash);
        };
        boatRows([&](int b) {
            const BoatEntry &boat = r_.boats[b];
            return half(boat.upwindTime, boat.upwindDistance, upSum_) + QLatin1Char(',') +
                   half(boat.downwindTime, boat.downwindDistance, downSum_);
        });
        blank(2);
    }

    // A figure of the boat less the best boat's, when both have it; without
    // a finisher there is no best boat, and every difference is "-".
    template <typename Has>
    bool bothHave(int b, Has &&has) const { return best_ && has(b) && has(*best_); }
    // A first leg is compared only when the boat's start crossing was found.
    bool compared(int b, int leg) const { return reached(b, leg) && legTimed(b, leg); }

    void comparisons()
    {
        rows_ << QStringLiteral("COMPARISON OF DATA (Best boat:=0");
        blank();
        rows_ << QStringLiteral("Difference of Time by each leg (SEC: difference from Best Boat)") << kinds();
        rows_ << QStringLiteral("Boat Name") + legList() + QStringLiteral(",Total(B)");
        boatRows([&](int b) {
            QString cells;
            for (int leg = 1; leg < k_; ++leg) {
                const bool both = bothHave(b, [&](int c) { return compared(c, leg); });
                cells += QLatin1Char(',') + (both ? wholeCell(legTime(b, leg) - legTime(*best_, leg)) : kDash);
            }
            return cells + QLatin1Char(',') + (best_ && finished(b) ? signedWholeCell(time(b, k_) - time(*best_, k_)) : kDash);
        });
        blank(2);
        rows_ << QStringLiteral("Difference of Sailed Distance by each leg (Meters)") << kinds();
        rows_ << QStringLiteral("Boat Name") + legList() + QStringLiteral(",Total(B)");
        boatRows([&](int b) {
            QString cells;
            for (int k = 1; k <= k_; ++k) {
                const bool both = bothHave(b, [&](int c) { return distance(c, k) > 0; });
                cells += QLatin1Char(',') + (both ? signedWholeCell(distance(b, k) - distance(*best_, k)) : kDash);
            }
            return cells;
        });
        blank(2);
        rows_ << QStringLiteral("Difference of Boat speed by each leg (KTS)") << kinds();
        rows_ << QStringLiteral("Boat Name") + legList() + QStringLiteral(",Ave(C)");
        boatRows([&](int b) {
            QString cells;
            for (int leg = 1; leg < k_; ++leg) {
                const bool both = bothHave(b, [&](int c) { return legSailed(c, leg); });
                cells += QLatin1Char(',') + (both ? speedDifference(distance(b, leg), legTime(b, leg), distance(*best_, leg), legTime(*best_, leg))
                                                  : kDash);
            }
            const bool whole = bothHave(b, [&](int c) { return averaged(c); });
            return cells + QLatin1Char(',') +
                   (whole ? speedDifference(distance(b, k_), time(b, k_), distance(*best_, k_), time(*best_, k_)) : kDash);
        });
    }

    QString speedDifference(double metres, double seconds, double bestMetres, double bestSeconds) const
    {
        return signedFourDecimalCell((metres / seconds - bestMetres / bestSeconds) * 3600 / kMetresPerMinute);
    }

    const RaceState &r_;
    const int k_;  // course items timed; K - 1 legs
    double upSum_ = 0, downSum_ = 0;  // nautical miles of upwind and downwind legs
    std::optional<int> best_;
    QStringList rows_;
};

}  // namespace

QString legName(const RaceState &race, int leg)
{
    return (leg == 1 ? QStringLiteral("ST") : race.course[leg - 1]) + QStringLiteral("->") + race.course[leg];
}

QString wholeCell(double value) { return QString::number(roundHalfEven(value)); }

QString signedWholeCell(double value) { return withSign(roundHalfEven(value), wholeCell(value)); }

QString fourDecimalCell(double value)
{
    const QString text = shortestDecimal(value);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? text : (text + QStringLiteral("00000")).left(point + 5);
}

QString signedFourDecimalCell(double value) { return withSign(value, fourDecimalCell(value)); }

QString fiveCharacterCell(double value) { return shortestDecimal(value).left(5); }

QString degreesCell(double value)
{
    const QString text = numberText(value);
    return text.left(text.indexOf(QLatin1Char('.')) < 0 ? text.size() : text.indexOf(QLatin1Char('.')));
}

QString plainCell(double value) { return numberText(value); }

QString performanceTable(const RaceState &race) { return TableWriter(race).write(); }

}  // namespace keelrun
