#pragma once
// GPS track files. Each boat names one file in gpsdat/; a reader chosen by
// the file's extension decodes it and hands every fix, in file order, to one
// shared fix sink.

#include <string_view>

#include <QString>
#include <QStringList>

#include "io/data_folder.h"
#include "io/tracks/fix_sink.h"

namespace keelrun {

// What a reader needs besides the bytes.
struct TrackContext {
    QString fileName;   // as written in the race file, for messages
    DateTime raceDate;  // the day of the race, local time
};

// A reader decodes a whole file and hands each fix to the sink. A record
// with a value that does not convert is damaged: it is passed over and named
// to the sink, and the rest of the file is read. Other records that cannot be
// fixes are passed over.
using TrackDecoder = void (*)(std::string_view bytes, const TrackContext &context, FixSink &sink);

void readGpx(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readTrb(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readTrl(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readGdb(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readMps(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readHemisphereText(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readNmea(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readTcx(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readCsv(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readFit(std::string_view bytes, const TrackContext &context, FixSink &sink);
// A Vakaros VKX log: its fixes, and the start as the crew's timer and line
// pings recorded it, into the sink.
void readVkx(std::string_view bytes, const TrackContext &context, FixSink &sink);

// Why a file of a format gave no fix, where the format can tell from what
// the file holds; empty when it cannot.
using NoFixReason = QString (*)(std::string_view bytes);

// An NMEA log without sentences that give positions: "no RMC, GGA or GLL
// sentences; the file has 2100 ZDA and 60 MWV sentences". Empty for a log
// with such sentences.
QString nmeaWithoutPositions(std::string_view bytes);

// A CSV file whose header does not name the columns a fix needs: "no
// latitude and longitude columns in the header "time,x,y"". Empty when it
// names them all.
QString csvWithoutColumns(std::string_view bytes);

// A FIT file without a fix to give: "not a FIT file: no ".FIT" at bytes 8
// to 11", "none of the FIT file's 120 record messages has a position".
// Empty for a file with records that have positions.
QString fitWithoutPositions(std::string_view bytes);
// A file that gave no fixes as a VKX log: "not a VKX log: no page header
// ... at byte 0", or what rows it holds instead of positions and where the
// reading stopped. Empty for a log with position rows.
QString vkxWithoutPositions(std::string_view bytes);

struct TrackFormat {
    TrackDecoder decode = nullptr;
    int fixIntervalThreshold = 100;  // fewer fixes than this: no measured interval
    bool beepsWhenDone = false;      // the slow scanned formats announce their end
    bool text = false;               // read as UTF-8, which a file in UTF-16 is turned into
    NoFixReason whyNoFix = nullptr;
    // About the fewest bytes a fix takes in the format as loggers write it:
    // a track's samples are set aside for the file's size over this before
    // it is read, so that a long track is not copied over and over as it
    // grows. A file with more fixes than that only grows its track again.
    int bytesPerFix = 12;
};

// The format of a track file by its extension; nothing for unknown ones.
const TrackFormat *trackFormatFor(const QString &trackFile);

struct TrackReadResult {
    bool beep = false;  // the format announces its end
    QString problem;    // why the file gave no fixes at all, when it could not be read
};

// One boat's track read apart from the race: `boat` is the race file's
// entry (track file, clock offset, handicap) and comes back with its
// samples and measured fix interval. Only the race's time frame is read,
// so several boats may be read at once.
struct DecodedTrack {
    BoatEntry boat;
    TrackReadResult result;
    QStringList warnings;  // what was passed over in the file, and why
};
DecodedTrack decodeTrack(const RaceState &race, const DataFolder &folder, BoatEntry boat);

}  // namespace keelrun
