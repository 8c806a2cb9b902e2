#pragma once
// The Graph page's two time graphs, side by side with time running upward:
// on the left the course over ground against the true wind direction, on the
// right the speed over ground. The page and the hover overlays drawn over it
// share these axes, so an overlay's curve lies exactly on the page's.

#include "model/race_state.h"

namespace keelrun {

struct GraphAxes {
    // For a page `mapWidth` wide in a window `clientHeight` high.
    GraphAxes(const RaceState &race, int mapWidth, int clientHeight);

    static constexpr int kTop = 40;
    static constexpr int kLeft1 = 40;
    int height;      // of both graphs
    int width1;      // the direction graph
    int left2;       // the speed graph
    int width2;
    int speedScale;  // knots at the right edge of the speed graph: 1.5 x the top speed, 6..75

    // Race-clock seconds to a row: the window's start at the bottom edge.
    int y(double t) const;
    // Degrees to a column of the direction graph: the mean wind a quarter of
    // the way across, dead downwind three quarters; the seam lies opposite
    // the middle, 90 degrees to the left of the wind.
    int xDirection(double degrees) const;
    int xSpeed(double knots) const;
    // Knots between the speed graph's labels (1, 2, 5 or 10), so that they
    // stand at least 16 pixels apart whatever the fleet's speed; its lines
    // stand every knot where they are 6 pixels apart, else at the labels.
    int speedLabelStep() const;
    int speedLineStep() const;

private:
    double windowStart_, windowLength_, windDirection_;
};

// Seconds between the time grid's lines for a race window of that length.
int timeGridStep(double windowLength);
// "1:05" for 3900 seconds after the gun.
QString graphTimeLabel(double t);

}  // namespace keelrun
