#pragma once
// Which coastline the race gets, and where. Around Japan the coastline comes
// in detailed files named by the squares of the national grid (JIS X 0410:
// 40' of latitude by 1 degree of longitude) in the old Tokyo datum; everywhere
// else, and for races too spread out for the detailed files, from the
// general file, clipped to the race. Light lists go with each file.

#include <QStringList>

#include "io/coastline_file.h"
#include "io/data_folder.h"
#include "model/race_state.h"

namespace keelrun {

// The area around the race whose coastline is read: the race extent
// squared up (a minute of longitude taken as 0.8 of a minute of latitude)
// with a fifth more all round, at least 3'.
CoastWindow coastWindow(const RaceExtent &extent);

// The names of the grid squares the window touches ("5339"), south to north
// and west to east; only "TOBA", the general file, for a window above 50';
// none off the grid.
QStringList coastlineMapNames(const CoastWindow &window);

// The shift in minutes from the Tokyo datum (Bessel 1841, with the standard
// translation) to GPS coordinates at a place given in minutes.
GeoPoint datumShift(double lat, double lon);

// Keeps the points inside the window (with a cell's depth to the south and
// a cell's width to the west); a point after a gap starts a new polyline.
// Whichever file they came from, so that a general file of the whole world
// costs a race only its own shores.
void clipToWindow(std::vector<CoastPoint> &points, const CoastWindow &window);

// Reads the race's coastline and lights from coastline/ into the race
// (coastPoints, lights, mapParams). Missing files are passed over; a file
// that stops early keeps what it gave and adds a warning to the race.
void loadCoastline(RaceState &race, const DataFolder &folder);

}  // namespace keelrun
