#include "export/documents.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "base/numbers.h"
#include "base/text_file.h"
#include "model/race_state.h"

namespace keelrun {

QString documentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(folder);
    return folder;
}

QString documentPathFor(const RaceState &race, const QString &ending)
{
    const QString base = QFileInfo(race.raceFileName).completeBaseName();
    return QDir(documentsFolder()).filePath((base.isEmpty() ? QStringLiteral("keelrun") : base) + ending);
}

QString sceneKmlEnding(const RaceState &race, double raceClock)
{
    return toQDateTime(addSeconds(race.startTime, roundHalfEven(raceClock))).toString(QStringLiteral("-HHmm'.kml'"));
}

QByteArray pictureFormatFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return "PNG";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "JPEG";
    if (suffix == QLatin1String("webp"))
        return "WEBP";
    return {};
}

QString saveDocument(const QString &path, const QByteArray &bytes)
{
    const QString problem = replaceFile(path, bytes);
    return problem.isEmpty() ? problem : QStringLiteral("%1: %2").arg(path, problem);
}

QByteArray spreadsheetText(const QString &text) { return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8(); }

QString csvCell(const QString &text)
{
    static const QRegularExpression needsQuotes(QStringLiteral("[\",\r\n]"));
    if (!text.contains(needsQuotes))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

}  // namespace keelrun
