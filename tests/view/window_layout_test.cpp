#include <gtest/gtest.h>

#include "view/captions.h"
#include "view/window_layout.h"
#include "view/boat_list_layout.h"

namespace keelrun {
namespace {

TEST(WindowLayout, MapTakesWhatTheColumnAndTimeBarLeave)
{
    const WindowLayout l = computeWindowLayout(1024, 768, 1080, 100);
    EXPECT_EQ(l.map, QSize(709, 768));
    EXPECT_EQ(l.timeBarPanel, QRect(709, 0, 50, 768));
    EXPECT_EQ(l.logoPanel, QRect(759, 0, 265, 200));
    EXPECT_EQ(l.controlPanel, QRect(759, 768 - 255, 265, 255));
    EXPECT_FALSE(l.tallWindow);
    EXPECT_TRUE(computeWindowLayout(1024, 1064, 1080, 100).tallWindow);
}

TEST(WindowLayout, BoatListFillsTheGapOrCoversTheLogo)
{
    const WindowLayout few = computeWindowLayout(1280, 1000, 1080, 100);
    EXPECT_EQ(few.boatListPanel, QRect(1015, 200, 265, 1000 - 455));
    const WindowLayout tall = computeWindowLayout(1280, 1000, 1080, 600);
    EXPECT_EQ(tall.boatListPanel, QRect(1015, 200, 265, 600));
    const WindowLayout many = computeWindowLayout(1280, 1000, 1080, 820);
    EXPECT_EQ(many.boatListPanel, QRect(1015, 0, 265, 820));
}

TEST(WindowLayout, SmallScreenSizes)
{
    EXPECT_EQ(smallScreenSize(SmallScreen::Size800x600, {}), QSize(800, 600));
    EXPECT_EQ(smallScreenSize(SmallScreen::Size800x480, {}), QSize(800, 480));
    EXPECT_EQ(smallScreenSize(SmallScreen::Size640x480, {}), QSize(640, 480));
    EXPECT_EQ(smallScreenSize(SmallScreen::Size480x320, {}), QSize(480, 320));
    EXPECT_EQ(smallScreenSize(SmallScreen::Preference, {640, 360}), QSize(640, 360));
}

TEST(WindowLayout, SeaColoursAtBothEnds)
{
    EXPECT_EQ(seaColours(0).sea, (Rgb{0, 0, 70}));
    EXPECT_EQ(seaColours(0).grid, (Rgb{80, 80, 150}));
    EXPECT_EQ(seaColours(100).sea, (Rgb{110, 160, 255}));
    EXPECT_EQ(seaColours(100).grid, (Rgb{60, 110, 255}));
    EXPECT_EQ(seaColours(50).grid, (Rgb{135, 160, 255}));  // 50 still gets the lighter grid
}

TEST(Captions, BothLanguages)
{
    EXPECT_EQ(captionFor(Caption::Show, Language::Japanese), QStringLiteral(u"表示"));
    EXPECT_EQ(captionFor(Caption::Show, Language::EnglishChosen), "SHOW");
    EXPECT_EQ(captionFor(Caption::Show, Language::EnglishByLocale), "SHOW");
    EXPECT_EQ(captionFor(Caption::GraphPage, Language::Japanese), QStringLiteral(u"ｸﾞﾗﾌ"));
    EXPECT_EQ(captionFor(Caption::SmallScreen, Language::EnglishByLocale), "Small Scr");
    EXPECT_EQ(captionFor(Caption::BoatListHeader, Language::EnglishByLocale),
              QString(5, ' ') + "Boat Name" + QString(22, ' ') + "Boat Name" + QString(32, ' '));
    EXPECT_TRUE(captionFor(Caption::BoatListHeader, Language::Japanese).startsWith(QString(7, ' ') + QStringLiteral(u"艇\u3000名")));
    for (int k = 0; k < kCaptionCount; ++k) {
        const auto caption = static_cast<Caption>(k);
        EXPECT_FALSE(captionFor(caption, Language::Japanese).isEmpty()) << k;
        EXPECT_NE(captionFor(caption, Language::Japanese), captionFor(caption, Language::EnglishByLocale));
    }
    EXPECT_EQ(languageForLocale(true), Language::Japanese);
    EXPECT_EQ(languageForLocale(false), Language::EnglishByLocale);
}

TEST(Captions, TipsCarryTheirBoxSizes)
{
    EXPECT_EQ(tipFor(TipId::AutoNext, Language::Japanese).size, QSize(220, 16));
    EXPECT_EQ(tipFor(TipId::AutoNext, Language::EnglishChosen).size, QSize(180, 16));
    EXPECT_EQ(tipFor(TipId::Show, Language::EnglishByLocale).text,
              "Choose race file at left box\r\nthen click here to show it.");
    EXPECT_TRUE(tipFor(TipId::Logo, Language::EnglishByLocale).text.contains("<Keelrun>"));
}

TEST(BoatListLayout, TwoColumnsThenGroupedByClass)
{
    RaceState race;
    race.boatCount = 5;
    EXPECT_EQ(layoutBoatList(race).boatBoxes[3], QPoint(5, 42));
    EXPECT_EQ(layoutBoatList(race).boatBoxes[4], QPoint(132, 14));
    EXPECT_EQ(layoutBoatList(race).panelHeight, 3 * 14 + 20);

    race.classCount = 2;
    race.classesEnabled = true;
    for (int b = 1; b <= 5; ++b)
        race.boats[b].classIndex = b <= 3 ? 1 : 2;
    const BoatListLayout l = layoutBoatList(race);
    EXPECT_EQ(l.classBoxes[1], QPoint(5, 21));
    EXPECT_EQ(l.boatBoxes[1], QPoint(5, 35));
    EXPECT_EQ(l.boatBoxes[2], QPoint(132, 35));
    EXPECT_EQ(l.boatBoxes[3], QPoint(5, 49));
    EXPECT_EQ(l.classBoxes[2], QPoint(5, 70));
    EXPECT_EQ(l.boatBoxes[4], QPoint(5, 84));
    EXPECT_EQ(l.panelHeight, 104);
}

}  // namespace
}  // namespace keelrun
