#include <gtest/gtest.h>

#include <QFile>

#include "base/load_error.h"
#include "io/wind_file.h"
#include "test_folder.h"

namespace keelrun {
namespace {

class WindFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.startTime = makeDateTime(2009, 5, 3, 11, 0, 0);
        state.raceFileName = "race01.txt";
        state.windFile = "race01_wind.csv";
    }
    void read(const QByteArray &text)
    {
        t.write("winddat/race01_wind.csv", text);
        readWindFile(state, t.folder());
    }
    test::TestFolder t;
    RaceState state;
};

TEST_F(WindFileTest, ReadsRecordsRelativeToTheLocalStart)
{
    read("DATE TIME, TWS,TWD\r\n2009/05/03 10:50:00, 8.5, 359.5\r\n2009/05/03 11:10:00,12.25,358.5\r\n\r\n");
    ASSERT_EQ(state.windSampleCount(), 2);
    EXPECT_EQ(state.windSamples[1].time, -600);
    EXPECT_EQ(state.windSamples[1].twd, 360);
    EXPECT_EQ(state.windSamples[2].time, 600);
    EXPECT_EQ(state.windSamples[2].twd, 358);
    EXPECT_DOUBLE_EQ(state.maxWindSpeed, 12.25);
}

TEST_F(WindFileTest, DirectionsBeyondAFullTurnAreBroughtBack)
{
    read("DATE TIME, TWS,TWD\r\n2009/05/03 11:00:00,8,1000\r\n2009/05/03 11:01:00,8,-30\r\n2009/05/03 11:02:00,8,360\r\n");
    EXPECT_EQ(state.windSamples[1].twd, 280);
    EXPECT_EQ(state.windSamples[2].twd, 330);
    EXPECT_EQ(state.windSamples[3].twd, 360);
}

TEST_F(WindFileTest, HeaderOnlyKeepsTheFileWithoutRecords)
{
    read("DATE TIME, TWS,TWD\r\n");
    EXPECT_EQ(state.windSampleCount(), 0);
    EXPECT_EQ(state.maxWindSpeed, 0);
    EXPECT_EQ(state.windFile, "race01_wind.csv");
}

TEST_F(WindFileTest, MissingFileEmptiesTheName)
{
    readWindFile(state, t.folder());
    EXPECT_TRUE(state.windFile.isEmpty());
    EXPECT_EQ(state.windSampleCount(), 0);
}

TEST_F(WindFileTest, BadRecordNamesFileLineAndText)
{
    try {
        read("DATE TIME, TWS,TWD\r\n2009/05/03 10:50:00,8,200\r\n2009/05/03 10:51:00,fresh,200\r\n");
        FAIL() << "no error";
    } catch (const LoadError &e) {
        EXPECT_EQ(e.message(), "winddat/race01_wind.csv:3: field 2: \"fresh\" is not a wind speed");
    }
    EXPECT_THROW(read("DATE TIME, TWS,TWD\r\n2009/05/03 10:50:00,8\r\n"), LoadError);
}

TEST_F(WindFileTest, WritesSortedRecordsWithZeroSpeedAndReadsThemBack)
{
    state.windFile.clear();
    state.windSamples = {{}, {600, 9, 210}, {-600, 7, 190}, {0, 8, 200}};
    ASSERT_EQ(writeWindFile(state, t.folder()), "");
    EXPECT_EQ(state.windFile, "race01_wind.csv");

    QFile f(t.path("winddat/race01_wind.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "DATE TIME, TWS,TWD\r\n2009/05/03 10:50:00,0,190\r\n2009/05/03 11:00:00,0,200\r\n"
                           "2009/05/03 11:10:00,0,210\r\n");

    readWindFile(state, t.folder());
    ASSERT_EQ(state.windSampleCount(), 3);
    EXPECT_EQ(state.windSamples[1].time, -600);
    EXPECT_EQ(state.windSamples[3].twd, 210);
    EXPECT_EQ(state.windSamples[3].tws, 0);
}

}  // namespace
}  // namespace keelrun
