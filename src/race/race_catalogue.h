#pragma once
// The race catalogue: the race files of raceadmin/, and the race shown first.

#include <optional>

#include <QString>
#include <QStringList>

#include "io/data_folder.h"

namespace keelrun {

inline constexpr int kMaxRaceFiles = 200;

struct RaceCatalogue {
    QStringList raceList;    // file names in raceadmin/, sorted by name
    int raceListIndex = 0;   // 1-based position of the shown race; 0 when unknown
    bool editMode = false;   // ctrl/editfile.edt exists: the organiser edits courses
    QString raceFilePath;    // the race to show first
};

// Lists raceadmin/*.txt and picks the first race: the last line of
// ctrl/editfile.edt in edit mode, else the first line of
// raceadmin/racefile.st when that race exists, else the first race listed.
RaceCatalogue openCatalogue(const DataFolder &folder);

// 1-based position of the race file `path` in the list; 0 when not listed.
int catalogueIndexOf(const QStringList &raceList, const QString &path);

// The position of the race after the shown one, round to the first after
// the last; nothing when the catalogue has no other race.
std::optional<int> nextRaceIndex(const RaceCatalogue &catalogue);

}  // namespace keelrun
