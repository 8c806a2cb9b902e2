// keelrun --render, as a user runs it.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include "test_folder.h"

namespace keelrun {
namespace {

int runKeelrun(const QStringList &arguments)
{
    QProcess keelrun;
    keelrun.start(KEELRUN_BINARY, arguments);
    EXPECT_TRUE(keelrun.waitForFinished(60000));
    return keelrun.exitCode();
}

// The pages need no time: they show the whole race.
TEST(RenderCommand, DrawsThePagesOfARace)
{
    test::TestFolder t;
    const QString demo = QStringLiteral(KEELRUN_DEMO_DATA);
    const QString graph = t.path("graph.png"), analysis = t.path("analysis.png");
    ASSERT_EQ(runKeelrun({"--render", "solent-evening.txt", "--page", "graph", "--size", "900x700", "-o", graph, demo}), 0);
    ASSERT_EQ(runKeelrun({"--render", "solent-evening.txt", "--page", "analysis", "-o", analysis, demo}), 0);
    const QImage graphPicture(graph), analysisPicture(analysis);
    EXPECT_EQ(graphPicture.size(), QSize(900, 700));
    EXPECT_EQ(graphPicture.pixelColor(300, 400).blue(), 255);  // the direction graph's pale face
    EXPECT_EQ(analysisPicture.size(), QSize(1280, 1024));
    EXPECT_EQ(analysisPicture.pixelColor(960, 200), QColor(Qt::white));  // the empty top-right quarter

    // The analysis pages take the boats picked with --boats.
    const QString compare = t.path("compare.png");
    ASSERT_EQ(runKeelrun({"--render", "solent-evening.txt", "--page", "compare", "--boats", "5,Red Falcon", "-o", compare, demo}), 0);
    int fifth = 0;
    const QImage comparePicture(compare);
    for (int y = 400; y < 650; ++y)
        fifth += comparePicture.pixelColor(600, y) != QColor(Qt::white);
    EXPECT_GT(fifth, 0);
    EXPECT_EQ(runKeelrun({"--render", "solent-evening.txt", "--page", "compare", "--boats", "99", "-o", compare, demo}), 2);

    EXPECT_EQ(runKeelrun({"--render", "solent-evening.txt", "--page", "tables", "-o", graph, demo}), 2);
    EXPECT_EQ(runKeelrun({"--render", "solent-evening.txt", "-o", graph, demo}), 2);  // the map needs --at
}

// A 4K picture of the window shows what 1920×1080 shows, twice as large:
// the 50-pixel time bar is 100 pixels wide, left of a 530-pixel column.
TEST(ScreenshotCommand, AFourKPictureScalesTheWholeWindow)
{
    test::TestFolder t;
    const QString shot = t.path("4k.png");
    ASSERT_EQ(runKeelrun({"--screenshot", "valencia-2025-p01.txt", "--at", "1200", "--size", "3840x2160", "-o", shot,
                          QStringLiteral(KEELRUN_DEMO_DATA)}),
              0);
    const QImage picture(shot);
    ASSERT_EQ(picture.size(), QSize(3840, 2160));
    const QColor timeBar(255, 255, 192);
    EXPECT_EQ(picture.pixelColor(3840 - 2 * 315 + 4, 1000), timeBar);
    EXPECT_NE(picture.pixelColor(3840 - 315 + 4, 1000), timeBar);  // where an unscaled window has it
}

// --select and --follow take boats by number or name; a boat the race has
// not is refused, and nothing is written.
TEST(ScreenshotCommand, SelectAndFollowNameTheirBoats)
{
    test::TestFolder t;
    const QString shot = t.path("live.png"), demo = QStringLiteral(KEELRUN_DEMO_DATA);
    ASSERT_EQ(runKeelrun({"--screenshot", "solent-evening.txt", "--at", "600", "--select", "2,golden falcon", "--follow",
                          "Golden Falcon", "-o", shot, demo}),
              0);
    // The live panel at the map's foot left, its dark edge as high as the
    // heads and the two boats' rows.
    const QImage picture(shot);
    int dark = 0;
    for (int y = picture.height() - 150; y < picture.height(); ++y)
        dark += picture.pixelColor(5, y) == QColor(20, 20, 20);
    EXPECT_EQ(dark, 3 * 15 + 2);
    const QString refused = t.path("refused.png");
    EXPECT_EQ(runKeelrun({"--screenshot", "solent-evening.txt", "--at", "600", "--select", "99", "-o", refused, demo}), 2);
    EXPECT_EQ(runKeelrun({"--screenshot", "solent-evening.txt", "--at", "600", "--follow", "Nobody", "-o", refused, demo}), 2);
    EXPECT_FALSE(QFileInfo::exists(refused));
}

}  // namespace
}  // namespace keelrun
