#pragma once
// GPS track files. Each boat names one file in gpsdat/; a reader chosen by
// the file's extension decodes it and hands every fix, in file order, to one
// shared fix sink.

#include <string_view>

#include <QString>

#include "io/data_folder.h"
#include "io/tracks/fix_sink.h"

namespace keelrun {

// What a reader needs besides the bytes.
struct TrackContext {
    QString fileName;   // as written in the race file, for messages
    DateTime raceDate;  // the day of the race, local time
};

// A reader decodes a whole file and hands each fix to the sink. A number
// that does not convert throws LoadError naming the file, the place and the
// text; a malformed record that cannot be a fix is passed over.
using TrackDecoder = void (*)(std::string_view bytes, const TrackContext &context, FixSink &sink);

void readGpx(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readTrb(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readTrl(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readGdb(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readMps(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readHemisphereText(std::string_view bytes, const TrackContext &context, FixSink &sink);
void readNmea(std::string_view bytes, const TrackContext &context, FixSink &sink);

struct TrackFormat {
    TrackDecoder decode = nullptr;
    int fixIntervalThreshold = 100;  // fewer fixes than this: no measured interval
    bool beepsWhenDone = false;      // the slow scanned formats announce their end
};

// The format of a track file by its extension; nothing for unknown ones.
const TrackFormat *trackFormatFor(const QString &trackFile);

struct TrackReadResult {
    bool beep = false;  // the format announces its end
    QString problem;    // why the file gave no fixes at all, when it could not be read
};

// Reads the track of race-file boat n into slot n - droppedBoats, moving the
// boat's entry down when earlier boats were dropped. Points passed over for
// want of a readable time are counted in a warning. Throws LoadError.
TrackReadResult readTrack(RaceState &race, const DataFolder &folder, int n);

}  // namespace keelrun
