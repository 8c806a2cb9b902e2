#include "export/manoeuvre_table.h"

#include "base/numbers.h"
#include "export/documents.h"
#include "race/manoeuvres.h"

namespace keelrun {
namespace {

QString number(double value, int decimals) { return QString::number(value, 'f', decimals); }

}  // namespace

QString manoeuvreTable(const RaceState &race)
{
    QString text = QStringLiteral("boat,time,kind,at mark,heading in,heading out,speed in,speed out,duration,loss m,loss s\r\n");
    for (int b = 1; b <= race.boatCount; ++b) {
        for (const Manoeuvre &m : race.boats[b].manoeuvres) {
            text += QStringList{csvCell(race.boats[b].name), number(m.time, 0), manoeuvreKindName(m.kind),
                                m.atMark ? QStringLiteral("yes") : QStringLiteral("no"), QString::number(m.headingIn),
                                QString::number(m.headingOut), number(m.speedIn, 2), number(m.speedOut, 2),
                                number(m.duration, 0), number(m.lossMetres, 1), number(m.lossSeconds, 1)}
                        .join(QLatin1Char(',')) +
                    QStringLiteral("\r\n");
        }
    }
    return text;
}

}  // namespace keelrun
