#pragma once
// Writing the organiser's edits back into the race file. Only the tags the
// editing changes are touched, and only where their values changed: a mark
// whose position is unchanged keeps its line byte for byte, a moved one is
// rewritten in place, new ones follow the last line of their tag, removed
// ones go. Every other line (other tags, comments, unknown tags, blank
// lines), the encoding (Shift-JIS or UTF-8, with or without a byte-order
// mark) and the line ends stay as they were, so rewriting an unedited race
// gives back the same bytes.

#include <QByteArray>
#include <QString>

#include "model/race_state.h"

namespace keelrun {

// Which parts of the race the organiser has edited since it was loaded.
struct RaceEdits {
    bool marks = false;          // MK
    bool lines = false;          // LN
    bool course = false;         // CRS
    bool windDirection = false;  // WD
    bool windFile = false;       // WF
    bool startTime = false;      // ST
    bool any() const { return startTime || marks || lines || course || windDirection || windFile; }
};

// The race file `original` with the edited parts of `race` written in.
QByteArray rewrittenRaceFile(const QByteArray &original, const RaceState &race, const RaceEdits &edits);

// Keeps the race file as it stands as NAME.txt.bak beside it, the first
// time it is asked for a file in `done` (the files backed up this session),
// so that one wrong click can be undone. Empty when all went well (or
// there is no file), else why it could not be kept.
QString backUpOnce(const QString &raceFilePath, QStringList &done);

// Rewrites race.raceFilePath through a temporary file renamed into place,
// so that a failure leaves the old file whole. Nothing happens when the
// file does not exist or nothing changes. Empty when all went well, else
// why it could not be written.
// With `elsewhere`, the rewritten file goes there instead, the race file
// left as it is.
QString rewriteRaceFile(const RaceState &race, const RaceEdits &edits, const QString &elsewhere = {});

}  // namespace keelrun
