// keelrun --export-csv, as a user runs it.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "test_folder.h"

namespace keelrun {
namespace {

TEST(ExportCsv, WritesTheTableAllOrNothingAndSaysWhere)
{
    test::TestFolder t;
    t.write("gpsdat/a.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    t.write("raceadmin/race01.txt", "T1,Spring Cup\r\nST,2009/05/03 11:00:00\r\nTD,9\r\nBN,a.gpx,One\r\n");
    auto run = [&](const QString &output) {
        QProcess keelrun;
        keelrun.start(KEELRUN_BINARY, {QStringLiteral("--export-csv"), QStringLiteral("race01.txt"), QStringLiteral("-o"), output, t.path("")});
        EXPECT_TRUE(keelrun.waitForFinished(30000));
        return std::tuple{keelrun.exitCode(), QString::fromUtf8(keelrun.readAllStandardOutput()),
                          QString::fromUtf8(keelrun.readAllStandardError())};
    };
    const QString table = t.path("table.csv");
    const auto [written, said, warnings] = run(table);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(said.trimmed(), table);
    QFile file(table);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("\xEF\xBB\xBFSpring Cup\r\nStart Time,"));

    const auto [failed, nothing, why] = run(t.path("no/such/folder/table.csv"));
    EXPECT_TRUE(nothing.isEmpty());
    EXPECT_EQ(failed, 2);
    EXPECT_TRUE(why.contains("no/such/folder/table.csv")) << why.toStdString();
}

}  // namespace
}  // namespace keelrun
