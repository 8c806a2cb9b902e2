#include "io/data_folder.h"

#include <QDir>
#include <QFileInfo>

namespace keelrun {
namespace {

// The entry of `dir` whose name equals `part` up to letter case.
std::optional<QString> findEntry(const QDir &dir, const QString &part)
{
    if (dir.exists(part))
        return part;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(part, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

}  // namespace

QString subFolderName(SubFolder folder)
{
    switch (folder) {
    case SubFolder::RaceAdmin:
        return QStringLiteral("raceadmin");
    case SubFolder::Tracks:
        return QStringLiteral("gpsdat");
    case SubFolder::Wind:
        return QStringLiteral("winddat");
    case SubFolder::Attachments:
        return QStringLiteral("attachment");
    case SubFolder::Coastlines:
        return QStringLiteral("coastline");
    case SubFolder::Control:
        return QStringLiteral("ctrl");
    case SubFolder::Help:
        return QStringLiteral("help");
    case SubFolder::HelpEnglish:
        return QStringLiteral("help-e");
    case SubFolder::KmlIcons:
        return QStringLiteral("ya");
    }
    return {};
}

DataFolder::DataFolder(QString root) : root_(QDir::cleanPath(std::move(root))) {}

QString DataFolder::path(SubFolder folder, const QString &name) const
{
    QString p = root_ + QLatin1Char('/') + subFolderName(folder);
    if (!name.isEmpty())
        p += QLatin1Char('/') + name;
    return p;
}

std::optional<QString> DataFolder::find(SubFolder folder, const QString &name) const
{
    QString relative = name.trimmed();
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || relative.startsWith(QLatin1Char('/')) || parts.contains(QStringLiteral("..")))
        return std::nullopt;

    QDir dir(path(folder));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const auto entry = findEntry(dir, parts[i]);
        if (!entry)
            return std::nullopt;
        const QString next = dir.filePath(*entry);
        if (i + 1 == parts.size())
            return QFileInfo(next).isFile() ? std::optional<QString>(next) : std::nullopt;
        dir.setPath(next);
    }
    return std::nullopt;
}

QString DataFolder::coverPicture() const { return path(SubFolder::RaceAdmin, QStringLiteral("cover.jpg")); }

QString DataFolder::firstRaceList() const { return path(SubFolder::RaceAdmin, QStringLiteral("racefile.st")); }

QString DataFolder::editControl() const { return path(SubFolder::Control, QStringLiteral("editfile.edt")); }

std::optional<QString> DataFolder::helpPage(bool japanese) const
{
    const QString page = path(japanese ? SubFolder::Help : SubFolder::HelpEnglish, QStringLiteral("index.html"));
    return QFileInfo(page).isFile() ? std::optional<QString>(page) : std::nullopt;
}

QString defaultDataFolder(const QString &executableDir)
{
    if (QDir(executableDir).exists(subFolderName(SubFolder::RaceAdmin)))
        return executableDir;
    return QDir(executableDir).filePath(QStringLiteral("../share/keelrun/demo"));
}

}  // namespace keelrun
