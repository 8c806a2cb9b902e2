#pragma once
// The files of coastline/: the general coastline file `toba.cst` (free
// polylines in GPS minutes of arc), the detailed files named by grid square
// (fixed columns, cells of 5' x 7.5' in the Japanese datum) and the light
// lists (`.lh`).
//
// A line a reader cannot read stops that file: the points read before it
// stay, and the reader says which file, which line and what it found.

#include <string_view>
#include <vector>

#include <QString>

#include "model/race_state.h"

namespace keelrun {

// The area whose coastline is wanted, in minutes of arc.
struct CoastWindow {
    double size = 0;
    double south = 0, north = 0, west = 0, east = 0;
};

// General format: "R,lat,lon" starts a polyline, "lat,lon" continues it.
// Empty when every line was read, else why reading stopped.
QString readGeneralCoastline(std::string_view text, const QString &fileName, std::vector<CoastPoint> &points);

// Detailed format: cell records ("M", the grid code in columns 3-8), line
// records ("L", the point count in columns 50-55) and data records of
// seven x/y pairs in 5-column fields, 0..10000 across the cell. Only cells
// that overlap `window` are read; `shift` (minutes) moves the points from
// the file's datum onto GPS coordinates.
QString readDetailedCoastline(std::string_view text, const QString &fileName, const CoastWindow &window, GeoPoint shift,
                              std::vector<CoastPoint> &points);

// A light a line: name, latitude (DDmm.mmm), longitude (DDDmm.mmm),
// period in seconds, flashes a period, colour letters, range in miles.
QString readLightList(std::string_view text, const QString &fileName, std::vector<Light> &lights);

}  // namespace keelrun
