#pragma once
// The logo panel at the top of the right-hand column: the overview map with
// a marker per boat, the date-time box under it, the logo, the window-size
// box and the help button.

#include <vector>

#include <QWidget>

#include "model/race_state.h"

class QLabel;
class QPushButton;

namespace keelrun {

class LogoPanel : public QWidget {
    Q_OBJECT
public:
    explicit LogoPanel(QWidget *parent);

    // One marker per boat on the overview, in the boat's colour.
    void placeBoatMarkers(const RaceState &race);
    void clearBoatMarkers();
    void hideBoatMarker(int boat);  // the boat has finished
    // Moves a boat's marker with its top left at `place`; it stays hidden
    // when it was, unless `show`.
    void moveBoatMarker(int boat, QPoint place, bool show = false);
    void setOverview(const QImage &picture);
    // The overview before the race is drawn: the bare sea.
    void showBareSea(const QColor &sea);

    QLabel *overview = nullptr;       // the overview map
    QLabel *dateTimeBox = nullptr;    // the race clock's date and time
    QLabel *logo = nullptr;           // clicked: the help page
    QLabel *windowSizeBox = nullptr;  // the window's size, "1280x1024"
    QPushButton *helpButton = nullptr;

private:
    QWidget *markerOf(int boat) const;

    std::vector<QWidget *> boatMarkers_;  // [boatCount - b], the last boat first
};

}  // namespace keelrun
