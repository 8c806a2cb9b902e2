#pragma once
// The boards of who has finished: the finish board (one bar per finisher at
// its rank, revealed a row at a time as the finishes pass), the running
// board (the finishers so far, then the fleet in order on the water), the class board
// (a column per class with its finishers so far) and the final ranking that
// covers the map at the end of the race in small-screen mode.

#include <optional>
#include <vector>

#include <QColor>
#include <QImage>
#include <QSize>

#include "model/race_state.h"
#include "race/course_progress.h"

namespace keelrun {

// The text of a finisher's row: " 3  Red Falcon  (+42sec)".
QString finishRowText(const RaceState &race, int boat);

inline constexpr int kFinishBoardWidth = 185;  // a column of the finish board, wider for long names

// The finish board with the first `finished` finishers, each at its rank,
// in columns of `rowsPerColumn` rows side by side, so that a big fleet's
// board stays on the map; nothing for a race without lines or before the
// first finish.
std::optional<QImage> drawFinishBoard(const RaceState &race, int finished, int rowsPerColumn);
// The text of a racing boat's row on the running board, at `place` on the
// water: " 5  Red Falcon  +42sec 180m"; the leader's without a gap.
QString runningRowText(const RaceState &race, const RunningPlace &place, int rank);

// The running leaderboard: the finish board's finishers, then the boats still
// racing in `order` with their gaps to the leader, in columns of
// `rowsPerColumn` rows; nothing for a race without lines or an empty order.
std::optional<QImage> drawRunningBoard(const RaceState &race, const std::vector<RunningPlace> &order, int rowsPerColumn);
// The height that shows `finished` rows of the finish board.
int finishBoardHeight(int finished);
// How many rows a column of the board holds in `height` pixels.
int finishBoardRows(int height);

// The class board with the boats whose finish has been announced
// (`announced`[b]); nothing without classes.
std::optional<QImage> drawClassBoard(const RaceState &race, const std::vector<bool> &announced);

// Every finisher in columns of rows over the sea, at the map's size;
// nothing for a race without lines.
std::optional<QImage> drawFinalRanking(const RaceState &race, QSize map, const QColor &sea);

}  // namespace keelrun
