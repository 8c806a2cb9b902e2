#include "export/leg_table.h"

#include <optional>

#include <QStringList>

#include "export/documents.h"
#include "export/performance_table.h"
#include "race/leg_analysis.h"

namespace keelrun {
namespace {

const QString kDash = QStringLiteral("-");

QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }
QString fixed(std::optional<double> value, int decimals) { return value ? fixed(*value, decimals) : kDash; }

QString kindName(int kind)
{
    switch (kind) {
    case Upwind:
        return QStringLiteral("upwind");
    case Downwind:
        return QStringLiteral("downwind");
    case Reach:
        return QStringLiteral("reach");
    default:
        return kDash;
    }
}

QStringList figures(const RaceState &race, int j, const LegResult &leg)
{
    if (!leg.sailed)
        return QStringList(11, kDash);
    return {wholeCell(leg.seconds),
            leg.sailedMetres > 0 ? wholeCell(leg.sailedMetres) : kDash,
            wholeCell(race.legs.legLength[j]),
            fixed(leg.efficiency, 3),
            fixed(leg.vmgKnots, 2),
            QString::number(leg.tacks),
            QString::number(leg.gybes),
            fixed(leg.manoeuvreSeconds, 1),
            QString::number(leg.place),
            signedWholeCell(leg.placesGained),
            fixed(leg.targetShare, 3)};
}

}  // namespace

QString legTable(const RaceState &race)
{
    const FleetFixes fixes = fleetSteadyFixes(race);
    const auto legs = analyseLegs(race, fixes, fleetPolar(race, fixes));
    QString text = QStringLiteral("boat,leg,kind,time s,sailed m,length m,efficiency,vmg kn,tacks,gybes,manoeuvre loss s,place,"
                                  "places gained,target share\r\n");
    for (int b = 1; b <= race.boatCount; ++b) {
        for (int j = 1; j < race.courseLength(); ++j) {
            const QStringList row = QStringList{csvCell(race.boats[b].name), csvCell(legName(race, j)), kindName(race.legs.legKind[j])} +
                                    figures(race, j, legs[b][j]);
            text += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
    }
    return text;
}

}  // namespace keelrun
