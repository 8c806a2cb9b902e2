#include "track_writers.h"

namespace keelrun::sim {

const char *extensionOf(TrackFormat format)
{
    switch (format) {
    case TrackFormat::Gpx: return "gpx";
    case TrackFormat::Trb: return "trb";
    case TrackFormat::Gdb: return "gdb";
    case TrackFormat::Mps: return "mps";
    case TrackFormat::Trl: return "trl";
    case TrackFormat::Dtr: return "dtr";
    case TrackFormat::Trk: return "trk";
    case TrackFormat::Log: return "log";
    case TrackFormat::Tcx: return "tcx";
    case TrackFormat::Csv: return "csv";
    case TrackFormat::Fit: return "fit";
    case TrackFormat::Vkx: return "vkx";
    }
    return "";
}

QByteArray writeTrack(TrackFormat format, const std::vector<Fix> &fixes, const StartLog &start,
                      const std::string &trackName, int trlRecordBytes)
{
    switch (format) {
    case TrackFormat::Gpx: return writeGpx(fixes, trackName);
    case TrackFormat::Trb: return writeTrb(fixes);
    case TrackFormat::Gdb: return writeGdb(fixes, trackName);
    case TrackFormat::Mps: return writeMps(fixes, trackName);
    case TrackFormat::Trl: return writeTrl(fixes, trlRecordBytes);
    case TrackFormat::Dtr:
    case TrackFormat::Trk: return writeHemisphereText(fixes);
    case TrackFormat::Log: return writeNmea(fixes);
    case TrackFormat::Tcx: return writeTcx(fixes);
    case TrackFormat::Csv: return writeCsv(fixes);
    case TrackFormat::Fit: return writeFit(fixes);
    case TrackFormat::Vkx: return writeVkx(fixes, start);
    }
    return {};
}

}  // namespace keelrun::sim
