#pragma once
// The map area: shows the off-screen picture of the current page.

#include <QImage>
#include <QWidget>

namespace keelrun {

class MapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MapCanvas(QWidget *parent) : QWidget(parent) { setObjectName(QStringLiteral("mapCanvas")); }

    void setPicture(const QImage *picture)
    {
        picture_ = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    const QImage *picture_ = nullptr;
};

}  // namespace keelrun
