#pragma once
// The Graph and Analysis pages' titles and axis names, in the window's
// language.

#include <QString>

#include "view/captions.h"

namespace keelrun {

enum class PageText {
    WholeRaceFigure,
    UpwindFigure,
    DownwindFigure,
    TimeAxis,
    DistanceAxis,
    CourseAndWind,
    EstimatedWind,
    BoatSpeed,
    CorrectedTimeNote,
};

QString pageText(PageText text, Language language);

}  // namespace keelrun
