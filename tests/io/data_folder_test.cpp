#include <gtest/gtest.h>

#include "test_folder.h"
#include "io/documents_only.h"

#include <QFile>

namespace keelrun {
namespace {

TEST(DataFolder, FindsNamesWrittenOnWindows)
{
    test::TestFolder t;
    const QString file = t.write("gpsdat/Fleet A/Boat01.GPX", "x");
    const DataFolder folder = t.folder();
    EXPECT_EQ(folder.find(SubFolder::Tracks, "Fleet A/Boat01.GPX"), file);
    EXPECT_EQ(folder.find(SubFolder::Tracks, "Fleet A\\Boat01.GPX"), file);
    EXPECT_EQ(folder.find(SubFolder::Tracks, "fleet a\\boat01.gpx"), file);
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "boat02.gpx"));
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "Fleet A"));  // a folder is not a track file
    EXPECT_FALSE(folder.find(SubFolder::Tracks, ""));
}

TEST(DataFolder, NeverLeavesItsSubFolder)
{
    test::TestFolder t;
    t.write("raceadmin/race01.txt", "x");
    t.write("gpsdat/a.gpx", "x");
    const DataFolder folder = t.folder();
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "../raceadmin/race01.txt"));
    EXPECT_FALSE(folder.find(SubFolder::Tracks, "..\\raceadmin\\race01.txt"));
    EXPECT_FALSE(folder.find(SubFolder::Tracks, t.path("gpsdat/a.gpx")));
}

TEST(DataFolder, WellKnownFilesAndHelpPages)
{
    test::TestFolder t;
    const DataFolder folder = t.folder();
    EXPECT_EQ(folder.coverPicture(), t.path("raceadmin/cover.jpg"));
    EXPECT_EQ(folder.firstRaceList(), t.path("raceadmin/racefile.st"));
    EXPECT_EQ(folder.editControl(), t.path("ctrl/editfile.edt"));
    EXPECT_EQ(folder.path(SubFolder::KmlIcons, "buoi.png"), t.path("ya/buoi.png"));
    EXPECT_FALSE(folder.helpPage(true));
    const QString english = t.write("help-e/index.html", "<html/>");
    EXPECT_FALSE(folder.helpPage(true));
    EXPECT_EQ(folder.helpPage(false), english);
}

// Attachments and help pages are opened only as documents, told by their
// content and name: a launcher, a script or a program is refused.
TEST(DocumentsOnly, DocumentsAreOpenedAndProgramsRefused)
{
    test::TestFolder t;
    const auto refusal = [&](const QString &name, const QByteArray &bytes) { return documentRefusal(t.write(name, bytes)); };
    EXPECT_EQ(refusal("notice.txt", "Notice of race\nFirst gun 11:00\n"), QString());
    EXPECT_EQ(refusal("index.html", "<!DOCTYPE html><html><body>Help</body></html>"), QString());
    EXPECT_EQ(refusal("notice.pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n"), QString());
    EXPECT_EQ(refusal("course.png", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")), QString());

    const QString launcher = refusal("notice.desktop", "[Desktop Entry]\nType=Application\nExec=sh -c 'rm -rf ~'\n");
    EXPECT_TRUE(launcher.contains("notice.desktop") && launcher.contains("not a document")) << launcher.toStdString();
    EXPECT_FALSE(refusal("notice.txt.sh", "echo hello\n").isEmpty());             // a script by its name
    EXPECT_FALSE(refusal("results", "#!/bin/sh\nrm -rf ~\n").isEmpty());          // a script by its content
    EXPECT_FALSE(refusal("notice.pdf.exe", "MZ\x90\x00\x03\x00\x00\x00").isEmpty());
    EXPECT_FALSE(refusal("prog", QByteArray("\x7F" "ELF\x02\x01\x01", 7)).isEmpty());

    const QString marked = t.write("plain.txt", "an ordinary text\n");
    QFile::setPermissions(marked, QFile::permissions(marked) | QFileDevice::ExeOwner);
    EXPECT_TRUE(documentRefusal(marked).contains("program")) << documentRefusal(marked).toStdString();
    EXPECT_FALSE(documentRefusal(t.path("missing.txt")).isEmpty());
}

}  // namespace
}  // namespace keelrun
