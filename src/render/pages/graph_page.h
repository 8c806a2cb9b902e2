#pragma once
// The Graph page: each ticked boat's course against the true wind and its
// speed over the whole race window, time running upward. A still picture;
// it does not follow the replay.

#include <vector>

#include <QColor>
#include <QImage>
#include <QPolygon>

#include "model/race_state.h"
#include "race/course_progress.h"
#include "race/manoeuvres.h"
#include "view/captions.h"
#include "render/pages/graph_axes.h"

namespace keelrun {

struct PageRequest {
    int clientHeight = 0;     // the window's; the Graph page's graphs stand on it
    std::vector<bool> shown;  // [b]: ticked in the boat list; empty: as the race file says
    QColor sea;               // the Graph page's background
    int labelLevel = 1;       // the Analysis page names its dots above 0
    Language language = Language::EnglishByLocale;  // of the titles and axis names
    std::vector<int> chosen{};  // the boats the user picked: the highlighted one first, then those watched
    const CourseProgress *progress = nullptr;  // the race's course progress where the caller keeps one

    // The course progress: the caller's, else worked out here.
    CourseProgress courseProgressOf(const RaceState &race) const { return progress ? *progress : courseProgress(race); }

    bool shows(const RaceState &race, int b) const { return shown.empty() ? race.boats[b].shown == 1 : bool(shown[b]); }
    // The boat a page about one boat shows: the first picked while it is
    // ticked, else the first ticked boat; 0 when none is ticked.
    int chosenBoat(const RaceState &race) const
    {
        if (!chosen.empty() && chosen.front() >= 1 && chosen.front() <= race.boatCount && shows(race, chosen.front()))
            return chosen.front();
        for (int b = 1; b <= race.boatCount; ++b) {
            if (shows(race, b))
                return b;
        }
        return 0;
    }
};

// Draws the page over the whole of `page` (the map's size).
void drawGraphPage(QImage &page, const RaceState &race, const PageRequest &request);

// A curve over time as pieces of polyline: a new piece begins where the
// curve jumps. Consecutive fixes on the same pixel are one point.
using Trace = std::vector<QPolygon>;
void drawTrace(QPainter &p, const Trace &trace);

// A boat's course in magnetic degrees, and its speed, over the race window.
// Where the course crosses the seam of the direction axis the trace runs to
// the nearer edge at the middle height and on from the other edge.
Trace courseTrace(const GraphAxes &axes, const RaceState &race, int boat);
Trace speedTrace(const GraphAxes &axes, const RaceState &race, int boat);
// The true wind direction over the race window, and the wind speed.
Trace windDirectionTrace(const GraphAxes &axes, const RaceState &race, const WindDirections &directions);
Trace windSpeedTrace(const GraphAxes &axes, const RaceState &race);

// The red banner of a corrected-time race over the pages.
void drawCorrectedTimeNote(QPainter &p, int pageWidth, Language language);

// The pages' font: about 6 pixels a character, which their layout counts on.
void setPageFont(QPainter &p);

}  // namespace keelrun
