#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include "export/kml.h"

namespace keelrun {
namespace {

// Well-formed XML, and how many elements of a name it holds.
int elementsNamed(const QString &xml, const QString &name)
{
    QXmlStreamReader reader(xml);
    int count = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
            ++count;
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << " at line " << reader.lineNumber();
    return count;
}

TEST(Kml, NamesIconsAndTimeSteps)
{
    EXPECT_EQ(kmlFolderName(QStringLiteral("Keelrun  race01.txt")), " race01");
    EXPECT_EQ(kmlFolderName(QStringLiteral("Spring Cup 2024")), "Cup 2024");  // no ".": all after the blank
    EXPECT_EQ(kmlFolderName(QStringLiteral("Regatta")), "Regatta");  // no blank either
    EXPECT_EQ(kmlIconHeading(356), 0);
    EXPECT_EQ(kmlIconHeading(354), 350);
    EXPECT_EQ(kmlIconHeading(5), 10);
    EXPECT_EQ(kmlTimeStep(10000), 300);
    EXPECT_EQ(kmlTimeStep(100000), 3600);
    EXPECT_EQ(kmlTimeStep(40000), 1200);
}

// Two boats, one unfocused, sailing north for an hour; a mark and a line.
class KmlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.title = QStringLiteral("Keelrun race.txt");
        race.startTime = makeDateTime(2024, 5, 12, 11, 0, 0);
        race.windowEnd = 10000;
        race.boatCount = 2;
        race.boats[1].name = QStringLiteral(u"白潮丸 & Co");
        race.boats[2].name = QStringLiteral("Two");
        for (int b = 1; b <= 2; ++b) {
            race.boats[b].kmlColour = QStringLiteral("FF0000FF");
            for (int i = 0; i <= 100; ++i)
                race.boats[b].samples.push_back({i * 100.0, 2100 + i * 0.01, 8000.0 + b, 6.349, 354});
        }
        race.boats[2].shown = 0;
        race.markCount = 1;
        race.marks[1] = {2101, 8001};
        race.lineCount = 1;
        race.lines[1] = {{2100, 8000}, {2100, 8002}};
        options.iconFolder = QStringLiteral("/data/ya/");
    }
    RaceState race;
    KmlOptions options;
};

TEST_F(KmlTest, WholeRace)
{
    const QString kml = raceKml(race, options);
    EXPECT_TRUE(kml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n"));
    EXPECT_TRUE(kml.contains(QStringLiteral(u"<name>白潮丸 &amp; Co</name>")));  // UTF-8 when written, escaped for XML
    EXPECT_EQ(elementsNamed(kml, QStringLiteral("Folder")), 1 + 1 + 1 + 35 + 1);  // top, tracks, points with 35 steps, marks
    EXPECT_TRUE(kml.contains("<width>1</width>"));  // the unfocused boat, thin
    EXPECT_TRUE(kml.contains("/data/ya/ar350.png"));
    EXPECT_TRUE(kml.contains("<li>BSP： 6.35 KTS<br>"));
    EXPECT_TRUE(kml.contains("<Placemark><name>LINE1-S</name>"));
    EXPECT_TRUE(kml.contains("<Placemark><name>line1</name>\r\n<Style><LineStyle><color>ffFF0000</color>"));  // boat 1's colour
    options.hideUnfocused = true;
    EXPECT_FALSE(raceKml(race, options).contains("<name>Two</name>"));
}

// Boat 1's logger was off for two hours after 5000 s: its track is two
// lines, and it is in no time step while the gap lasts.
TEST_F(KmlTest, ALoggerGapBreaksTheTrack)
{
    for (int i = 51; i <= 100; ++i)
        race.boats[1].samples[i + 1].time += 7200;
    race.windowEnd = 20000;
    const QString kml = raceKml(race, options);
    EXPECT_EQ(elementsNamed(kml, QStringLiteral("Folder")), 1 + 1 + 1 + 35 + 1);  // 600 s steps; read to the end without an error
    EXPECT_EQ(kml.count("<MultiGeometry>"), 1);
    EXPECT_EQ(kml.count("<LineString>"), 2 + 1 + 1);  // boat 1 in two pieces, boat 2, the line
    const qsizetype gapStep = kml.indexOf(dateTimeText(addSeconds(race.startTime, 6000)));
    ASSERT_GT(gapStep, 0);
    const QString inGap = kml.mid(gapStep, kml.indexOf("</Folder>", gapStep) - gapStep);
    EXPECT_FALSE(inGap.contains(QStringLiteral(u"白潮丸")));
    EXPECT_TRUE(inGap.contains(QStringLiteral("<name>Two</name>")));
}

// A data folder, a title or a name with "&", "<" or ">" keeps the file
// well-formed: every such text is escaped where it goes into the XML.
TEST_F(KmlTest, TextsOfTheRaceAndTheFolderAreEscaped)
{
    race.title = QStringLiteral("Keelrun Bay <Harbour> Cup");
    options.iconFolder = QStringLiteral("/home/R&D/ya/");
    const QString kml = raceKml(race, options);
    EXPECT_EQ(elementsNamed(kml, QStringLiteral("Folder")), 1 + 1 + 1 + 35 + 1);  // read to the end without an error
    EXPECT_TRUE(kml.contains("<name>Bay &lt;Harbour&gt; Cup</name>"));
    EXPECT_TRUE(kml.contains("<href>/home/R&amp;D/ya/ar350.png</href>"));
    EXPECT_TRUE(kml.contains("<href>/home/R&amp;D/ya/buoi.png</href>"));
    FrameState frame = newFrameState(race);
    FrameRequest request;
    request.now = 2050;
    computeFrame(frame, race, request);
    EXPECT_EQ(elementsNamed(sceneKml(race, frame, options), QStringLiteral("Placemark")), 4);
}

TEST_F(KmlTest, PresentSceneInJapanese)
{
    FrameState frame = newFrameState(race);
    FrameRequest request;
    request.now = 2050;
    computeFrame(frame, race, request);
    options.japanese = true;
    const QString kml = sceneKml(race, frame, options);
    EXPECT_EQ(elementsNamed(kml, QStringLiteral("Placemark")), 4);  // a wake and a point per boat
    EXPECT_TRUE(kml.contains(QStringLiteral(u"<li>速度： ")));
    EXPECT_EQ(kml.count(QStringLiteral(",0.0 ")), 2 * 21);  // the last 21 fixes of each
    request.now = 20000;  // after every track
    computeFrame(frame, race, request);
    EXPECT_EQ(elementsNamed(sceneKml(race, frame, options), QStringLiteral("Placemark")), 0);
}

}  // namespace
}  // namespace keelrun
