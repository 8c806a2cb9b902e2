#include "race/race_catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/text_file.h"

namespace keelrun {
namespace {

// The trimmed non-empty lines of a small text file.
QStringList linesOf(const QString &path)
{
    QStringList lines;
    const auto file = readTextFile(path);
    if (!file)
        return lines;
    for (const QString &line : QString::fromUtf8(file->utf8).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

}  // namespace

int catalogueIndexOf(const QStringList &raceList, const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    for (qsizetype i = 0; i < raceList.size(); ++i) {
        if (raceList[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

std::optional<int> nextRaceIndex(const RaceCatalogue &catalogue)
{
    const auto count = static_cast<int>(catalogue.raceList.size());
    if (count <= 1)
        return std::nullopt;
    return catalogue.raceListIndex >= count ? 1 : catalogue.raceListIndex + 1;
}

RaceCatalogue openCatalogue(const DataFolder &folder)
{
    RaceCatalogue catalogue;
    const QDir raceadmin(folder.path(SubFolder::RaceAdmin));
    catalogue.raceList = raceadmin.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    if (catalogue.raceList.size() > kMaxRaceFiles)
        catalogue.raceList.resize(kMaxRaceFiles);

    auto raceNamed = [&](const QString &name) -> QString {
        const auto found = folder.find(SubFolder::RaceAdmin, name);
        return found ? *found : QString();
    };
    const QString editFile = folder.editControl();
    if (QFile::exists(editFile)) {
        catalogue.editMode = true;
        const QStringList lines = linesOf(editFile);
        if (!lines.isEmpty())
            catalogue.raceFilePath = raceNamed(lines.last());
    } else {
        const QStringList lines = linesOf(folder.firstRaceList());
        if (!lines.isEmpty())
            catalogue.raceFilePath = raceNamed(lines.first());
        if (catalogue.raceFilePath.isEmpty() && !catalogue.raceList.isEmpty())
            catalogue.raceFilePath = raceadmin.filePath(catalogue.raceList.first());
    }
    catalogue.raceListIndex = catalogueIndexOf(catalogue.raceList, catalogue.raceFilePath);
    return catalogue;
}

}  // namespace keelrun
