#include "test_folder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace keelrun::test {

QByteArray gpxTrack(const QString &firstUtc, int fixes)
{
    const QDateTime first = QDateTime::fromString(firstUtc, Qt::ISODate);
    QByteArray gpx = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n";
    for (int i = 0; i < fixes; ++i) {
        gpx += QStringLiteral("<trkpt lat=\"%1\" lon=\"%2\"><time>%3Z</time></trkpt>\n")
                   .arg(35 + i * 1e-5, 0, 'f', 7)
                   .arg(139 + i * 1e-5, 0, 'f', 7)
                   .arg(first.addSecs(i).toString(Qt::ISODate))
                   .toUtf8();
    }
    return gpx + "</trkseg></trk></gpx>\n";
}

TestFolder::TestFolder() { dir_.setAutoRemove(true); }

QString TestFolder::write(const QString &relativePath, const QByteArray &content)
{
    const QString full = dir_.filePath(relativePath);
    QDir().mkpath(QFileInfo(full).path());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(full));
    f.write(content);
    return full;
}

}  // namespace keelrun::test
