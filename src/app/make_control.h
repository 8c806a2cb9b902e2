#pragma once
// Controls are made at fixed places and named: the name is the control's
// objectName, by which tests and tips find it.

#include <QRect>
#include <QString>
#include <QWidget>

namespace keelrun {

template <typename W>
W *makeControl(QWidget *parent, const char *name, QRect geometry)
{
    auto *widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace keelrun
