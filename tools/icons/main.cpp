// Draws the program's icons at build time:
//   keelrun-icons KML-FOLDER APP-FOLDER
// writes the globe viewer's icons into KML-FOLDER (ar0.png .. ar350.png, a
// boat for every ten degrees of heading, and buoi.png) and the application
// icon into APP-FOLDER/SIZExSIZE/apps/keelrun.png for the desktop's sizes.

#include <cstdio>

#include <QDir>
#include <QImage>
#include <QString>

#include "render/pictures.h"

namespace {

bool save(const QImage &image, const QDir &folder, const QString &name)
{
    return QDir().mkpath(folder.path()) && image.save(folder.filePath(name));
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: keelrun-icons KML-FOLDER APP-FOLDER\n");
        return 2;
    }
    const QDir kml(QString::fromLocal8Bit(argv[1]));
    const QDir app(QString::fromLocal8Bit(argv[2]));
    bool ok = save(keelrun::kmlBuoyIcon(), kml, QStringLiteral("buoi.png"));
    for (int heading = 0; heading < 360; heading += 10)
        ok = save(keelrun::kmlBoatIcon(heading), kml, QStringLiteral("ar%1.png").arg(heading)) && ok;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QDir sized(app.filePath(QStringLiteral("%1x%1/apps").arg(side)));
        ok = save(keelrun::applicationIcon(side), sized, QStringLiteral("keelrun.png")) && ok;
    }
    if (!ok)
        std::fprintf(stderr, "keelrun-icons: cannot write the icons\n");
    return ok ? 0 : 2;
}
