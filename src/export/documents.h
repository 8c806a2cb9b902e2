#pragma once
// Where the exports go: the user's documents folder, files written all or
// nothing, and the text of the spreadsheet tables.

#include <QByteArray>
#include <QString>

namespace keelrun {

struct RaceState;

// The user's documents folder, made when missing.
QString documentsFolder();

// Where an export of `race` goes in the documents folder: the race file's
// name with `ending` ("hayama-autumn" + ".csv"), so that exporting a second
// race keeps the first one's.
QString documentPathFor(const RaceState &race, const QString &ending);
// The ending of a scene's KML: the time of day it shows ("-1200.kml").
QString sceneKmlEnding(const RaceState &race, double raceClock);

// The picture format a file name asks for, as Qt's writers name it: "PNG",
// "JPEG" (.jpg, .jpeg) or "WEBP"; empty for any other name.
QByteArray pictureFormatFor(const QString &fileName);
// What a refused name is told.
inline constexpr const char *kPictureNames = ".png, .jpg or .webp";

// Writes `bytes` to `path` through a temporary file renamed into place, so
// that a failure never leaves half a file. The error's text, or empty.
QString saveDocument(const QString &path, const QByteArray &bytes);

// Text for a spreadsheet: UTF-8 with a byte-order mark, so that Japanese
// names are read as such.
QByteArray spreadsheetText(const QString &text);

// One cell of a comma-separated table as spreadsheets read it (RFC 4180): a
// text holding a double quote, a comma or a line end is wrapped in double
// quotes, its own doubled, so that it stays one cell; any other is as it is.
QString csvCell(const QString &text);

}  // namespace keelrun
