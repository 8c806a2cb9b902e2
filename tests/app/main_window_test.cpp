// The window under the offscreen platform: captions, layout, race
// selection and display options.

#include <gtest/gtest.h>

#include <optional>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFontMetrics>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QWheelEvent>

#include "app/main_window.h"
#include "app/window_test_support.h"
#include "track_builders.h"
#include "app/video_export.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "app/single_instance.h"
#include "export/video_writer.h"
#include "render/map_overlays.h"
#include "render/painting.h"
#include "render/pixel_count.h"
#include "render/time_bar.h"
#include "test_folder.h"

namespace keelrun {
namespace {

using test::child;
using test::textFits;
using test::waitForLoad;

// A data folder of three races; race02 has `boats` boats.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { writeRaces(3); }

    void writeRaces(int boatsInRace02)
    {
        const QByteArray track = test::gpxTrack("2009-05-03T02:00:00", 20);
        for (int b = 1; b <= boatsInRace02; ++b)
            t.write(QStringLiteral("gpsdat/b%1.gpx").arg(b), track);
        for (int r = 1; r <= 3; ++r) {
            QByteArray text = "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\nBN,b1.gpx,Alpha,1.05\r\nBN,b2.gpx,Bravo,0.95\r\n";
            if (r == 2) {
                for (int b = 3; b <= boatsInRace02; ++b)
                    text += QStringLiteral("BN,b%1.gpx,Boat %1\r\n").arg(b).toUtf8();
            }
            t.write(QStringLiteral("raceadmin/race0%1.txt").arg(r), text);
        }
    }

    // Opens the window on `race` and waits for the load.
    std::unique_ptr<MainWindow> open(const QString &race = {}, QSize size = {1280, 1020})
    {
        auto window = std::make_unique<MainWindow>(t.folder(), race);
        window->resize(size);
        waitForLoad(*window);
        return window;
    }

    static void click(QWidget *w, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), button,
                              type == QEvent::MouseButtonPress ? button : Qt::NoButton, modifiers);
            QApplication::sendEvent(w, &event);
        }
    }

    // The organiser's window on race01 in edit mode, with a mark placed on
    // the course diagram and not yet written to the race file.
    std::unique_ptr<MainWindow> openWithUnwrittenMark()
    {
        t.write("ctrl/editfile.edt", "race01.txt\r\n");
        auto w = open(QStringLiteral("race01.txt"));
        w->show();
        child<QCheckBox>(*w, "CheckBox1")->click();  // the course diagram and the edit panel
        child<QRadioButton>(*w, "optMK")->click();
        click(child<MapCanvas>(*w, "mapCanvas"), Qt::LeftButton, Qt::ShiftModifier);
        EXPECT_EQ(w->race().markCount, 1);
        return w;
    }

    // Answers the open "Rewrite File?" question.
    static void answerRewrite(MainWindow &w, QMessageBox::StandardButton button)
    {
        auto *question = w.findChild<QMessageBox *>(QStringLiteral("rewriteQuestion"));
        ASSERT_NE(question, nullptr);
        question->button(button)->click();
        QApplication::processEvents();
    }

    test::TestFolder t;
};

TEST_F(MainWindowTest, CaptionsFollowTheLanguageAndTheFlags)
{
    auto w = open();
    EXPECT_EQ(w->language(), Language::EnglishByLocale);
    EXPECT_EQ(child<QPushButton>(*w, "Button4")->text(), "SHOW");
    EXPECT_FALSE(child<QLabel>(*w, "usa")->isVisibleTo(w.get()));
    EXPECT_FALSE(child<QLabel>(*w, "jpn")->isVisibleTo(w.get()));

    w->setLanguage(Language::Japanese);
    EXPECT_EQ(child<QPushButton>(*w, "Button4")->text(), QStringLiteral(u"表示"));
    EXPECT_EQ(child<QRadioButton>(*w, "RadioN")->text(), QStringLiteral(u"北が上"));
    EXPECT_TRUE(child<QLabel>(*w, "usa")->isVisibleTo(w.get()));

    click(child<QLabel>(*w, "usa"));
    EXPECT_EQ(w->language(), Language::EnglishChosen);
    EXPECT_EQ(child<QCheckBox>(*w, "CheckBox4")->text(), "Small Scr");
    EXPECT_TRUE(child<QLabel>(*w, "jpn")->isVisibleTo(w.get()));
    EXPECT_FALSE(child<QLabel>(*w, "usa")->isVisibleTo(w.get()));
}

TEST_F(MainWindowTest, AWindow1024WideGivesA709PixelMap)
{
    auto w = open({}, {1024, 764});
    EXPECT_EQ(w->mapSize(), QSize(709, 768));
    EXPECT_EQ(w->mapBitmap().size(), QSize(709, 768));
    EXPECT_EQ(child<QWidget>(*w, "pnlCTRL")->geometry(), QRect(759, 768 - 255, 265, 255));
}

TEST_F(MainWindowTest, BoatListFillsTheGapOrCoversTheLogo)
{
    auto few = open();
    EXPECT_EQ(child<QWidget>(*few, "pnlBOATlist")->geometry(), QRect(1015, 200, 265, 1024 - 455));

    writeRaces(81);
    auto many = open("race02.txt", {1280, 600});
    ASSERT_EQ(many->race().boatCount, 81);
    const QRect list = child<QWidget>(*many, "pnlBOATlist")->geometry();
    EXPECT_EQ(list.top(), 0);
    EXPECT_EQ(list.height(), 41 * 14 + 20);
    EXPECT_NE(many->findChild<QCheckBox *>("boatBox81"), nullptr);

    // The list overlaps the control panel; the panel the pointer enters
    // comes to the front.
    auto *boats = child<QWidget>(*many, "pnlBOATlist");
    auto *controls = child<QWidget>(*many, "pnlCTRL");
    const auto stackedAbove = [&](QWidget *a, QWidget *b) { return many->children().indexOf(a) > many->children().indexOf(b); };
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(controls, &enter);
    EXPECT_TRUE(stackedAbove(controls, boats));
    QApplication::sendEvent(boats, &enter);
    EXPECT_TRUE(stackedAbove(boats, controls));
}

TEST_F(MainWindowTest, SmallScreenSizes)
{
    auto w = open();
    child<QCheckBox>(*w, "CheckBox4")->click();
    EXPECT_EQ(w->mapSize(), QSize(800, 480));
    EXPECT_FALSE(child<QRadioButton>(*w, "RadioButton2")->isEnabled());

    auto *widths = child<QComboBox>(*w, "ComboBox2");
    auto *heights = child<QComboBox>(*w, "ComboBox3");
    widths->setCurrentText("640");
    heights->setCurrentText("360");
    emit heights->activated(heights->currentIndex());
    EXPECT_TRUE(child<QRadioButton>(*w, "RadioButton8")->isChecked());
    EXPECT_EQ(w->mapSize(), QSize(640, 360));

    child<QRadioButton>(*w, "RadioButton4")->click();
    EXPECT_EQ(w->mapSize(), QSize(800, 600));
    child<QCheckBox>(*w, "CheckBox4")->click();
    EXPECT_EQ(w->mapSize(), QSize(965, 1024));
}

TEST_F(MainWindowTest, SeaSliderColoursTheSea)
{
    auto w = open();
    auto *slider = child<QScrollBar>(*w, "ScrollBar3");
    slider->setValue(0);
    EXPECT_EQ(w->mapBitmap().pixelColor(10, 10), QColor(0, 0, 70));
    slider->setValue(100);
    EXPECT_EQ(w->mapBitmap().pixelColor(10, 10), QColor(110, 160, 255));
}

TEST_F(MainWindowTest, ShowOfTheShownRaceSaysSo)
{
    auto w = open("race02.txt");
    child<QComboBox>(*w, "ComboBox1")->setCurrentIndex(1);
    child<QPushButton>(*w, "Button4")->click();
    EXPECT_FALSE(w->isLoading());
    auto *box = w->findChild<QMessageBox *>("alreadyShown");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Already shown.");

    child<QComboBox>(*w, "ComboBox1")->setCurrentIndex(2);
    child<QPushButton>(*w, "Button4")->click();
    EXPECT_TRUE(w->isLoading());
    waitForLoad(*w);
    EXPECT_EQ(w->race().raceFileName, "race03.txt");
    EXPECT_EQ(w->catalogue().raceListIndex, 3);
}

TEST_F(MainWindowTest, AutoNextWrapsFromTheLastRaceToTheFirst)
{
    auto w = open("race03.txt");
    w->endOfReplay();
    waitForLoad(*w);
    EXPECT_EQ(w->race().raceFileName, "race01.txt");
    EXPECT_EQ(w->catalogue().raceListIndex, 1);

    child<QCheckBox>(*w, "chkAutoNext")->click();  // off: the same race replays
    w->endOfReplay();
    EXPECT_FALSE(w->isLoading());
}

// The user's AutoNext stands for the session, and the splash is held for
// its time only at start-up: a later load shows it only while it takes.
TEST_F(MainWindowTest, ALaterLoadKeepsAutoNextAndHoldsNoSplash)
{
    auto w = open("race01.txt");
    auto *autoNext = child<QCheckBox>(*w, "chkAutoNext");
    auto *splash = child<QWidget>(*w, "pnlSPLITE");
    ASSERT_TRUE(autoNext->isChecked());
    EXPECT_TRUE(splash->isVisibleTo(w.get()));  // held at start-up
    autoNext->click();
    w->loadRace(t.path("raceadmin/race02.txt"));
    waitForLoad(*w);
    EXPECT_EQ(w->race().raceFileName, "race02.txt");
    EXPECT_FALSE(autoNext->isChecked());
    QApplication::processEvents();
    EXPECT_FALSE(splash->isVisibleTo(w.get()));
}

// The finish board goes with the Graph page and comes back with the Track
// page as it stands at the clock, not only at the next finish gun.
TEST_F(MainWindowTest, TheBoardsComeBackWithTheTrackPage)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    waitForLoad(w);
    const int finish = w.race().courseLength();
    w.jumpTo(w.race().results.firstPassTime[finish] + 30);
    w.showFinishesSoFar();
    auto *board = child<QLabel>(w, "pnlScore");
    ASSERT_TRUE(board->isVisibleTo(&w));
    w.showPage(Page::Graph);
    EXPECT_FALSE(board->isVisibleTo(&w));
    w.showPage(Page::Track);
    EXPECT_TRUE(board->isVisibleTo(&w));
}

TEST_F(MainWindowTest, NoTipsWithTipsOff)
{
    auto w = open();
    auto *hint = child<QLabel>(*w, "hintbox");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(child<QPushButton>(*w, "Button4"), &enter);
    EXPECT_TRUE(hint->isVisibleTo(w.get()));
    EXPECT_TRUE(hint->text().startsWith("Choose race file at left box"));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(child<QPushButton>(*w, "Button4"), &leave);
    child<QCheckBox>(*w, "chkHint")->setChecked(false);
    QApplication::sendEvent(child<QCheckBox>(*w, "chkAutoNext"), &enter);
    EXPECT_FALSE(hint->isVisibleTo(w.get()));
}

TEST_F(MainWindowTest, EmptyRaceKeepsTheWindowWithItsRaceList)
{
    t.write("raceadmin/race00.txt", "ST,2009/05/03 11:00:00\r\nBN,missing.gpx,Ghost\r\n");
    auto w = open("race00.txt");
    EXPECT_EQ(w->race().boatCount, 0);
    auto *box = w->findChild<QMessageBox *>("problems");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "GPS file not exists.");
    EXPECT_EQ(child<QComboBox>(*w, "ComboBox1")->count(), 4);
}

TEST_F(MainWindowTest, TimeModeChoiceReloadsInCorrectedTime)
{
    auto w = open();
    auto *ct = child<QRadioButton>(*w, "RadioButton11");
    EXPECT_TRUE(w->race().handicapsPresent);
    ct->click();
    waitForLoad(*w);
    EXPECT_EQ(w->race().ctMode, 1);
    EXPECT_TRUE(ct->isChecked());
}

TEST_F(MainWindowTest, NothingIsDrawnFromARaceBeingReplaced)
{
    auto w = open("race01.txt");
    EXPECT_TRUE(w->drawFrame());
    child<QScrollBar>(*w, "ScrollBar2")->setValue(50);  // the next load moves it back, redrawing
    child<QComboBox>(*w, "ComboBox1")->setCurrentIndex(1);
    child<QPushButton>(*w, "Button4")->click();
    ASSERT_TRUE(w->isLoading());
    EXPECT_FALSE(w->drawFrame());  // the old boat list is gone
    w->step(+1);
    w->play(+1);
    w->endOfReplay();
    waitForLoad(*w);
    EXPECT_EQ(w->race().raceFileName, "race02.txt");
    EXPECT_TRUE(w->drawFrame());
}

TEST_F(MainWindowTest, ZoomSliderDividesTheScale)
{
    auto w = open();
    auto *zoom = child<QScrollBar>(*w, "ScrollBar2");
    auto scale = [&](int position) {
        zoom->setValue(position);
        w->drawFrame();
        return w->playback().frame().view.latScale;
    };
    const double fitted = scale(100);
    EXPECT_DOUBLE_EQ(scale(0), fitted / 10);
    EXPECT_DOUBLE_EQ(scale(95), fitted);
}

// The fixture's tracks all begin at the gun: before it no boat is in play,
// and that is no end of the replay.
TEST_F(MainWindowTest, ARaceWhoseTracksBeginAtTheGunPlays)
{
    auto w = open("race01.txt");
    ASSERT_TRUE(child<QCheckBox>(*w, "chkAutoNext")->isChecked());
    w->play(+1);
    QEventLoop run;
    QTimer::singleShot(1500, &run, &QEventLoop::quit);
    run.exec();
    EXPECT_FALSE(w->isLoading());
    EXPECT_EQ(w->race().raceFileName, "race01.txt");
    EXPECT_GT(w->playback().clock().raceClock, w->race().windowStart);
}

TEST_F(MainWindowTest, PlaysAtTheRacesOwnSpeedWithSecondsOnTheClock)
{
    t.write("raceadmin/race04.txt", "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\nPS,15\r\nBN,b1.gpx,Alpha\r\n");
    auto w = open("race04.txt");
    EXPECT_EQ(w->playback().clock().playSpeed, 15);
    EXPECT_EQ(child<QLabel>(*w, "Memo2")->text(), "15X");
    w->step(+1);
    EXPECT_TRUE(QRegularExpression(":\\d\\d:\\d\\d$").match(child<QLabel>(*w, "Memo1")->text()).hasMatch())
        << child<QLabel>(*w, "Memo1")->text().toStdString();
}

// Without AutoNext the same race replays from the start of its window, and
// the clock and the map show it at once.
TEST_F(MainWindowTest, TheReplayStartsAgainAtOnceWithoutAutoNext)
{
    auto w = open("race01.txt");
    child<QCheckBox>(*w, "chkAutoNext")->click();
    const QString atStart = child<QLabel>(*w, "Memo1")->text();
    for (int s = 0; s < 5; ++s)
        w->step(+1);
    ASSERT_NE(child<QLabel>(*w, "Memo1")->text(), atStart);
    w->endOfReplay();
    EXPECT_EQ(w->playback().clock().raceClock, w->race().windowStart);
    EXPECT_EQ(child<QLabel>(*w, "Memo1")->text(), dateTimeText(addSeconds(w->race().startTime, w->race().windowStart)));
}

TEST_F(MainWindowTest, AutoNextMovesPastAMissingRaceFile)
{
    auto w = open("race01.txt");
    QFile::remove(t.path("raceadmin/race02.txt"));
    w->endOfReplay();  // race02 has gone: nothing to load, but the catalogue moves on
    EXPECT_FALSE(w->isLoading());
    EXPECT_EQ(w->catalogue().raceListIndex, 2);
    w->endOfReplay();
    waitForLoad(*w);
    EXPECT_EQ(w->race().raceFileName, "race03.txt");
}

// A race that cannot be loaded leaves nothing of the race before it: no map,
// no caption, no CT banner; the message lists the warnings gathered.
TEST_F(MainWindowTest, AFailedLoadClearsThePreviousRace)
{
    t.write("raceadmin/race04.txt", "ST,2009/05/03 11:00:00\r\nBN,gone.gpx,Ghost\r\nBN,b1.gpx,Alpha\r\nPS,fast\r\n");
    auto w = open("race01.txt");
    child<QRadioButton>(*w, "RadioButton11")->click();  // corrected time: the CT banner shows
    waitForLoad(*w);
    ASSERT_TRUE(child<QLabel>(*w, "Memo10")->isVisibleTo(w.get()));
    child<QComboBox>(*w, "ComboBox1")->setCurrentIndex(3);
    child<QPushButton>(*w, "Button4")->click();
    waitForLoad(*w);
    EXPECT_EQ(w->race().boatCount, 0);
    EXPECT_EQ(w->windowTitle(), "Keelrun");
    EXPECT_FALSE(child<QLabel>(*w, "Memo10")->isVisibleTo(w.get()));
    const QImage &map = w->mapBitmap();
    EXPECT_EQ(map.pixelColor(map.width() / 2, map.height() / 2), map.pixelColor(1, 1));
    auto *box = w->findChild<QMessageBox *>("problems");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("\"fast\""));
    EXPECT_TRUE(box->detailedText().contains("gone.gpx"));
}

TEST_F(MainWindowTest, ALoadLeavesSmallScreenModeWholeAndTicksAutoTrace)
{
    auto w = open("race01.txt");
    child<QCheckBox>(*w, "CheckBox4")->click();
    child<QCheckBox>(*w, "CheckBox1")->click();  // Auto Trace off
    ASSERT_TRUE(child<QLabel>(*w, "Memo11")->isVisibleTo(w.get()));
    ASSERT_FALSE(child<QRadioButton>(*w, "RadioButton2")->isEnabled());
    child<QComboBox>(*w, "ComboBox1")->setCurrentIndex(1);
    child<QPushButton>(*w, "Button4")->click();
    waitForLoad(*w);
    EXPECT_FALSE(child<QLabel>(*w, "Memo11")->isVisibleTo(w.get()));
    EXPECT_FALSE(child<QLabel>(*w, "Memo13")->isVisibleTo(w.get()));
    EXPECT_TRUE(child<QRadioButton>(*w, "RadioButton2")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>(*w, "CheckBox1")->isChecked());
    EXPECT_EQ(w->mapSize(), QSize(1280 - 265 - 50, 1024));
}

// A click on the time bar's strip sets the clock to the time of that row;
// START rewinds to the start of the window.
TEST_F(MainWindowTest, TheTimeBarSetsTheClock)
{
    auto w = open("race01.txt");
    w->stopPlayback();
    auto *bar = child<QWidget>(*w, "pnlTimeBar");
    const TimeBarGeometry g(bar->size());
    const int row = g.stripHeight() / 2;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, g.strip.top() + row), bar->mapToGlobal(QPointF(20, g.strip.top() + row)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    const double expected = clickedTime(row, g.stripHeight(), w->race());
    EXPECT_EQ(w->playback().clock().raceClock, expected);
    EXPECT_EQ(child<QLabel>(*w, "Memo1")->text(), dateTimeText(addSeconds(w->race().startTime, expected)));
    EXPECT_EQ(child<QLabel>(*w, "TimePointer")->y(), pointerTop(expected, g.stripHeight(), w->race()));

    // Dragged along the strip with the button down, the replay follows.
    const int later = row / 2;
    QMouseEvent drag(QEvent::MouseMove, QPointF(20, g.strip.top() + later), bar->mapToGlobal(QPointF(20, g.strip.top() + later)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &drag);
    EXPECT_EQ(w->playback().clock().raceClock, clickedTime(later, g.stripHeight(), w->race()));
    EXPECT_GT(w->playback().clock().raceClock, expected);

    QMouseEvent start(QEvent::MouseButtonPress, QPointF(25, bar->height() - 15), bar->mapToGlobal(QPointF(25, bar->height() - 15)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &start);
    EXPECT_EQ(w->playback().clock().raceClock, w->race().windowStart);
}

// With Auto Trace off the map shows the course diagram of the whole race;
// a left click zooms in there, a drag pans it without zooming, the wheel
// zooms about the pointer, and unticking Auto Trace again starts over.
TEST_F(MainWindowTest, TheStoppedMapShowsTheCourseDiagram)
{
    auto w = std::make_unique<MainWindow>(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w->resize(1280, 1020);
    waitForLoad(*w);
    auto *autoTrace = child<QCheckBox>(*w, "CheckBox1");
    autoTrace->click();
    ASSERT_FALSE(autoTrace->isChecked());
    EXPECT_FALSE(w->playback().isPlaying());
    auto *map = child<QWidget>(*w, "mapCanvas");
    const QImage before = w->mapBitmap();
    const auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, map->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(map, &event);
    };
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    EXPECT_EQ(w->mapBitmap(), before);  // a press alone may start a drag
    mouse(QEvent::MouseButtonRelease, {100, 100}, Qt::NoButton);
    EXPECT_NE(w->mapBitmap(), before);  // zoomed in round the clicked point

    const QImage zoomed = w->mapBitmap();
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {140, 100}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {140, 100}, Qt::NoButton);
    const QImage panned = w->mapBitmap();
    EXPECT_NE(panned, zoomed);
    // Panned by 40 pixels and not zoomed: a column of the zoomed diagram is
    // now 40 pixels to the right.
    const int row = w->mapSize().height() / 2;
    int same = 0;
    for (int x = 200; x < 400; ++x)
        same += panned.pixel(x + 40, row) == zoomed.pixel(x, row);
    EXPECT_GT(same, 190);

    QWheelEvent wheel(QPointF(300, 300), map->mapToGlobal(QPointF(300, 300)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(map, &wheel);
    EXPECT_NE(w->mapBitmap(), panned);  // zoomed out about the pointer
    autoTrace->click();                  // playing again
    autoTrace->click();                  // stopped: the whole race again
    EXPECT_EQ(w->mapBitmap(), before);
}

// Speed Colours repaints the playing map's wakes and the stopped map's
// tracks by speed, with their legend; unticked, each map is as it was. The
// gun a minute before the fixes keeps the race clock small: the large one
// of the start is drawn a shade apart from one drawing to the next.
TEST_F(MainWindowTest, SpeedColoursRepaintTheMapAndUntickingRestoresIt)
{
    t.write("raceadmin/race04.txt", "ST,2009/05/03 10:59:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\nBN,b1.gpx,Alpha\r\nBN,b2.gpx,Bravo\r\n");
    auto w = open("race04.txt");
    w->holdForPicture(false);
    w->jumpTo(70);
    auto *speedColours = child<QCheckBox>(*w, "ChkSpeedColour");
    for (const bool stopped : {false, true}) {
        if (stopped)
            child<QCheckBox>(*w, "CheckBox1")->click();  // Auto Trace off: the course diagram
        const QImage before = w->mapBitmap();
        speedColours->click();
        EXPECT_NE(w->mapBitmap(), before) << (stopped ? "stopped" : "playing");
        speedColours->click();
        EXPECT_EQ(w->mapBitmap(), before) << (stopped ? "stopped" : "playing");
    }
}

// The table button stands on the Analysis page only; clicking it writes the
// performance table into the documents folder.
TEST_F(MainWindowTest, TheTableButtonWritesThePerformanceTable)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", t.path("home").toUtf8());
    auto w = open("race01.txt");
    auto *table = child<QPushButton>(*w, "btnExcell");
    EXPECT_FALSE(table->isVisibleTo(w.get()));
    child<QRadioButton>(*w, "RadioButton3")->click();
    EXPECT_TRUE(table->isVisibleTo(w.get()));
    table->click();
    QFile written(t.path("home/Documents/race01.csv"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("Time by each leg (Sec)"));
    // Where it went is said, whether or not a program could show it.
    auto *notice = child<QLabel>(*w, "notice");
    EXPECT_TRUE(notice->isVisibleTo(w.get()));
    EXPECT_TRUE(notice->text().contains(written.fileName())) << notice->text().toStdString();
    child<QRadioButton>(*w, "RadioButton1")->click();
    EXPECT_FALSE(table->isVisibleTo(w.get()));
    qputenv("HOME", home);
}

// With boats out of focus the KML button asks whether to hide them without
// holding the replay up, and writes the race named after it once answered.
TEST_F(MainWindowTest, TheKmlQuestionLetsTheReplayGoOn)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", t.path("home").toUtf8());
    auto w = open("race01.txt");
    click(child<QCheckBox>(*w, "boatBox2"), Qt::RightButton);  // Bravo alone in focus
    auto *kml = child<QPushButton>(*w, "Button3");
    click(kml);
    auto *question = w->findChild<QMessageBox *>("hideUnfocusedQuestion");
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(QFile::exists(t.path("home/Documents/race01.kml")));
    w->play(+1);
    const double before = w->playback().clock().raceClock;
    QEventLoop playing;
    QTimer::singleShot(300, &playing, &QEventLoop::quit);
    playing.exec();
    EXPECT_GT(w->playback().clock().raceClock, before);
    question->button(QMessageBox::Yes)->click();
    QFile written(t.path("home/Documents/race01.kml"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    EXPECT_TRUE(text.contains("Bravo"));
    EXPECT_FALSE(text.contains("Alpha"));  // hidden, not drawn thin
    qputenv("HOME", home);
}

// An attachment that is a launcher or a script is not handed to the
// desktop, and the user is told why; a document that no program opens is
// said too.
TEST_F(MainWindowTest, AttachmentsAreOpenedOnlyAsDocuments)
{
    t.write("attachment/notice.desktop", "[Desktop Entry]\nType=Application\nExec=touch opened\n");
    t.write("attachment/notice.txt", "Notice of race\n");
    t.write("raceadmin/race01.txt", "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\n"
                                    "AT,notice.desktop\r\nAT,notice.txt\r\nBN,b1.gpx,Alpha\r\n");
    auto w = open("race01.txt");
    ASSERT_EQ(w->race().attachments, QStringList({"notice.desktop", "notice.txt"}));
    const auto choose = [&](int row) {
        child<QPushButton>(*w, "Button2")->click();
        auto *list = child<QListWidget>(*w, "ListBox1");
        list->setCurrentRow(row);
        emit list->itemClicked(list->currentItem());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the previous box goes
        auto *box = w->findChild<QMessageBox *>("problems");
        return box ? box->text() : QString();
    };
    EXPECT_TRUE(choose(0).contains("notice.desktop is not opened")) << choose(0).toStdString();
    EXPECT_FALSE(QFile::exists(t.path("opened")));
    // The platform these tests run on opens nothing.
    EXPECT_TRUE(choose(1).contains("No program on this computer opens")) << choose(1).toStdString();
}

// The stopped map is drawn again when the window changes size, and leaving
// the time bar puts the clock's own time back in the date-time box.
TEST_F(MainWindowTest, TheStoppedMapFollowsTheWindowAndTheTimeBarHover)
{
    auto w = open("race01.txt");
    child<QCheckBox>(*w, "CheckBox1")->click();
    w->resize(1100, 900);
    QResizeEvent resized(QSize(1100, 900), QSize(1280, 1020));
    QApplication::sendEvent(w.get(), &resized);
    const QImage &map = w->mapBitmap();
    const QColor sea = map.pixelColor(map.width() - 2, 1);
    int drawn = 0;
    for (int y = 0; y < map.height(); y += 4)
        for (int x = 0; x < map.width(); x += 4)
            drawn += map.pixelColor(x, y) != sea ? 1 : 0;
    EXPECT_GT(drawn, 50);  // tracks, marks and boats, not the bare sea

    auto *bar = child<QWidget>(*w, "pnlTimeBar");
    const QString clock = dateTimeText(addSeconds(w->race().startTime, qRound(w->playback().clock().raceClock)));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 100), bar->mapToGlobal(QPointF(20, 100)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    const QString hovered = child<QLabel>(*w, "Memo1")->text();
    EXPECT_NE(hovered, clock);
    w->play(+1);  // the replay's ticks leave the hovered time alone
    QEventLoop ticking;
    QTimer::singleShot(300, &ticking, &QEventLoop::quit);
    ticking.exec();
    EXPECT_EQ(child<QLabel>(*w, "Memo1")->text(), hovered);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);
    EXPECT_EQ(child<QLabel>(*w, "Memo1")->text(),
              dateTimeText(addSeconds(w->race().startTime, qRound(w->playback().clock().raceClock))));
}

// A race that failed to load can be shown again once its file is mended.
TEST_F(MainWindowTest, AFailedRaceCanBeShownAgain)
{
    t.write("raceadmin/race04.txt", "ST,2009/05/03 11:00:00\r\nBN,b1.gpx,Alpha\r\nPS,fast\r\n");
    auto w = open("race04.txt");
    ASSERT_EQ(w->race().boatCount, 0);
    t.write("raceadmin/race04.txt", "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\nBN,b1.gpx,Alpha\r\n");
    child<QComboBox>(*w, "ComboBox1")->setCurrentIndex(3);
    child<QPushButton>(*w, "Button4")->click();
    EXPECT_TRUE(w->isLoading());
    waitForLoad(*w);
    EXPECT_EQ(w->race().boatCount, 1);
}

// From the gun the running board shows the fleet in its order on the water;
// past the first finishes the finishers head it; before the gun it is gone.
TEST_F(MainWindowTest, TheRunningBoardShowsTheFleetFromTheGun)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    waitForLoad(w);
    ASSERT_GT(w.race().boatCount, 0);
    const int finish = w.race().courseLength();
    w.jumpTo(-30);
    auto *board = child<QLabel>(w, "pnlScore");
    EXPECT_FALSE(board->isVisibleTo(&w));  // before the gun
    w.jumpTo(600);
    ASSERT_TRUE(board->isVisibleTo(&w));
    const int fleet = board->height();  // the fleet on the water
    EXPECT_GE(fleet, 2 * 15 + 6);

    w.jumpTo(w.race().results.firstPassTime[finish] + 120);
    w.play(+1);
    QEventLoop run;
    QTimer::singleShot(600, &run, &QEventLoop::quit);
    run.exec();
    EXPECT_TRUE(board->isVisibleTo(&w));
    const int finished = w.playback().clock().finishedCount;
    EXPECT_GT(finished, 0);
    // The finishers head it, the boats still racing below (a boat whose log
    // has ended is off the water and off the board).
    EXPECT_GT(board->height(), finished * 15 + 6);
    EXPECT_LE(board->height(), fleet);
}

// A picture of the window at a time after the last finish shows every
// finisher on both boards, without the replay having played there.
TEST_F(MainWindowTest, TheBoardsStandAsAtTheClock)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("hayama-autumn.txt"));
    w.resize(1280, 1024);
    w.show();
    waitForLoad(w);
    ASSERT_EQ(w.race().boatCount, 20);
    w.holdForPicture(false);
    w.jumpTo(w.race().results.lastFinishTime + 30);
    w.showFinishesSoFar();
    EXPECT_EQ(child<QLabel>(w, "pnlScore")->height(), 20 * 15 + 6);
    auto *classBoard = child<QLabel>(w, "pnlScore2");
    EXPECT_TRUE(classBoard->isVisibleTo(&w));
    EXPECT_EQ(classBoard->height(), 10 * 15 + 24);  // ten boats in each class
}

// At the end of a replay in small-screen mode every finisher covers the
// map and the replay stops; the next load takes the ranking away.
TEST_F(MainWindowTest, SmallScreenEndsWithTheFinalRanking)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    waitForLoad(w);
    child<QCheckBox>(w, "CheckBox4")->click();
    w.endOfReplay();
    auto *ranking = child<QLabel>(w, "Image6");
    EXPECT_TRUE(ranking->isVisibleTo(&w));
    EXPECT_EQ(ranking->size(), w.mapSize());
    EXPECT_FALSE(w.playback().isPlaying());
    w.loadRace(w.catalogue().raceFilePath);
    EXPECT_FALSE(ranking->isVisibleTo(&w));
    waitForLoad(w);
}

// The pages take the map area and the controls only the map uses; the
// hover marks drawn over a page go when the pointer leaves the list.
TEST_F(MainWindowTest, PagesAndTheirHoverMarks)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    waitForLoad(w);
    auto *canvas = child<MapCanvas>(w, "mapCanvas");
    auto *table = child<QPushButton>(w, "btnExcell");
    auto *box = child<QCheckBox>(w, "boatBox1");

    w.showPage(Page::Graph);
    EXPECT_EQ(w.currentPage(), Page::Graph);
    EXPECT_FALSE(child<QComboBox>(w, "ComboBox1")->isEnabled());
    EXPECT_FALSE(w.drawFrame());  // the replay does not draw over the page
    const QImage graph = canvas->grab().toImage();
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(box, &enter);
    EXPECT_NE(canvas->grab().toImage(), graph);  // boat 1's curves drawn thick
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(child<QWidget>(w, "pnlBOATlist"), &leave);
    EXPECT_EQ(canvas->grab().toImage(), graph);

    w.showPage(Page::Analysis);
    EXPECT_TRUE(table->isVisibleTo(&w));
    const QImage analysis = canvas->grab().toImage();
    EXPECT_NE(analysis, graph);
    click(box, Qt::RightButton);  // boat 1 alone: the others' dots go hollow
    EXPECT_NE(canvas->grab().toImage(), analysis);

    w.showPage(Page::Track);
    EXPECT_TRUE(child<QComboBox>(w, "ComboBox1")->isEnabled());
    EXPECT_FALSE(table->isVisibleTo(&w));
    EXPECT_TRUE(w.drawFrame());
}

// Over an analysis page a tab for each; the control panel's analysis
// choice comes back to the one last shown; the table button stands over
// the time-and-distance page only.
TEST_F(MainWindowTest, TabsChooseAmongTheAnalysisPages)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    waitForLoad(w);
    auto *tabs = child<QWidget>(w, "pageTabs");
    EXPECT_FALSE(tabs->isVisibleTo(&w));
    child<QRadioButton>(w, "RadioButton3")->click();
    EXPECT_EQ(w.currentPage(), Page::Analysis);
    ASSERT_TRUE(tabs->isVisibleTo(&w));
    EXPECT_TRUE(child<QPushButton>(w, "btnExcell")->isVisibleTo(&w));
    auto *gaps = child<QPushButton>(w, "pageTab5");
    EXPECT_EQ(gaps->text(), "Gaps");
    EXPECT_GE(gaps->width(), gaps->fontMetrics().horizontalAdvance(gaps->text()) + 4);
    gaps->click();
    EXPECT_EQ(w.currentPage(), Page::Gaps);
    EXPECT_TRUE(gaps->isChecked());
    EXPECT_FALSE(child<QPushButton>(w, "btnExcell")->isVisibleTo(&w));
    child<QRadioButton>(w, "RadioButton2")->click();
    EXPECT_FALSE(tabs->isVisibleTo(&w));
    child<QRadioButton>(w, "RadioButton3")->click();
    EXPECT_EQ(w.currentPage(), Page::Gaps);
    w.setLanguage(Language::Japanese);
    EXPECT_EQ(gaps->text(), QStringLiteral(u"先頭との差"));
}

// The Polars page shows the fixes of the boat highlighted with Shift +
// click in the boat list, and without one those of the first ticked boat.
TEST_F(MainWindowTest, ThePolarsPageShowsTheHighlightedBoat)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    w.show();
    waitForLoad(w);
    child<QRadioButton>(w, "RadioButton3")->click();
    child<QPushButton>(w, "pageTab7")->click();  // Polars
    ASSERT_EQ(w.currentPage(), Page::Polars);
    auto *canvas = child<MapCanvas>(w, "mapCanvas");
    const auto dotsOf = [&](int boat) { return countColour(canvas->grab().toImage(), toQColor(w.race().boats[boat].colour)); };
    EXPECT_GT(dotsOf(1), 100);
    EXPECT_EQ(dotsOf(3), 0);
    click(child<QCheckBox>(w, "boatBox3"), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_GT(dotsOf(3), 100);
    EXPECT_EQ(dotsOf(1), 0);
}

// In edit mode the organiser places a mark with Shift + click on the
// stopped map, sets the mean wind, draws wind records on the Graph page,
// and the race file is rewritten with them.
TEST_F(MainWindowTest, TheOrganiserEditsTheCourseAndTheWind)
{
    t.write("ctrl/editfile.edt", "race01.txt\r\n");
    auto w = open(QStringLiteral("race01.txt"));
    ASSERT_EQ(w->race().boatCount, 2);
    auto *courseEdit = child<QWidget>(*w, "pnlEDIT1");
    EXPECT_FALSE(courseEdit->isVisibleTo(w.get()));
    child<QCheckBox>(*w, "CheckBox1")->click();  // Auto Trace off: the course diagram
    EXPECT_TRUE(courseEdit->isVisibleTo(w.get()));

    child<QRadioButton>(*w, "optMK")->click();
    auto *canvas = child<MapCanvas>(*w, "mapCanvas");
    click(canvas, Qt::LeftButton, Qt::ShiftModifier);  // at (2, 2)
    EXPECT_EQ(w->race().markCount, 1);
    EXPECT_EQ(child<QLineEdit>(*w, "Edit1")->text(), "MK1  ");

    child<QSpinBox>(*w, "Edit4")->setValue(350);
    child<QPushButton>(*w, "Button8")->click();
    QFile race(t.path("raceadmin/race01.txt"));
    ASSERT_TRUE(race.open(QIODevice::ReadOnly));
    const QByteArray text = race.readAll();
    race.close();
    EXPECT_TRUE(text.startsWith("ST,2009/05/03 11:00:00\r\nFT,"));  // the rest kept as it was
    EXPECT_TRUE(text.contains("\r\nMK,"));
    EXPECT_TRUE(text.endsWith("WD, 350\r\n"));

    w->showPage(Page::Graph);
    auto *windEdit = child<QWidget>(*w, "pnlEDIT2");
    EXPECT_TRUE(windEdit->isVisibleTo(w.get()));
    child<QCheckBox>(*w, "CheckBox5")->click();
    for (int y : {500, 300}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, y), canvas->mapToGlobal(QPointF(100, y)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
    }
    EXPECT_EQ(w->race().windSampleCount(), 2);
    child<QPushButton>(*w, "Button9")->click();
    EXPECT_TRUE(QFile::exists(t.path("winddat/race01_wind.csv")));
    ASSERT_TRUE(race.open(QIODevice::ReadOnly));
    EXPECT_TRUE(race.readAll().contains("\r\nWF,race01_wind.csv\r\n"));
}

// Two boats' start timers agree on a gun 3 s after the race file's and on
// the pinged line: the organiser takes them, and the race file is
// rewritten and the race loaded again on the loggers' clock.
TEST_F(MainWindowTest, TheOrganiserTakesTheStartTheLoggersRecorded)
{
    const auto at = [](double seconds) { return static_cast<std::uint64_t>(test::kGunUnix * 1000 + std::llround(seconds * 1000)); };
    for (const char *file : {"gpsdat/a1.vkx", "gpsdat/a2.vkx"}) {
        std::string log = test::kVkxHeader + test::vkxPing(at(-200), 0, 35.5f, 139.25f) + test::vkxPing(at(-190), 1, 35.5f, 139.26f) +
                          test::vkxTimer(at(3), 3);
        for (int k = 0; k < 60; ++k)
            log += test::vkxPosition(at(-30 + k), 355000000 - 1000 * k, 1392550000);
        t.write(file, QByteArray::fromStdString(log));
    }
    t.write("raceadmin/race01.txt", "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\nBN,a1.vkx,Alpha\r\nBN,a2.vkx,Bravo\r\n");
    t.write("ctrl/editfile.edt", "race01.txt\r\n");
    auto w = open(QStringLiteral("race01.txt"));
    ASSERT_EQ(w->race().boatCount, 2);
    ASSERT_EQ(w->race().boats[1].loggedStart.timerGun, 3);
    child<QCheckBox>(*w, "CheckBox1")->click();  // Auto Trace off: the course diagram and the edit panel
    EXPECT_TRUE(child<QLabel>(*w, "lblLoggedStart")->text().contains("(+3 s, 2 boats); line pinged by 2 boats"));

    child<QPushButton>(*w, "btnLoggedStart")->click();
    auto *question = w->findChild<QMessageBox *>(QStringLiteral("loggedStartQuestion"));
    ASSERT_NE(question, nullptr);
    question->button(QMessageBox::Yes)->click();
    waitForLoad(*w);
    QFile race(t.path("raceadmin/race01.txt"));
    ASSERT_TRUE(race.open(QIODevice::ReadOnly));
    const QByteArray text = race.readAll();
    EXPECT_TRUE(text.startsWith("ST,2009/05/03 11:00:03\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\r\nLN,2130,8355,2130,8355.5996")) << text.toStdString();  // pinged in float degrees
    EXPECT_TRUE(text.contains("\r\nCRS,L1\r\n")) << text.toStdString();
    EXPECT_EQ(w->race().boats[1].loggedStart.timerGun, 0);  // the gun is now the timers'
}

// EXIT with edits not yet written asks, with a Cancel; written, the race
// file as it was is kept beside it as a backup.
TEST_F(MainWindowTest, ExitAsksBeforeWritingAndKeepsABackup)
{
    auto w = openWithUnwrittenMark();
    child<QPushButton>(*w, "Button1")->click();  // EXIT
    answerRewrite(*w, QMessageBox::Cancel);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(QFile::exists(t.path("raceadmin/race01.txt.bak")));

    child<QPushButton>(*w, "Button1")->click();
    answerRewrite(*w, QMessageBox::Yes);
    EXPECT_FALSE(w->isVisible());
    QFile backup(t.path("raceadmin/race01.txt.bak")), race(t.path("raceadmin/race01.txt"));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly) && race.open(QIODevice::ReadOnly));
    EXPECT_FALSE(backup.readAll().contains("\r\nMK,"));
    EXPECT_TRUE(race.readAll().contains("\r\nMK,"));
}

// Another race, or the same in the other time mode, is shown only once the
// edits not yet written are written or given up.
TEST_F(MainWindowTest, ShowingAnotherRaceAsksAboutUnwrittenEdits)
{
    auto w = openWithUnwrittenMark();
    child<QComboBox>(*w, "ComboBox1")->setCurrentIndex(1);
    child<QPushButton>(*w, "Button4")->click();
    answerRewrite(*w, QMessageBox::Cancel);
    EXPECT_FALSE(w->isLoading());
    EXPECT_TRUE(w->race().raceFilePath.endsWith("race01.txt"));
    EXPECT_EQ(w->race().markCount, 1);

    w->openFolder(t.path(""), QStringLiteral("race02.txt"));
    answerRewrite(*w, QMessageBox::Yes);
    waitForLoad(*w);
    EXPECT_TRUE(w->race().raceFilePath.endsWith("race02.txt"));
    QFile race(t.path("raceadmin/race01.txt"));
    ASSERT_TRUE(race.open(QIODevice::ReadOnly));
    EXPECT_TRUE(race.readAll().contains("\r\nMK,"));
}

// A second start with another data folder and race: the running window
// shows them, its race list the new folder's.
TEST_F(MainWindowTest, ASecondStartsFolderAndRaceAreShown)
{
    auto w = open(QStringLiteral("race02.txt"));
    test::TestFolder other;
    other.write("raceadmin/evening.txt", "ST,2009/05/03 11:00:00\r\nTD,9\r\nBN,a.gpx,Alpha\r\n");
    other.write("raceadmin/morning.txt", "ST,2009/05/03 11:00:00\r\nTD,9\r\nBN,a.gpx,Alpha\r\n");
    other.write("gpsdat/a.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    w->openFolder(other.path(""), QStringLiteral("morning.txt"));
    waitForLoad(*w);
    EXPECT_EQ(w->catalogue().raceList, QStringList({"evening.txt", "morning.txt"}));
    EXPECT_EQ(w->catalogue().raceListIndex, 2);
    EXPECT_EQ(QFileInfo(w->race().raceFilePath).absoluteFilePath(), other.path("raceadmin/morning.txt"));
    EXPECT_EQ(child<QComboBox>(*w, "ComboBox1")->currentText(), QStringLiteral("morning.txt"));
}

// A rewrite that fails keeps the window open and the edits, says why, and
// lets the organiser close without saving.
TEST_F(MainWindowTest, AFailedRewriteKeepsTheWindowOpen)
{
    auto w = openWithUnwrittenMark();
    ASSERT_TRUE(QFile::remove(t.path("raceadmin/race01.txt")));
    ASSERT_TRUE(QDir().mkdir(t.path("raceadmin/race01.txt")));  // a file that cannot be read or replaced

    w->close();
    answerRewrite(*w, QMessageBox::Yes);
    EXPECT_TRUE(w->isVisible());
    auto *failed = w->findChild<QMessageBox *>(QStringLiteral("rewriteFailed"));
    ASSERT_NE(failed, nullptr);
    EXPECT_TRUE(failed->text().contains(QStringLiteral("race01.txt"))) << failed->text().toStdString();
    for (QAbstractButton *button : failed->buttons()) {
        if (button->text() == QStringLiteral("Close Without Saving"))
            button->click();
    }
    QApplication::processEvents();
    EXPECT_FALSE(w->isVisible());
}

// A wind file made elsewhere is replaced only after a yes, and kept beside
// it; one this session wrote is rewritten without asking.
TEST_F(MainWindowTest, SavingWindDataAsksBeforeReplacingARecording)
{
    const QByteArray recorded = "DATE TIME, TWS,TWD\r\n2009/05/03 11:00:00,12.5,270\r\n";
    t.write("winddat/race01_wind.csv", recorded);
    t.write("ctrl/editfile.edt", "race01.txt\r\n");
    auto w = open(QStringLiteral("race01.txt"));
    w->showPage(Page::Graph);
    child<QCheckBox>(*w, "CheckBox5")->click();
    auto *canvas = child<MapCanvas>(*w, "mapCanvas");
    for (int y : {500, 300}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, y), canvas->mapToGlobal(QPointF(100, y)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
    }
    const auto readWind = [&](const char *name) {
        QFile f(t.path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const auto save = [&](std::optional<QMessageBox::StandardButton> answer) {
        child<QPushButton>(*w, "Button9")->click();
        auto *question = w->findChild<QMessageBox *>(QStringLiteral("replaceWindQuestion"));
        EXPECT_EQ(question != nullptr, answer.has_value());
        if (question && answer)
            question->button(*answer)->click();
        QApplication::processEvents();
    };
    save(QMessageBox::No);
    EXPECT_EQ(readWind("winddat/race01_wind.csv"), recorded);
    save(QMessageBox::Yes);
    EXPECT_NE(readWind("winddat/race01_wind.csv"), recorded);
    EXPECT_EQ(readWind("winddat/race01_wind.csv.bak"), recorded);
    save(std::nullopt);  // this session's own now
}

// Ctrl+E writes the replay as a video while the replay goes on.
TEST_F(MainWindowTest, TheWindowWritesAVideoWhileTheReplayGoesOn)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    waitForLoad(w);
    w.play(+1);
    const double before = w.playback().clock().raceClock;
    const QString video = t.path("replay.mp4");
    QEventLoop written;
    QString outcome = QStringLiteral("not finished");
    QObject::connect(w.startVideo(video, 600, 660, 30), &VideoExport::finished, &written, [&](const QString &e) {
        outcome = e;
        written.quit();
    });
    written.exec();
    EXPECT_EQ(outcome, "");
    VideoFacts facts;
    QString error;
    ASSERT_TRUE(readVideoFacts(video, facts, error)) << error.toStdString();
    EXPECT_EQ(facts.size, QSize(1280, 720));
    EXPECT_NEAR(facts.frames, 61, 1);
    EXPECT_GT(w.playback().clock().raceClock, before);  // the replay played meanwhile
    EXPECT_TRUE(w.playback().isPlaying());
}

// The boat list's clicks change what the map draws: a right click leaves
// one boat, Shift highlights without touching the ticks, the header brings
// every boat back.
TEST_F(MainWindowTest, TheBoatListFocusesBoats)
{
    auto w = open(QStringLiteral("race01.txt"));
    ASSERT_EQ(w->race().boatCount, 2);
    auto *alpha = child<QCheckBox>(*w, "boatBox1");
    auto *bravo = child<QCheckBox>(*w, "boatBox2");
    w->jumpTo(w->race().boats[1].samples[5].time);  // both boats under way

    click(bravo, Qt::RightButton);
    EXPECT_FALSE(alpha->isChecked());
    EXPECT_TRUE(bravo->isChecked());
    w->drawFrame();
    EXPECT_FALSE(w->playback().frame().boats[1].shown);
    EXPECT_TRUE(w->playback().frame().boats[2].shown);

    click(alpha, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_FALSE(alpha->isChecked());

    click(alpha);
    EXPECT_TRUE(alpha->isChecked());
    click(alpha);
    click(bravo);  // none left ticked: the next frame ticks them all again
    w->drawFrame();
    EXPECT_TRUE(alpha->isChecked() && bravo->isChecked());

    click(bravo, Qt::RightButton);
    click(child<QLabel>(*w, "Label1"));
    EXPECT_TRUE(alpha->isChecked() && bravo->isChecked());
}

// The coach's keys: ten seconds on or back, a minute with Shift, the race
// window's ends, the replay's speed.
TEST_F(MainWindowTest, TheKeysStepThroughTheRace)
{
    auto w = open("race01.txt");
    w->stopPlayback();
    const auto press = [&](QKeySequence keys) {
        for (QShortcut *shortcut : w->findChildren<QShortcut *>()) {
            if (shortcut->key() == keys)
                emit shortcut->activated();
        }
    };
    w->jumpTo(100);
    press(QKeySequence(Qt::Key_Right));
    EXPECT_DOUBLE_EQ(w->playback().clock().raceClock, 110);
    press(QKeySequence(Qt::SHIFT | Qt::Key_Left));
    EXPECT_DOUBLE_EQ(w->playback().clock().raceClock, 50);
    press(QKeySequence(Qt::Key_End));
    EXPECT_DOUBLE_EQ(w->playback().clock().raceClock, w->race().windowEnd);
    press(QKeySequence(Qt::Key_Right));
    EXPECT_DOUBLE_EQ(w->playback().clock().raceClock, w->race().windowEnd);  // no further than the window
    press(QKeySequence(Qt::Key_Home));
    EXPECT_DOUBLE_EQ(w->playback().clock().raceClock, w->race().windowStart);
    auto *speed = child<QScrollBar>(*w, "ScrollBar1");
    const int before = speed->value();
    press(QKeySequence(Qt::Key_Plus));
    EXPECT_GT(speed->value(), before);
    press(QKeySequence(Qt::Key_Minus));
    EXPECT_EQ(speed->value(), before);
}

// The wheel zooms the playing map, a double click on a boat follows it and
// one on open water frames the fleet again.
TEST_F(MainWindowTest, TheWheelAndADoubleClickLeadTheMap)
{
    auto w = open("race01.txt");
    w->stopPlayback();
    w->jumpTo(60);
    auto *map = child<MapCanvas>(*w, "mapCanvas");
    const double fitted = w->playback().frame().view.latScale;
    const QPointF at(200, 200);
    QWheelEvent wheel(at, map->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(map, &wheel);
    EXPECT_DOUBLE_EQ(w->playback().frame().view.latScale, fitted * 1.25);
    // The zoom slider follows the wheel, and moved, sets the scale.
    auto *zoom = child<QScrollBar>(*w, "ScrollBar2");
    EXPECT_EQ(zoom->value(), 100);  // nearer than the fleet's fit: the right end
    QWheelEvent out(at, map->mapToGlobal(at), QPoint(), QPoint(0, -360), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(map, &out);
    EXPECT_EQ(zoom->value(), 84);  // 1.25 / 1.25^3 of the fit: 1.5625 times the area across
    zoom->setValue(0);
    EXPECT_DOUBLE_EQ(w->playback().frame().view.latScale, fitted / 10);
    zoom->setValue(100);
    EXPECT_DOUBLE_EQ(w->playback().frame().view.latScale, fitted);
    QApplication::sendEvent(map, &wheel);
    EXPECT_DOUBLE_EQ(w->playback().frame().view.latScale, fitted * 1.25);

    const auto doubleClick = [&](QPointF where) {
        QMouseEvent event(QEvent::MouseButtonDblClick, where, map->mapToGlobal(where), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(map, &event);
    };
    const BoatInFrame &bravo = w->playback().frame().boats[2];
    doubleClick(QPointF(projectPoint(bravo.lat, bravo.lon, w->playback().frame().view)));
    w->jumpTo(120);
    const BoatInFrame &later = w->playback().frame().boats[2];
    const QPoint centre(w->mapSize().width() / 2, w->mapSize().height() / 2);
    EXPECT_LE((projectPoint(later.lat, later.lon, w->playback().frame().view) - centre).manhattanLength(), 1);

    doubleClick(QPointF(5, w->mapSize().height() - 5));
    EXPECT_DOUBLE_EQ(w->playback().frame().view.latScale, fitted);
}

// Ctrl + click in the boat list watches a boat and Shift + click highlights
// one: their live numbers show at the map's foot, the highlighted boat's
// first; a double click on a boat's row makes the map follow it.
TEST_F(MainWindowTest, WatchedBoatsShowTheirLiveNumbersAndTheListLeadsTheMap)
{
    MainWindow w(DataFolder(QStringLiteral(KEELRUN_DEMO_DATA)), QStringLiteral("solent-evening.txt"));
    w.resize(1280, 1020);
    w.show();
    waitForLoad(w);
    w.stopPlayback();
    w.jumpTo(600);
    auto *panel = child<QLabel>(w, "livePanel");
    EXPECT_FALSE(panel->isVisibleTo(&w));
    auto *second = child<QCheckBox>(w, "boatBox2");
    click(second, Qt::LeftButton, Qt::ControlModifier);
    ASSERT_TRUE(panel->isVisibleTo(&w));
    EXPECT_TRUE(second->styleSheet().contains("dashed"));
    EXPECT_EQ(panel->height(), 2 * 15 + 2);  // the heads and one boat
    click(child<QCheckBox>(w, "boatBox3"), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(panel->height(), 3 * 15 + 2);
    EXPECT_EQ(panel->x(), 5);
    EXPECT_LT(panel->geometry().bottom(), w.mapSize().height() - 20);  // above the scale bar
    w.showPage(Page::Graph);
    EXPECT_FALSE(panel->isVisibleTo(&w));
    w.showPage(Page::Track);
    EXPECT_TRUE(panel->isVisibleTo(&w));

    w.stopPlayback();
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), second->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(second, &doubleClick);
    w.jumpTo(900);
    const BoatInFrame &followed = w.playback().frame().boats[2];
    const QPoint centre(w.mapSize().width() / 2, w.mapSize().height() / 2);
    EXPECT_LE((projectPoint(followed.lat, followed.lon, w.playback().frame().view) - centre).manhattanLength(), 1);
}

// ---- Every text readable -------------------------------------------------

// Tips take the size of their text, in both languages, inside the window.
TEST_F(MainWindowTest, EveryTipFitsItsText)
{
    auto w = open("race01.txt", {1280, 800});
    auto *tip = child<QLabel>(*w, "hintbox");
    for (const Language language : {Language::EnglishChosen, Language::Japanese}) {
        w->setLanguage(language);
        for (const char *control : {"chkAutoNext", "Button4", "Button3", "CheckBox4", "ChkBigBoat", "ChkRefLine", "ChkSpeedColour",
                                    "RadioButton2", "RadioButton3"}) {
            QWidget *hovered = child<QWidget>(*w, control);
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(hovered, &enter);
            ASSERT_TRUE(tip->isVisibleTo(w.get())) << control;
            EXPECT_TRUE(textFits(tip)) << control;
            EXPECT_TRUE(w->rect().contains(tip->geometry())) << control;
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(hovered, &leave);
        }
    }
    // On the playing map a tip says what the pointer's place does.
    w->setLanguage(Language::EnglishChosen);
    auto *map = child<MapCanvas>(*w, "mapCanvas");
    child<QCheckBox>(*w, "CheckBox2")->setChecked(false);  // no names unless the pointer asks for them
    for (const auto &[x, said] : {std::pair{0.1, "names, speeds, two"}, std::pair{0.6, "names (move left"}, std::pair{0.9, "No labels"}}) {
        const QPointF at(x * w->mapSize().width(), w->mapSize().height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(map, &move);
        ASSERT_TRUE(tip->isVisibleTo(w.get())) << x;
        EXPECT_TRUE(tip->text().contains(QLatin1String(said))) << tip->text().toStdString();
        EXPECT_TRUE(textFits(tip));
    }
}

// A name fits its row in the boat list, in a colour that reads on the
// boat's: black on yellow, white on blue; the boat highlighted with Shift
// is ringed; a class name is whole.
TEST_F(MainWindowTest, TheBoatListReadsOnEveryColour)
{
    QByteArray text = "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\nCLSSEP\r\nCLSN,Dinghy 22 open handicap\r\n";
    for (int b = 1; b <= 15; ++b)
        text += QStringLiteral("BN,b1.gpx,Boat number %1 with a long name\r\n").arg(b).toUtf8();
    t.write("raceadmin/race01.txt", text);
    auto w = open("race01.txt", {1280, 800});
    ASSERT_EQ(w->race().boatCount, 15);
    for (int b = 1; b <= 15; ++b) {
        auto *box = child<QCheckBox>(*w, QStringLiteral("boatBox%1").arg(b).toLatin1().constData());
        const QFontMetrics metrics(box->font());
        EXPECT_LE(metrics.height(), box->height()) << b;
        EXPECT_LE(metrics.horizontalAdvance(box->text()), box->width() - 16) << b;
        const QColor colour = toQColor(w->race().boats[b].colour);
        EXPECT_TRUE(box->styleSheet().contains("color: " + textColourOn(colour).name())) << b;
    }
    EXPECT_EQ(textColourOn(QColor(255, 255, 0)), QColor(Qt::black));
    EXPECT_EQ(textColourOn(QColor(0, 0, 255)), QColor(Qt::white));
    auto *classBox = child<QCheckBox>(*w, "classBox1");
    EXPECT_EQ(classBox->text(), "Dinghy 22 open handicap class");
    EXPECT_LE(classBox->geometry().right(), child<QWidget>(*w, "pnlBOATlist")->width());

    click(child<QCheckBox>(*w, "boatBox3"), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(child<QCheckBox>(*w, "boatBox3")->styleSheet().contains("2px solid red"));
    EXPECT_FALSE(child<QCheckBox>(*w, "boatBox4")->styleSheet().contains("2px solid red"));
}

// In small-screen mode the title is whole and the size choices do not run
// into each other.
TEST_F(MainWindowTest, TheSmallScreenBarKeepsItsTextsWhole)
{
    auto w = open();
    child<QCheckBox>(*w, "CheckBox4")->click();
    EXPECT_TRUE(textFits(child<QLabel>(*w, "Memo11")));
    const QWidget *bar = child<QWidget>(*w, "pnlUsize");
    const QList<QWidget *> controls = bar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *a : controls) {
        EXPECT_GE(a->width(), a->sizeHint().width()) << a->objectName().toStdString();
        for (const QWidget *b : controls)
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry())) << a->objectName().toStdString() << " " << b->objectName().toStdString();
    }
}

// In corrected time the banner stands whole right of the compass, and the
// ET/CT choice keeps clear of the race clock at the map's foot.
TEST_F(MainWindowTest, TheCtBannerAndTheClockKeepClear)
{
    auto w = open();
    w->show();
    child<QRadioButton>(*w, "RadioButton11")->click();
    waitForLoad(*w);
    w->holdForPicture(false);
    auto *banner = child<QLabel>(*w, "Memo10");
    ASSERT_TRUE(banner->isVisible());
    EXPECT_GE(banner->x(), kCompassRight);
    EXPECT_TRUE(textFits(banner));
    auto *choice = child<QWidget>(*w, "pnlCT");
    EXPECT_LE(choice->geometry().right(), w->mapSize().width() - raceClockReach());
}

// A lock that cannot be taken for another reason than a running Keelrun:
// the program runs without the guard and says why.
TEST(SingleInstance, ALockThatCannotBeTakenLeavesTheProgramUnguarded)
{
    test::TestFolder t;
    const QString notAFolder = t.write("runtime", "a file where the folder should be");
    SingleInstance instance(QStringLiteral("keelrun"), notAFolder);
    EXPECT_EQ(instance.claim(), SingleInstance::Unguarded);
    EXPECT_TRUE(instance.problem().contains("keelrun.lock")) << instance.problem().toStdString();
}

// The running program gets what a second start asked for, word for word.
TEST(SingleInstance, ASecondStartHandsItsRequestToTheFirst)
{
    test::TestFolder t;
    SingleInstance first(QStringLiteral("keelrun"), t.path("")), second(QStringLiteral("keelrun"), t.path(""));
    ASSERT_EQ(first.claim(), SingleInstance::Claimed);
    QStringList received{QStringLiteral("nothing yet")};
    QObject::connect(&first, &SingleInstance::requested, [&](const QStringList &request) { received = request; });
    const QStringList request{QStringLiteral("/races/ホームページ\n2"), QStringLiteral("evening.txt")};
    EXPECT_EQ(second.claim(request), SingleInstance::AnotherRuns);
    for (int waited = 0; waited < 5000 && received != request; waited += 10)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(received, request);
}

TEST(SingleInstance, ASecondStartRaisesTheFirstAndEnds)
{
    test::TestFolder t;
    t.write("raceadmin/race01.txt", "ST,2009/05/03 11:00:00\r\nTD,9\r\nBN,a.gpx,Alpha\r\n");
    t.write("gpsdat/a.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", t.path("runtime"));
    QDir().mkpath(t.path("runtime"));
    QFile::setPermissions(t.path("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcess first, second;
    for (QProcess *p : {&first, &second})
        p->setProcessEnvironment(env);
    first.start(KEELRUN_BINARY, {t.path("")});
    ASSERT_TRUE(first.waitForStarted());
    // Wait until the first has claimed its place, however slow the machine.
    const QString lock = t.path("runtime/keelrun.lock");
    for (int waited = 0; waited < 20000 && !QFile::exists(lock); waited += 100) {
        QEventLoop pause;
        QTimer::singleShot(100, &pause, &QEventLoop::quit);
        pause.exec();
    }
    ASSERT_TRUE(QFile::exists(lock));
    second.start(KEELRUN_BINARY, {t.path("")});
    EXPECT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

}  // namespace
}  // namespace keelrun

int main(int argc, char **argv)
{
    qputenv("LC_ALL", "C");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
