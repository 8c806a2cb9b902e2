#pragma once
// Two boats side by side over the race: the gap between them along the
// course, shaded in the colour of the boat gaining; their speeds and VMG
// towards the wind; their headings. The boats are the two the user picked
// (the highlighted one and the first watched), else the first two ticked.

#include <memory>

#include "render/pages/race_page.h"

namespace keelrun {

// The two boats compared for `request`; nothing with fewer than two.
std::optional<std::pair<int, int>> comparedBoats(const RaceState &race, const PageRequest &request);

std::unique_ptr<RacePage> makeComparePage();

}  // namespace keelrun
