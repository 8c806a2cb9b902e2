#pragma once
// Calendar date-times without a zone, and their Unix second counts. The
// simulator keeps every time as whole seconds; the zone (UTC or the local
// time of the race area) is the caller's to know.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace keelrun::sim {

struct CivilTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

std::int64_t toUnix(const CivilTime &t);
CivilTime fromUnix(std::int64_t seconds);

// "yyyy/mm/dd hh:mm:ss" (one- or two-digit parts); nothing for other texts.
std::optional<CivilTime> parseSlashText(std::string_view text);
// "yyyy/mm/dd hh:mm:ss", the form race files and wind files use.
std::string slashText(const CivilTime &t);

}  // namespace keelrun::sim
