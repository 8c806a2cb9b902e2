// The map's boat layers, drawn on a picture.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "render/map_renderer.h"
#include "render/pixel_count.h"

namespace keelrun {
namespace {

const QColor kSea(110, 160, 255);

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.boatLength = 10;
        race.windowStart = -190;
        race.windowEnd = 10000;
        race.extent.cosLat = 0.8;
        race.windDirectionValue = 0;
        addBoat({0, 128, 0}, 6, 0);
        addBoat({0, 0, 200}, 5, 0.02);
    }

    // A boat sailing north at `speed` knots, `offset` minutes east of the first.
    BoatEntry &addBoat(Rgb colour, double speed, double offset)
    {
        BoatEntry &boat = race.boats[++race.boatCount];
        boat.name = QStringLiteral("Boat %1").arg(race.boatCount);
        boat.colour = colour;
        boat.fixInterval = 10;
        for (int i = 0; i < 20; ++i)
            boat.samples.push_back({i * 10.0, 2100 + i * 0.001, 8000 + offset, speed, 0});
        return boat;
    }

    FrameState render(const RenderOptions &options, double now = 95)
    {
        image = QImage(600, 400, QImage::Format_RGB32);
        image.fill(kSea);
        FrameState frame = newFrameState(race);
        FrameRequest request;
        request.now = now;
        request.mapSize = image.size();
        computeFrame(frame, race, request);
        RenderOptions drawing = options;
        drawing.sea = kSea;
        drawMapFrame(image, race, frame, drawing, OverlayOptions{});
        return frame;
    }

    int count(const QColor &colour, QRect area = {}) const
    {
        return countColour(image, area.isNull() ? image.rect() : area, colour);
    }

    RaceState race;
    QImage image;
};

TEST(BoatSize, NeverBelowSixOrFourteenWithBoatSize)
{
    EXPECT_EQ(boatSizeFor(100, 10, false), 6);
    EXPECT_EQ(boatSizeFor(100, 10, true), 14);
    EXPECT_EQ(boatSizeFor(3000, 10, false), 16);
    EXPECT_EQ(boatSizeFor(3000, 10, true), 16);
}

TEST(HullOutline, LongBoatsAreSlimmer)
{
    EXPECT_EQ(hullOutlineFor(8)[2], QPointF(12, -10));
    EXPECT_EQ(hullOutlineFor(12)[2], QPointF(11, -10));
    EXPECT_EQ(hullOutlineFor(2)[3], QPointF(27, 10));
    EXPECT_EQ(hullOutlineFor(12)[9], QPointF(0, -15));
}

TEST_F(RendererTest, BoatInATrackGapIsNeitherDrawnNorCounted)
{
    BoatEntry &gap = addBoat({255, 0, 255}, 5, 0.01);
    gap.samples.resize(3);
    gap.samples.push_back({5000, 2100, 8000.01, 5, 0});  // 4980 s without a fix
    RenderOptions o;
    o.labelLevel = 0;
    const FrameState result = render(o);
    EXPECT_GT(result.boatsInPlay, 0);
    EXPECT_EQ(count(QColor(255, 0, 255)), 0);
    EXPECT_GT(count(QColor(0, 0, 200)), 0);
    EXPECT_EQ(result.view.firstFocusedBoats, (std::vector<int>{1, 2}));
}

TEST_F(RendererTest, FasterOfTwoBoatsGetsARedPlusAtLevelThree)
{
    RenderOptions o;
    o.labelLevel = 3;
    const FrameState result = render(o);
    const QPoint first = projectPoint(2100.0095, 8000, result.view);
    const QPoint second = projectPoint(2100.0095, 8000.02, result.view);
    const QRect labelOfFirst(first.x() + 8, first.y() - 8, 150, 20);
    const QRect labelOfSecond(second.x() + 8, second.y() - 8, 150, 20);
    EXPECT_GT(count(QColor(255, 0, 0), labelOfFirst), 0);
    EXPECT_EQ(count(QColor(255, 0, 0), labelOfSecond), 0);
    EXPECT_GT(count(QColor(255, 255, 255), labelOfSecond), 0);

    race.boats[1].samples[10].speed = 4;  // now the second boat is faster
    render(o);
    EXPECT_EQ(count(QColor(255, 0, 0), labelOfFirst), 0);
    EXPECT_GT(count(QColor(255, 0, 0), labelOfSecond), 0);
}

// A label already on the map (the wind arrow's, a mark's) moves a boat's
// label aside rather than being written over.
TEST_F(RendererTest, BoatLabelsKeepClearOfLabelsAlreadyDrawn)
{
    RenderOptions o;
    o.labelLevel = 3;
    o.sea = kSea;
    const FrameState frame = render(o);
    const QPoint first = projectPoint(2100.0095, 8000, frame.view);
    const QRect taken(first.x() + 8, first.y() - 8, 150, 20);
    ASSERT_GT(count(QColor(255, 0, 0), taken), 0);  // the faster boat's red label, alone

    image.fill(kSea);
    QPainter p(&image);
    LabelPlacer labels;
    labels.place(taken);
    drawBoats(p, labels, race, frame, frame.view, o);
    p.end();
    EXPECT_EQ(count(QColor(255, 0, 0), taken), 0);
    EXPECT_GT(count(QColor(255, 0, 0)), 0);
}

TEST_F(RendererTest, SailsOnlyOnBoatsLargerThanEightPixels)
{
    // Wind from the east: it comes over the starboard side of the boats
    // heading north, and the sail swings out to port, left of the wake.
    race.windDirectionValue = 90;
    RenderOptions o;
    o.labelLevel = 0;
    auto whiteLeftOfFirstBoat = [&](const FrameState &result) {
        const QPoint boat = projectPoint(2100.0095, 8000, result.view);
        return count(Qt::white, QRect(boat.x() - 14, boat.y() - 14, 11, 28));
    };
    race.boatLength = 1.5;  // 7 pixels at this scale
    EXPECT_EQ(whiteLeftOfFirstBoat(render(o)), 0);
    race.boatLength = 5;  // 23 pixels
    EXPECT_GT(whiteLeftOfFirstBoat(render(o)), 5);
}

TEST_F(RendererTest, NoBoatInPlayDrawsOnlyTheSea)
{
    const FrameState result = render({}, 5000);
    EXPECT_EQ(result.boatsInPlay, 0);
    EXPECT_EQ(count(kSea), 600 * 400);
}

// With Speed Colours a wake takes the colour of its boat's speed on the
// fleet's scale, the faster boat's red and the slower's blue; without,
// both are white as ever.
TEST_F(RendererTest, SpeedColoursPaintTheWakesBySpeed)
{
    race.usualSpeeds = {5, 6};
    const QColor blue(0, 0, 255), red(255, 0, 0);
    RenderOptions o;
    o.labelLevel = 0;
    // Behind the boat: it sails north, up the picture.
    const auto wakeOf = [&](const FrameState &frame, int boat) {
        const QPoint at = projectPoint(frame.boats[boat].lat, frame.boats[boat].lon, frame.view);
        return QRect(at.x() - 5, at.y(), 11, image.height() - 40 - at.y());
    };
    const FrameState plain = render(o);
    for (const int boat : {1, 2}) {
        EXPECT_GT(count(Qt::white, wakeOf(plain, boat)), 5) << boat;
        EXPECT_EQ(count(red, wakeOf(plain, boat)) + count(blue, wakeOf(plain, boat)), 0) << boat;
    }
    o.speedColours = true;
    const FrameState coloured = render(o);
    EXPECT_GT(count(red, wakeOf(coloured, 1)), 5);
    EXPECT_EQ(count(blue, wakeOf(coloured, 1)), 0);
    EXPECT_GT(count(blue, wakeOf(coloured, 2)), 5);
    EXPECT_EQ(count(red, wakeOf(coloured, 2)), 0);
}

TEST_F(RendererTest, UntickedBoatsAreLeftOutUnlessAllAre)
{
    race.boats[2].shown = 0;
    RenderOptions o;
    o.labelLevel = 0;
    render(o);
    EXPECT_EQ(count(QColor(0, 0, 200)), 0);
    o.showHidden = true;
    render(o);
    EXPECT_EQ(count(QColor(0, 0, 200)), 0);  // the hull is drawn, filled with the sea
    race.boats[1].shown = 0;
    EXPECT_TRUE(render(o).tickAll);
}

}  // namespace
}  // namespace keelrun
