#pragma once
// The gap chart: for each ticked boat its distance behind the leader along
// the course over the race, as lines against race time, the leader on the
// zero line at the top and the boats behind below it, the leader's
// rounding of each course item marked. Where a boat's line falls, it lost
// ground on the leader; where it rises, it gained.

#include <memory>

#include <QRect>

#include "race/course_progress.h"
#include "render/pages/race_page.h"

namespace keelrun {

// Where the chart's parts stand on a page of `size`, and how race times and
// metres behind map onto it.
struct GapChartAxes {
    QRect plot;
    double fromTime = 0, toTime = 1;  // race clock along the plot's width
    double mostBehind = 1;            // metres at the plot's foot

    GapChartAxes(QSize size, const RaceState &race, const CourseProgress &progress, const PageRequest &request);
    int x(double t) const;
    int y(double metres) const;
    double timeAt(int x) const;
};

std::unique_ptr<RacePage> makeGapChartPage();

}  // namespace keelrun
