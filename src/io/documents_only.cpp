#include "io/documents_only.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace keelrun {
namespace {

// By content type: the whole families of pictures and videos, and the text,
// web and office formats a notice of race or a help page comes in. A script
// is told by its content (#!) and never reaches text/plain.
bool isDocumentType(const QMimeType &type)
{
    const QString name = type.name();
    if (name.startsWith(QLatin1String("image/")) || name.startsWith(QLatin1String("video/")) ||
        name.startsWith(QLatin1String("application/vnd.oasis.opendocument.")) ||
        name.startsWith(QLatin1String("application/vnd.openxmlformats-officedocument.")))
        return true;
    static const QStringList documents{
        QStringLiteral("application/pdf"),    QStringLiteral("text/plain"),          QStringLiteral("text/html"),
        QStringLiteral("application/xhtml+xml"), QStringLiteral("text/csv"),         QStringLiteral("text/markdown"),
        QStringLiteral("application/rtf"),    QStringLiteral("application/msword"), QStringLiteral("application/vnd.ms-excel"),
        QStringLiteral("application/vnd.ms-powerpoint")};
    return documents.contains(name);
}

}  // namespace

QString documentRefusal(const QString &path)
{
    const QFileInfo file(path);
    const QString name = file.fileName();
    if (!file.isFile())
        return QStringLiteral("%1 is not a file.").arg(name);
    if (file.isExecutable())
        return QStringLiteral("%1 is not opened: it is marked as a program that can be run.").arg(name);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchContent);
    const QMimeType byName = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    // A launcher or script named like a document is still refused.
    if (!isDocumentType(type) || (!byName.isDefault() && !isDocumentType(byName)))
        return QStringLiteral("%1 is not opened: it is a %2 (%3), not a document.").arg(name, type.comment(), type.name());
    return {};
}

}  // namespace keelrun
