#pragma once
// Which boats are in focus. The boat list ticks boats one by one or a class
// at a time; a ticked boat is drawn normally on the map and the pages, an
// unticked one thin or not at all. One boat may be highlighted for good
// (Shift + click), up to three more watched (Ctrl + click) for their live
// numbers, and one is under the pointer.

#include <algorithm>
#include <vector>

#include "model/race_state.h"

namespace keelrun {

class FocusList {
public:
    // A fresh list for a loaded race: boats ticked as the race file says,
    // every class ticked, nothing highlighted or hovered.
    void reset(const RaceState &race);

    // [b], b = 1..boatCount (slot 0 unused): whether boat b is ticked.
    const std::vector<bool> &shown() const { return boatTicked_; }
    bool isShown(int boat) const { return boatTicked_[boat]; }
    bool isClassTicked(int classIndex) const { return classTicked_[classIndex]; }
    int boatCount() const { return static_cast<int>(boatTicked_.size()) - 1; }
    int classCount() const { return static_cast<int>(classTicked_.size()) - 1; }
    // Boats out of focus; the KML export asks whether to hide them.
    int unfocusedCount() const;

    int selectedBoat() const { return selectedBoat_; }  // highlighted by Shift + click, 0 = none
    int hoveredBoat() const { return hoveredBoat_; }    // under the pointer in the list, 0 = none
    void setHoveredBoat(int boat) { hoveredBoat_ = boat; }

    static constexpr int kMostWatched = 3;
    // The boats whose live numbers show: the highlighted one first, then
    // those watched, in the order they were chosen.
    std::vector<int> liveBoats() const;
    bool isWatched(int boat) const { return std::find(watched_.begin(), watched_.end(), boat) != watched_.end(); }

    enum class BoatClick { Toggle, FocusAlone, Highlight, Watch };
    // A click on boat b's box: the left button toggles its tick, the right
    // focuses it alone (and unticks every class), Shift with either button
    // highlights it, or clears the highlight when it already is; Ctrl
    // watches it, or stops watching it, the first watched making way when
    // three are.
    void clickBoat(int boat, BoatClick click);
    // A class box ticked or unticked; its boats follow, except that the
    // highlighted boat stays ticked.
    void setClassTicked(int classIndex, bool ticked);
    // A right click on a class box: that class alone in focus.
    void focusClassAlone(int classIndex);
    // Every boat and class ticked (the list header's click, and the map when
    // no boat in play is left ticked).
    void focusAll();

private:
    void applyClassTicks();

    std::vector<bool> boatTicked_{false};
    std::vector<bool> classTicked_{false};
    std::vector<int> classOf_{0};  // [b]: the boat's class, 0 = none
    int selectedBoat_ = 0;
    std::vector<int> watched_;
    int hoveredBoat_ = 0;
};

}  // namespace keelrun
