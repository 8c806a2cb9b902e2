#pragma once
// The map area: shows the off-screen picture of the current page.

#include <QImage>
#include <QWidget>

namespace keelrun {

class MapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MapCanvas(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("mapCanvas"));
        setMouseTracking(true);
    }

    void setPicture(const QImage *picture)
    {
        picture_ = picture;
        update();
    }

signals:
    void clicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void pointerMoved(QPoint at, Qt::KeyboardModifiers modifiers);
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *) override { emit pointerLeft(); }

private:
    const QImage *picture_ = nullptr;
};

}  // namespace keelrun
