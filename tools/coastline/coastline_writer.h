#pragma once
// Writing Keelrun's coastline files from shorelines: the general file
// (GPS minutes, free polylines) and, on the Japanese grid, the detailed
// files of whole grid squares in the Tokyo datum, which the program moves
// back onto GPS coordinates when it reads them.

#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "io/coastline_file.h"
#include "model/race_state.h"

namespace keelrun::coast {

using Polyline = std::vector<GeoPoint>;  // minutes of arc

// An area in minutes of arc.
struct Area {
    double south = 0, north = 0, west = 0, east = 0;
};

// The shorelines of GMT's text dump (`gmt coast -M -W`): "lon<TAB>lat" in
// degrees, a line beginning ">" between polylines.
std::vector<Polyline> parseGmtDump(const QByteArray &dump);

// The general file's lines for the polylines: "R,lat,lon" then "lat,lon".
QByteArray generalFileText(const std::vector<Polyline> &shores);

// The general file's shores, each as its lines from its "R," line on, CR LF
// ended and trimmed, so that one written again is known as the same.
std::vector<QByteArray> generalFileShores(const QByteArray &text);

// The grid squares (JIS X 0410, 40' x 1 degree) that an area touches; none
// off the grid.
QStringList gridSquares(const Area &area);
// A square's area from its name ("5135").
std::optional<Area> squareArea(const QString &name);

// A detailed file for one square: each of its 64 cells (5' x 7.5') with the
// pieces of shoreline inside it, moved into the Tokyo datum.
QByteArray detailedFileText(const QString &square, const std::vector<Polyline> &shores);

// Writes the files for the shores of `area` into `coastlineDir`: appends to
// toba.cst, and writes the detailed file of every grid square the area
// touches. A file it did not write itself (see the list keelrun-coastline.txt
// it keeps there) is left alone unless `force`. Returns what it did, a line a
// file, or throws LoadError with why it could not.
QStringList writeCoastlineFiles(const QString &coastlineDir, const Area &area, const std::vector<Polyline> &shores,
                                bool force, const QString &commandLine);

}  // namespace keelrun::coast
