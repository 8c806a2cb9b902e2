// keelrun --export-csv, as a user runs it.

#include <gtest/gtest.h>

#include <algorithm>

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
    EXPECT_EQ(run({"--export-legs", "autumn-cup.txt", "--ct"}), documents + "autumn-cup-legs.csv");
    EXPECT_EQ(run({"--export-polars", "autumn-cup.txt"}), documents + "autumn-cup-polars.csv");
    EXPECT_EQ(run({"--export-kml", "autumn-cup.txt"}), documents + "autumn-cup.kml");
    EXPECT_EQ(run({"--export-kml", "autumn-cup.txt", "--at", "600"}), documents + "autumn-cup-1110.kml");
    EXPECT_TRUE(QFile::exists(documents + "spring-cup.csv"));
}

// The legs and polars tables of a real race: a row per boat and leg, a row
// per bin of wind angle; with the performance table's byte-order mark and
// line ends.
TEST(ExportAnalysis, LegsAndPolarsOfTheValenciaRace)
{
    test::TestFolder t;
    const auto table = [&](const char *mode) {
        const QString file = t.path(QStringLiteral("%1.csv").arg(QLatin1String(mode)));
        QProcess keelrun;
        keelrun.start(KEELRUN_BINARY, {QLatin1String(mode), "valencia-2025-p01.txt", "-o", file, KEELRUN_DEMO_DATA});
        EXPECT_TRUE(keelrun.waitForFinished(60000));
        EXPECT_EQ(keelrun.exitCode(), 0) << keelrun.readAllStandardError().toStdString();
        QFile written(file);
        EXPECT_TRUE(written.open(QIODevice::ReadOnly)) << mode;
        const QByteArray bytes = written.readAll();
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << mode;
        EXPECT_TRUE(bytes.endsWith("\r\n")) << mode;
        QList<QByteArray> rows = bytes.mid(3).split('\n');
        rows.removeLast();
        for (QByteArray &row : rows)
            row.chop(1);  // the carriage return
        return rows;
    };
    const QList<QByteArray> legs = table("--export-legs");
    ASSERT_EQ(legs.size(), 1 + 2 * 4);
    EXPECT_EQ(legs[0], "boat,leg,kind,time s,sailed m,length m,efficiency,vmg kn,tacks,gybes,manoeuvre loss s,place,places gained,"
                       "target share");
    EXPECT_TRUE(legs[1].startsWith("ESP 29375,ST->MK1,upwind,407,")) << legs[1].toStdString();
    EXPECT_TRUE(legs[8].startsWith("ESP 30782,MK1->L2,downwind,270,")) << legs[8].toStdString();
    for (const QByteArray &row : legs.mid(1)) {
        const QList<QByteArray> cells = row.split(',');
        ASSERT_EQ(cells.size(), 14) << row.toStdString();
        EXPECT_GT(cells[6].toDouble(), 0.6) << row.toStdString();  // the efficiency: upwind legs tacked, runs gybed
        EXPECT_LE(cells[6].toDouble(), 1) << row.toStdString();
        EXPECT_GT(cells[13].toDouble(), 0.8) << row.toStdString();  // the share of the target speed
    }
    const QList<QByteArray> polars = table("--export-polars");
    EXPECT_EQ(polars[0], "twa from,twa to,tws from,tws to,fixes,target kn");
    ASSERT_GT(polars.size(), 5);
    // No wind file: one band of every wind speed. The beat at about 5 knots.
    const auto beat = std::find_if(polars.begin(), polars.end(), [](const QByteArray &row) { return row.startsWith("40,45,-,-,"); });
    ASSERT_NE(beat, polars.end());
    EXPECT_NEAR(beat->split(',')[5].toDouble(), 5, 0.5) << beat->toStdString();
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
