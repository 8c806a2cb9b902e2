#include <gtest/gtest.h>

#include "view/captions.h"
#include "view/focus_list.h"

namespace keelrun {
namespace {

using Click = FocusList::BoatClick;

// Six boats: 1-3 in class 1, 4-5 in class 2, boat 6 without a class; the
// race file hides boat 5.
RaceState twoClassRace()
{
    RaceState race;
    race.boatCount = 6;
    race.classesEnabled = true;
    race.classCount = 2;
    for (int b = 1; b <= 6; ++b)
        race.boats[b].shown = 1;
    race.boats[5].shown = 0;
    for (int b : {1, 2, 3})
        race.boats[b].classIndex = 1;
    for (int b : {4, 5})
        race.boats[b].classIndex = 2;
    return race;
}

std::vector<bool> ticks(std::initializer_list<int> ticked)
{
    std::vector<bool> v(7, false);
    for (int b : ticked)
        v[b] = true;
    return v;
}

TEST(FocusList, StartsAsTheRaceFileSays)
{
    FocusList focus;
    focus.reset(twoClassRace());
    EXPECT_EQ(focus.shown(), ticks({1, 2, 3, 4, 6}));
    EXPECT_TRUE(focus.isClassTicked(1) && focus.isClassTicked(2));
    EXPECT_EQ(focus.unfocusedCount(), 1);
    EXPECT_EQ(focus.selectedBoat(), 0);
    EXPECT_EQ(focus.hoveredBoat(), 0);
}

TEST(FocusList, BoatClicks)
{
    FocusList focus;
    focus.reset(twoClassRace());

    focus.clickBoat(2, Click::Toggle);
    EXPECT_EQ(focus.shown(), ticks({1, 3, 4, 6}));
    focus.clickBoat(2, Click::Toggle);
    EXPECT_EQ(focus.unfocusedCount(), 1);

    // Right click: that boat alone, and no class stays ticked.
    focus.clickBoat(4, Click::FocusAlone);
    EXPECT_EQ(focus.shown(), ticks({4}));
    EXPECT_FALSE(focus.isClassTicked(1) || focus.isClassTicked(2));
    EXPECT_EQ(focus.unfocusedCount(), 5);

    // Shift click highlights without touching the ticks; again clears it,
    // on another boat moves it.
    focus.clickBoat(1, Click::Highlight);
    EXPECT_EQ(focus.selectedBoat(), 1);
    EXPECT_EQ(focus.shown(), ticks({4}));
    focus.clickBoat(3, Click::Highlight);
    EXPECT_EQ(focus.selectedBoat(), 3);
    focus.clickBoat(3, Click::Highlight);
    EXPECT_EQ(focus.selectedBoat(), 0);

    focus.clickBoat(0, Click::Toggle);  // no such boat: nothing happens
    focus.clickBoat(7, Click::FocusAlone);
    EXPECT_EQ(focus.shown(), ticks({4}));
}

// Ctrl + click watches up to three boats for their live numbers, the first
// making way for a fourth; the highlighted boat's numbers come first.
TEST(FocusList, WatchedBoatsForTheLiveNumbers)
{
    FocusList focus;
    focus.reset(twoClassRace());
    EXPECT_TRUE(focus.liveBoats().empty());
    for (const int b : {2, 3, 4, 6})
        focus.clickBoat(b, Click::Watch);
    EXPECT_EQ(focus.liveBoats(), (std::vector<int>{3, 4, 6}));
    focus.clickBoat(4, Click::Watch);  // watched: no longer
    focus.clickBoat(1, Click::Highlight);
    EXPECT_EQ(focus.liveBoats(), (std::vector<int>{1, 3, 6}));
    focus.clickBoat(3, Click::Highlight);  // highlighted and watched: once, first
    EXPECT_EQ(focus.liveBoats(), (std::vector<int>{3, 6}));
    EXPECT_EQ(focus.shown(), ticks({1, 2, 3, 4, 6}));  // watching ticks nothing
    focus.reset(twoClassRace());
    EXPECT_TRUE(focus.liveBoats().empty());
}

TEST(FocusList, ClassBoxes)
{
    FocusList focus;
    focus.reset(twoClassRace());

    // Class 2 is partly unticked (the race file hides boat 5): ticking it
    // again ticks both, unticking it unticks both.
    focus.setClassTicked(2, true);
    EXPECT_EQ(focus.shown(), ticks({1, 2, 3, 4, 5, 6}));
    focus.setClassTicked(2, false);
    EXPECT_EQ(focus.shown(), ticks({1, 2, 3, 6}));

    // The highlighted boat keeps its tick when its class goes.
    focus.clickBoat(2, Click::Highlight);
    focus.setClassTicked(1, false);
    EXPECT_EQ(focus.shown(), ticks({2, 6}));  // boat 6 has no class and keeps its tick
    EXPECT_EQ(focus.unfocusedCount(), 4);

    // Right click on a class: that class alone.
    focus.focusClassAlone(2);
    EXPECT_TRUE(focus.isClassTicked(2));
    EXPECT_FALSE(focus.isClassTicked(1));
    EXPECT_EQ(focus.shown(), ticks({2, 4, 5, 6}));
}

TEST(FocusList, FocusAllTicksEveryBoatAndClass)
{
    FocusList focus;
    focus.reset(twoClassRace());
    focus.clickBoat(1, Click::FocusAlone);
    focus.focusAll();
    EXPECT_EQ(focus.shown(), ticks({1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(focus.isClassTicked(1) && focus.isClassTicked(2));
    EXPECT_EQ(focus.unfocusedCount(), 0);
}

TEST(FocusList, ClassesDisabledMeansNoClassBoxes)
{
    RaceState race = twoClassRace();
    race.classesEnabled = false;
    FocusList focus;
    focus.reset(race);
    EXPECT_EQ(focus.classCount(), 0);
    focus.setClassTicked(1, false);  // no class box: nothing happens
    EXPECT_EQ(focus.shown(), ticks({1, 2, 3, 4, 6}));
}

TEST(FocusList, Tips)
{
    EXPECT_EQ(boatBoxTip(Language::EnglishByLocale, "Kestrel").text,
              "Checked boats are focused.\r\nUnchecked boats are out of focus.\r\n\r\nR-Click to focus only Kestrel");
    EXPECT_EQ(boatBoxTip(Language::Japanese, "Kestrel").size, QSize(250, 80));
    EXPECT_TRUE(classBoxTip(Language::EnglishChosen, "J24").text.endsWith("R-Click to focus only J24 Class"));
    EXPECT_EQ(tipFor(TipId::FocusAll, Language::EnglishByLocale).text, "Left Button => Focus All Boats.");
}

}  // namespace
}  // namespace keelrun
