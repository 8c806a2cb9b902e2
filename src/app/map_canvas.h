#pragma once
// The map area: shows the off-screen picture of the current page.

#include <optional>

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
    // The wheel turned `steps` notches (positive: away from the user) over `at`.
    void wheelTurned(QPoint at, double steps);
    // The left button held and moved from `from` to `to` since the last report.
    void dragged(QPoint from, QPoint to);
    void doubleClicked(QPoint at);
    // A press let go without dragging.
    void clickedWithoutDrag(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void leaveEvent(QEvent *) override { emit pointerLeft(); }

private:
    const QImage *picture_ = nullptr;
    std::optional<QPoint> dragFrom_;  // the left button is down; where the last drag report left the pointer
    bool dragging_ = false;           // moved far enough from the press to be a drag
};

}  // namespace keelrun
