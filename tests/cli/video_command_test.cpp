// keelrun --video, as a user runs it, read back with FFmpeg's libraries.

#include <gtest/gtest.h>

#include <csignal>
#include <cmath>

#include <sys/types.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>

#include "cli/video_command.h"
#include "export/video_writer.h"
#include "test_folder.h"

namespace keelrun {
namespace {

int runKeelrun(const QStringList &arguments, QString *errors = nullptr)
{
    QProcess keelrun;
    keelrun.start(KEELRUN_BINARY, arguments);
    EXPECT_TRUE(keelrun.waitForFinished(120000));
    if (errors)
        *errors = QString::fromLocal8Bit(keelrun.readAllStandardError());
    return keelrun.exitCode();
}

// The mean difference of two pictures' colour channels, 0..255.
double meanDifference(const QImage &a, const QImage &b)
{
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * a.width() * a.height());
}

QImage frameOf(const QString &video, int index)
{
    QByteArray pixels;
    QSize size;
    QString error;
    EXPECT_TRUE(readVideoFrame(video, index, pixels, size, error)) << error.toStdString();
    return QImage(reinterpret_cast<const uchar *>(pixels.constData()), size.width(), size.height(), size.width() * 4,
                  QImage::Format_RGB32)
        .copy();
}

TEST(VideoCommand, FrameCount)
{
    EXPECT_EQ(videoFrameCount(0, 300, 30, 30), 301);  // ten seconds of video and the last frame
    EXPECT_EQ(videoFrameCount(0, 10, 30, 30), 11);
    EXPECT_EQ(videoFrameCount(5, 5, 30, 30), 1);
}

// Ten seconds at 30x of the Solent race: 301 frames of 640 x 360 at 30 a
// second; the first is what --render draws at the start, later ones move on.
TEST(VideoCommand, TheReplayAsAVideo)
{
    test::TestFolder t;
    const QString demo = QStringLiteral(KEELRUN_DEMO_DATA);
    const QString video = t.path("solent.mp4"), picture = t.path("start.png");
    ASSERT_EQ(runKeelrun({"--video", "solent-evening.txt", "--from", "600", "--to", "900", "--size", "640x360", "-o", video, demo}), 0);
    ASSERT_EQ(runKeelrun({"--render", "solent-evening.txt", "--at", "600", "--size", "640x360", "-o", picture, demo}), 0);
    VideoFacts facts;
    QString error;
    ASSERT_TRUE(readVideoFacts(video, facts, error)) << error.toStdString();
    EXPECT_EQ(facts.size, QSize(640, 360));
    EXPECT_DOUBLE_EQ(facts.fps, 30);
    EXPECT_NEAR(facts.frames, 301, 1);
    EXPECT_EQ(facts.codec, "h264");
    EXPECT_FALSE(QFile::exists(video + ".part"));

    const QImage first = frameOf(video, 0), rendered(picture);
    EXPECT_LT(meanDifference(first, rendered.convertToFormat(QImage::Format_RGB32)), 4);  // the codec's loss only
    EXPECT_GT(meanDifference(first, frameOf(video, 300)), meanDifference(first, rendered.convertToFormat(QImage::Format_RGB32)));
}

TEST(VideoCommand, WebMAndFailures)
{
    test::TestFolder t;
    const QString demo = QStringLiteral(KEELRUN_DEMO_DATA);
    const QString webm = t.path("short.webm");
    ASSERT_EQ(runKeelrun({"--video", "solent-evening.txt", "--from", "0", "--to", "60", "--size", "320x180", "-o", webm, demo}), 0);
    VideoFacts facts;
    QString error;
    ASSERT_TRUE(readVideoFacts(webm, facts, error)) << error.toStdString();
    EXPECT_EQ(facts.codec, "vp9");
    EXPECT_NEAR(facts.frames, 61, 1);

    QString why;
    const QString nowhere = t.path("no/such/folder/v.mp4");
    EXPECT_EQ(runKeelrun({"--video", "solent-evening.txt", "--to", "60", "-o", nowhere, demo}, &why), 2);
    EXPECT_TRUE(why.contains("no/such/folder")) << why.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_EQ(runKeelrun({"--video", "solent-evening.txt", "--speed", "0", "-o", webm, demo}), 2);
}

// With --window every frame is the whole window, boards and time bar too.
TEST(VideoCommand, TheWholeWindow)
{
    test::TestFolder t;
    const QString video = t.path("window.mp4");
    ASSERT_EQ(runKeelrun({"--video", "hayama-autumn.txt", "--window", "--from", "3900", "--to", "3930", "--size", "1024x768",
                          "-o", video, QStringLiteral(KEELRUN_DEMO_DATA)}), 0);
    VideoFacts facts;
    QString error;
    ASSERT_TRUE(readVideoFacts(video, facts, error)) << error.toStdString();
    EXPECT_EQ(facts.size, QSize(1024, 768));
    EXPECT_NEAR(facts.frames, 31, 1);
    // The column of the window at the right: the control panel's grey, not the sea.
    const QImage last = frameOf(video, 30);
    const QColor column = last.pixelColor(1000, 700);
    EXPECT_NEAR(column.red(), column.blue(), 20);
}

// Ctrl+C: the video stops early and what was done plays.
TEST(VideoCommand, AStoppedVideoPlays)
{
    test::TestFolder t;
    const QString video = t.path("stopped.mp4");
    QProcess keelrun;
    keelrun.start(KEELRUN_BINARY, {"--video", "solent-evening.txt", "--speed", "2", "--size", "320x180", "-o", video,
                                   QStringLiteral(KEELRUN_DEMO_DATA)});
    ASSERT_TRUE(keelrun.waitForStarted());
    // Wait until it is encoding, then interrupt it as Ctrl+C does.
    for (int i = 0; i < 100 && !QFile::exists(video + ".part"); ++i)
        QThread::msleep(50);
    QThread::msleep(500);
    ::kill(static_cast<pid_t>(keelrun.processId()), SIGINT);
    ASSERT_TRUE(keelrun.waitForFinished(60000));
    EXPECT_EQ(keelrun.exitCode(), 0);
    VideoFacts facts;
    QString error;
    ASSERT_TRUE(readVideoFacts(video, facts, error)) << error.toStdString();
    EXPECT_GT(facts.frames, 0);
    EXPECT_LT(facts.frames, 40000);
}

}  // namespace
}  // namespace keelrun
