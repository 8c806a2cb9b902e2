#include "view/focus_list.h"

#include <algorithm>

namespace keelrun {

void FocusList::reset(const RaceState &race)
{
    boatTicked_.assign(race.boatCount + 1, false);
    classOf_.assign(race.boatCount + 1, 0);
    for (int b = 1; b <= race.boatCount; ++b) {
        boatTicked_[b] = race.boats[b].shown == 1;
        classOf_[b] = race.classesEnabled ? race.boats[b].classIndex : 0;
    }
    classTicked_.assign((race.classesEnabled ? race.classCount : 0) + 1, true);
    classTicked_[0] = false;
    selectedBoat_ = 0;
    watched_.clear();
    hoveredBoat_ = 0;
}

std::vector<int> FocusList::liveBoats() const
{
    std::vector<int> boats;
    if (selectedBoat_ > 0)
        boats.push_back(selectedBoat_);
    for (const int b : watched_) {
        if (b != selectedBoat_)
            boats.push_back(b);
    }
    return boats;
}

int FocusList::unfocusedCount() const
{
    return static_cast<int>(std::count(boatTicked_.begin() + 1, boatTicked_.end(), false));
}

void FocusList::clickBoat(int boat, BoatClick click)
{
    if (boat < 1 || boat > boatCount())
        return;
    switch (click) {
    case BoatClick::Highlight:
        selectedBoat_ = selectedBoat_ == boat ? 0 : boat;
        break;
    case BoatClick::FocusAlone:
        std::fill(boatTicked_.begin() + 1, boatTicked_.end(), false);
        std::fill(classTicked_.begin() + 1, classTicked_.end(), false);
        boatTicked_[boat] = true;
        break;
    case BoatClick::Toggle:
        boatTicked_[boat] = !boatTicked_[boat];
        break;
    case BoatClick::Watch:
        if (isWatched(boat)) {
            std::erase(watched_, boat);
        } else {
            if (static_cast<int>(watched_.size()) == kMostWatched)
                watched_.erase(watched_.begin());
            watched_.push_back(boat);
        }
        break;
    }
}

void FocusList::setClassTicked(int classIndex, bool ticked)
{
    if (classIndex < 1 || classIndex > classCount())
        return;
    classTicked_[classIndex] = ticked;
    applyClassTicks();
}

void FocusList::focusClassAlone(int classIndex)
{
    if (classIndex < 1 || classIndex > classCount())
        return;
    std::fill(classTicked_.begin() + 1, classTicked_.end(), false);
    classTicked_[classIndex] = true;
    applyClassTicks();
}

// Every boat of a class follows its class box; boats without a class keep
// their tick.
void FocusList::applyClassTicks()
{
    for (int b = 1; b <= boatCount(); ++b) {
        const int c = classOf_[b];
        if (c < 1 || c > classCount())
            continue;
        if (classTicked_[c])
            boatTicked_[b] = true;
        else if (b != selectedBoat_)
            boatTicked_[b] = false;
    }
}

void FocusList::focusAll()
{
    std::fill(boatTicked_.begin() + 1, boatTicked_.end(), true);
    std::fill(classTicked_.begin() + 1, classTicked_.end(), true);
}

}  // namespace keelrun
