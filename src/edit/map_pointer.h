#pragma once
// What the pointer over the map area sets and says: how much the boat
// labels tell (more towards the left), whether hidden boats, fast wakes,
// wind arrows and blinking names show, the position under the pointer in
// the window caption, the range and bearing from a base point, and the
// mouse tips of the stopped map.

#include <QPoint>
#include <QSize>
#include <QString>

#include "edit/course_editor.h"
#include "model/race_state.h"
#include "view/captions.h"
#include "view/window_layout.h"

namespace keelrun {

struct PointerZones {
    int labelLevel = 1;          // 3 in the left quarter .. 0 in the right one
    bool showHidden = false;     // left three quarters: unticked boats' hulls too
    bool fastWakes = false;      // bottom 100 pixels while playing
    bool windArrowsShown = false;  // the top-left corner
    bool blinkNames = false;     // top third while playing, when no labels show
    friend bool operator==(const PointerZones &, const PointerZones &) = default;
};
PointerZones pointerZones(QPoint at, QSize map, bool autoTrace, bool showNames);
// What the pointer's place on the playing map does, for the tip at its top
// right: the wakes, the wind arrows, or how much the boat labels say.
Tip pointerZoneTip(const PointerZones &zones, Language language);

// The tip over the Graph and Analysis page buttons.
Tip pageButtonTip(Page page, Language language);

// "N34:27.125", "W001:18.760": hemisphere, degrees, minutes to three decimals.
QString latitudeText(double lat);
QString longitudeText(double lon);

// "RNG= 1520m / BRG= 47deg(M)" from the base point to the pointer.
QString rangeBearingText(GeoPoint base, GeoPoint to, const RaceState &race);

// The tip over the stopped map for the edit tool in use.
Tip mapMouseTip(EditTool tool, Language language);

}  // namespace keelrun
