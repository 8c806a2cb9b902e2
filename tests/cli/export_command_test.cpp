// keelrun --export-csv, as a user runs it.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

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

// Without -o the exports go to the documents folder named after the race,
// so that a second race's do not replace the first's.
TEST(Export, DocumentsAreNamedAfterTheRace)
{
    test::TestFolder t;
    t.write("gpsdat/a.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    for (const char *race : {"raceadmin/spring-cup.txt", "raceadmin/autumn-cup.txt"})
        t.write(race, "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 11:30:00\r\nTD,9\r\nBN,a.gpx,One\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", t.path("home"));
    env.remove("XDG_DOCUMENTS_DIR");
    const auto run = [&](QStringList arguments) {
        QProcess keelrun;
        keelrun.setProcessEnvironment(env);
        keelrun.start(KEELRUN_BINARY, arguments << t.path(""));
        EXPECT_TRUE(keelrun.waitForFinished(30000));
        EXPECT_EQ(keelrun.exitCode(), 0) << keelrun.readAllStandardError().toStdString();
        return QString::fromUtf8(keelrun.readAllStandardOutput()).trimmed();
    };
    const QString documents = t.path("home/Documents/");
    EXPECT_EQ(run({"--export-csv", "spring-cup.txt"}), documents + "spring-cup.csv");
    EXPECT_EQ(run({"--export-csv", "autumn-cup.txt"}), documents + "autumn-cup.csv");
    EXPECT_EQ(run({"--export-manoeuvres", "autumn-cup.txt"}), documents + "autumn-cup-manoeuvres.csv");
    EXPECT_EQ(run({"--export-kml", "autumn-cup.txt"}), documents + "autumn-cup.kml");
    EXPECT_EQ(run({"--export-kml", "autumn-cup.txt", "--at", "600"}), documents + "autumn-cup-1110.kml");
    EXPECT_TRUE(QFile::exists(documents + "spring-cup.csv"));
}

// Every KML document Keelrun writes for the bundled races is well-formed
// XML, as xmllint checks it.
TEST(ExportKml, TheBundledRacesPassXmllint)
{
    test::TestFolder t;
    for (const char *race : {"hayama-autumn.txt", "solent-evening.txt", "valencia-2025-p01.txt", "valencia-2025-p02.txt"}) {
        for (const QStringList &scene : {QStringList{}, QStringList{QStringLiteral("--at"), QStringLiteral("900")}}) {
            const QString kml = t.path(QStringLiteral("%1%2.kml").arg(QLatin1String(race)).arg(scene.size()));
            QProcess keelrun;
            keelrun.start(KEELRUN_BINARY, QStringList{QStringLiteral("--export-kml"), QLatin1String(race), QStringLiteral("-o"), kml} + scene +
                                              QStringList{QStringLiteral(KEELRUN_DEMO_DATA)});
            ASSERT_TRUE(keelrun.waitForFinished(60000));
            EXPECT_EQ(keelrun.exitCode(), 0) << race;
            QProcess xmllint;
            xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), kml});
            ASSERT_TRUE(xmllint.waitForFinished(30000)) << "xmllint (libxml2-utils) is needed";
            EXPECT_EQ(xmllint.exitCode(), 0) << race << ": " << xmllint.readAllStandardError().toStdString();
        }
    }
}

}  // namespace
}  // namespace keelrun
