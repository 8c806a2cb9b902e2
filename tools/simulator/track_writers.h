#pragma once
// Track files in the formats GPS loggers, watches and apps of the fleet
// produce. Binary files are little-endian; times are Unix seconds (in VKX
// milliseconds) on the logger's clock.

#include <string>
#include <vector>

#include <QByteArray>

#include "logger.h"
#include "sim_options.h"

namespace keelrun::sim {

// 12-byte records: time, latitude and longitude in degrees as 32-bit floats.
QByteArray writeTrb(const std::vector<Fix> &fixes);
// The same three fields at the start of 16- or 20-byte records, followed by
// the altitude and (in the 20-byte form) the speed in knots.
QByteArray writeTrl(const std::vector<Fix> &fixes, int recordBytes);
// Track databases with a text header; coordinates in semicircles
// (2^31 = 180°). Readers find the fix records by scanning for their fixed
// bytes, so the layout keeps those bytes unique.
QByteArray writeGdb(const std::vector<Fix> &fixes, const std::string &trackName);
QByteArray writeMps(const std::vector<Fix> &fixes, const std::string &trackName);

QByteArray writeGpx(const std::vector<Fix> &fixes, const std::string &trackName);
// "T N3452.50000 E13545.00000 2009-05-03 02:15:30 2.0": hemisphere letter,
// degrees and decimal minutes, UTC date and time, altitude.
QByteArray writeHemisphereText(const std::vector<Fix> &fixes);
// NMEA 0183: a GGA and an RMC sentence per fix.
QByteArray writeNmea(const std::vector<Fix> &fixes);
// Training Center XML as sports watches export an activity: one lap, a
// Trackpoint per fix with its time, position and altitude.
QByteArray writeTcx(const std::vector<Fix> &fixes);
// A phone app's export: "timestamp,latitude,longitude,sog" and a row per
// fix, ISO 8601 times in UTC, speed over ground in knots.
QByteArray writeCsv(const std::vector<Fix> &fixes);
// A FIT activity as a sailing watch records it: a 14-byte header, a
// file_id message, a record message per fix (time, position in
// semicircles, altitude, speed over ground) and the CRC.
QByteArray writeFit(const std::vector<Fix> &fixes);

// Vakaros VKX: pages of about 2 kB of rows, each a one-byte key and a
// payload of the size the key fixes; a page header starts each page and a
// terminator giving its length ends it. Besides a settings row, a position
// row per fix (Unix milliseconds, 1e-7 degrees, speed, course and heading)
// and, in time order among them, the start timer's events and the line
// pings of `start`.
QByteArray writeVkx(const std::vector<Fix> &fixes, const StartLog &start);

const char *extensionOf(TrackFormat format);
// `start` is written by the formats that hold one (VKX).
QByteArray writeTrack(TrackFormat format, const std::vector<Fix> &fixes, const StartLog &start,
                      const std::string &trackName, int trlRecordBytes);

}  // namespace keelrun::sim
