#include <QCoreApplication>

#include "app/command_line.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Keelrun"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEELRUN_VERSION));
    return keelrun::runCommandLine(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath());
}
