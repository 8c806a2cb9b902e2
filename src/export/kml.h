#pragma once
// KML documents for globe viewers: the whole race (every track, the boats
// at regular time steps in folders, the marks and lines with their buoys)
// or the present scene (each boat's short wake and its point at the race
// clock). Coordinates in decimal degrees, lines in each boat's colour, CR LF
// lines, UTF-8.

#include <vector>

#include <QString>

#include "model/race_state.h"
#include "replay/frame_state.h"

namespace keelrun {

struct KmlOptions {
    QString iconFolder;         // absolute path of ya/, with its trailing "/"
    std::vector<bool> shown;    // [b]: focused; empty: as the race file says
    bool hideUnfocused = false; // leave unfocused boats out (else thin lines)
    bool japanese = false;      // the descriptions' language
};

// The top folder's name: the race title after its first blank (all of it
// without a blank), up to its first "." after that, if any.
QString kmlFolderName(const QString &title);
// The boat icon for a heading: ar0 .. ar350 in steps of ten degrees.
int kmlIconHeading(double heading);
// The time step of the whole race's folders for a window ending at
// `windowEnd` seconds after the gun.
int kmlTimeStep(double windowEnd);

QString raceKml(const RaceState &race, const KmlOptions &options);
QString sceneKml(const RaceState &race, const FrameState &frame, const KmlOptions &options);

}  // namespace keelrun
