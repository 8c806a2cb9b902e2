#pragma once
// The time bar panel between the map and the right-hand column: its picture
// (day and night, boat 1's zones, the gun, START) and the red pointer at the
// race clock. It turns the pointer's moves and clicks into race-clock times.

#include <QImage>
#include <QWidget>

#include "model/race_state.h"

class QLabel;

namespace keelrun {

class TimeBarPanel : public QWidget {
    Q_OBJECT
public:
    explicit TimeBarPanel(QWidget *parent);

    // Draws the bar for the race (a bare bar without one) at the panel's
    // size, with the roundings of the boat `highlighted` (0: none).
    void showRace(const RaceState &race, int highlighted = 0);
    void placePointer(double raceClock);

signals:
    void hovered(double raceClock, QPoint at);  // over the strip; `at` in the panel
    void hoverEnded();                         // on the panel, off the strip
    void timeChosen(double raceClock);         // a click on the strip, or a drag along it
    void startChosen();                        // a click on START

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *) override { emit hoverEnded(); }

private:
    const RaceState *race_ = nullptr;
    QImage picture_;
    QLabel *pointer_ = nullptr;
};

}  // namespace keelrun
