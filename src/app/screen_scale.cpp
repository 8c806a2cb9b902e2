#include "app/screen_scale.h"

#include <algorithm>
#include <cmath>

#include <QGuiApplication>
#include <QScreen>

namespace keelrun {

double interfaceScale(QSize size)
{
    const double fits = std::min(double(size.width()) / kDesignScreen.width(), double(size.height()) / kDesignScreen.height());
    return std::max(1.0, std::floor(fits * 4) / 4);
}

void scaleNextApplication(double scale)
{
    if (scale != 1 && !qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
}

QSize measurePrimaryScreen(int &argc, char **argv)
{
    const QGuiApplication probe(argc, argv);
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

}  // namespace keelrun
