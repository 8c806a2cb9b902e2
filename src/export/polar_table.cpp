#include "export/polar_table.h"

#include <QStringList>

#include "race/fleet_polars.h"

namespace keelrun {

QString polarTable(const RaceState &race)
{
    const QString dash = QStringLiteral("-");
    QString text = QStringLiteral("twa from,twa to,tws from,tws to,fixes,target kn\r\n");
    for (const PolarBin &bin : fleetPolar(race).bins) {
        const QStringList row{QString::number(bin.twaFrom), QString::number(bin.twaFrom + kAngleBinDegrees),
                              bin.twsFrom ? QString::number(*bin.twsFrom) : dash,
                              bin.twsFrom ? QString::number(*bin.twsFrom + kWindBandKnots) : dash, QString::number(bin.fixes),
                              bin.target ? QString::number(*bin.target, 'f', 2) : dash};
        text += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}

}  // namespace keelrun
