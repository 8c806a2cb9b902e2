// Writes the globe viewer's icons into a folder: ar0.png .. ar350.png, a
// boat for every ten degrees of heading, and buoi.png.
//   keelrun-kml-icons FOLDER

#include <cstdio>

#include <QDir>
#include <QImage>
#include <QString>

#include "render/pictures.h"

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: keelrun-kml-icons FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path()))
        return 2;
    bool ok = keelrun::kmlBuoyIcon().save(folder.filePath(QStringLiteral("buoi.png")));
    for (int heading = 0; heading < 360; heading += 10)
        ok = keelrun::kmlBoatIcon(heading).save(folder.filePath(QStringLiteral("ar%1.png").arg(heading))) && ok;
    if (!ok)
        std::fprintf(stderr, "keelrun-kml-icons: cannot write into %s\n", argv[1]);
    return ok ? 0 : 2;
}
