#include "base/program_module.h"

#include <QDir>
#include <QLibrary>
#include <QStringList>

namespace keelrun {

QFunctionPointer loadProgramModule(const QString &programDir, const QString &fileName, const char *symbol,
                                   QString &problem)
{
    const QDir here(programDir);
    QStringList problems;
    for (const QString &dir : {here.path(), here.filePath(QStringLiteral("..")), here.filePath(QStringLiteral("../lib/keelrun"))}) {
        QLibrary library(QDir(dir).filePath(fileName));
        if (const QFunctionPointer entry = library.resolve(symbol))
            return entry;
        problems << library.errorString();
    }
    problem = problems.constLast();
    return nullptr;
}

}  // namespace keelrun
