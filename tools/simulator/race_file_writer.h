#pragma once
// The text files of a race: the race file, the wind file and the notice
// attached to the race. Texts are built as UTF-8 with "\n" line ends and
// converted to the file's encoding with CR LF line ends on writing.

#include <string>

#include <QByteArray>

#include "simulator.h"

namespace keelrun::sim {

std::string raceFileText(const SimulatedRace &race);
std::string windFileText(const SimulatedRace &race);
std::string noticeText(const SimulatedRace &race);

// The local time of the race area `raceSeconds` after the gun, "yyyy/mm/dd hh:mm:ss".
std::string localTimeText(const SimulatedRace &race, double raceSeconds);

QByteArray encodedText(const std::string &utf8, bool shiftJis);

}  // namespace keelrun::sim
