#include "export/documents.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

namespace keelrun {

QString documentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(folder);
    return folder;
}

QString saveDocument(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

QByteArray spreadsheetText(const QString &text) { return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8(); }

}  // namespace keelrun
