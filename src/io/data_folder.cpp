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

DataFolder::DataFolder(QString root) : root_(QDir::cleanPath(std::move(root))) {}

QString DataFolder::path(const QString &subFolder, const QString &name) const
{
    QString p = root_ + QLatin1Char('/') + subFolder;
    if (!name.isEmpty())
        p += QLatin1Char('/') + name;
    return p;
}

std::optional<QString> DataFolder::find(const QString &subFolder, const QString &name) const
{
    QString relative = name.trimmed();
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || relative.startsWith(QLatin1Char('/')) || parts.contains(QStringLiteral("..")))
        return std::nullopt;

    QDir dir(path(subFolder));
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

QString defaultDataFolder(const QString &executableDir)
{
    if (QDir(executableDir).exists(QStringLiteral("raceadmin")))
        return executableDir;
    return QDir(executableDir).filePath(QStringLiteral("../share/keelrun/demo"));
}

}  // namespace keelrun
