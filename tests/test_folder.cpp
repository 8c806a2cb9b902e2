#include "test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace keelrun::test {

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
