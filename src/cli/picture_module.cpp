#include "cli/picture_module.h"

#include <type_traits>

#include <QGuiApplication>

#include "cli/command_line.h"
#include "cli/render_command.h"
#include "cli/video_command.h"

extern "C" Q_DECL_EXPORT int keelrunPictureMain(int *argc, char **argv)
{
    static_assert(std::is_same_v<decltype(&keelrunPictureMain), keelrun::PictureModuleEntry>);
    keelrun::drawWithoutDisplay();
    QGuiApplication app(*argc, argv);
    const keelrun::CommandLine command = keelrun::describeAndParse();
    const QString programDir = QCoreApplication::applicationDirPath();
    if (command.mode == keelrun::CommandLine::Video)
        return keelrun::runVideo(command, programDir, keelrun::stopOnInterrupt());
    return command.mode == keelrun::CommandLine::Done ? command.exitCode : keelrun::runRender(command, programDir);
}
