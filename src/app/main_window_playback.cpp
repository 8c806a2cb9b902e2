// The replay: the playback tick, the once-a-second housekeeping, the
// playback buttons, the guns and the stopwatch.

#include <cmath>

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

#include "app/main_window.h"
#include "app/map_canvas.h"
#include "app/pictures.h"
#include "app/splash_panel.h"
#include "map/geometry.h"
#include "map/painting.h"
#include "analysis/wind_graph.h"

namespace keelrun {
namespace {

QPixmap pixmapOf(PlaybackPicture kind, bool lit) { return QPixmap::fromImage(playbackPicture(kind, lit)); }

// Elapsed race time as hh:mm:ss; negative after playing back past the start.
QString stopwatchText(double seconds)
{
    const int s = qRound(std::abs(seconds));
    return QStringLiteral("%1%2:%3:%4")
        .arg(seconds < -0.5 ? QStringLiteral("-") : QString())
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

// The box of playback buttons: forward, stop and backward over each other,
// their lit versions in the same places, and the single steps beside them.
void MainWindow::buildPlaybackButtons()
{
    struct Button {
        QLabel **target;
        const char *name;
        PlaybackPicture picture;
        bool lit;
        QRect place;
    };
    const Button buttons[] = {
        {&up_f, "up_f", PlaybackPicture::Forward, false, {8, 17, 21, 16}},
        {&up_t, "up_t", PlaybackPicture::Forward, true, {8, 17, 21, 16}},
        {&stop_f, "stop_f", PlaybackPicture::Stop, false, {8, 36, 21, 16}},
        {&stop_t, "stop_t", PlaybackPicture::Stop, true, {8, 36, 21, 16}},
        {&dn_f, "dn_f", PlaybackPicture::Backward, false, {8, 55, 21, 16}},
        {&dn_t, "dn_t", PlaybackPicture::Backward, true, {8, 55, 21, 16}},
        {&plus, "plus", PlaybackPicture::StepForward, false, {35, 17, 21, 10}},
        {&minus, "minus", PlaybackPicture::StepBack, false, {35, 55, 21, 10}},
    };
    for (const Button &b : buttons) {
        *b.target = make<QLabel>(pnlDIR, b.name, b.place);
        (*b.target)->setPixmap(pixmapOf(b.picture, b.lit));
        (*b.target)->setCursor(Qt::PointingHandCursor);
        (*b.target)->installEventFilter(this);
    }
    blue_p = make<QLabel>(pnlFLAG, "blue_p", {4, 4, 60, 40});
    blue_p->setPixmap(QPixmap::fromImage(preparatoryFlag(QSize(60, 40))));
    blue_p->hide();

    // Without a loudspeaker the guns stay silent.
    if (!QMediaDevices::audioOutputs().isEmpty()) {
        gun_ = new QSoundEffect(this);
        gun_->setSource(QUrl(QStringLiteral("qrc:/sounds/gun.wav")));
    }
    Timer1.setInterval(kTickMs);
    Timer2.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &MainWindow::Timer2Timer);
    connect(CheckBox1, &QCheckBox::clicked, this, &MainWindow::CheckBox1Click);
    connect(btnStopWatch, &QPushButton::clicked, this, &MainWindow::btnStopWatchClick);
    connect(CheckBox2, &QCheckBox::clicked, this, [this](bool on) { labelLevel_ = on ? 1 : 0; });
    connect(ScrollBar2, &QScrollBar::valueChanged, this, [this](int position) {
        race_.zoomDivisor = zoomDivisorForSlider(position);
        if (!Timer1.isActive())
            drawFrame();
    });
    for (QRadioButton *orientation : {RadioN, RadioW}) {
        connect(orientation, &QRadioButton::clicked, this, [this] {
            rebuildCompass();
            if (!Timer1.isActive())
                drawFrame();
        });
    }
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int position) {
        clock_.playSpeed = playSpeedForSlider(position);
        Memo2->setText(QString::number(qRound(clock_.playSpeed)) + QStringLiteral("X"));
        Memo13->setText(QStringLiteral("Play SPD= %1x").arg(clock_.playSpeed));
    });
}

bool MainWindow::playbackPictureClicked(QObject *picture)
{
    if (picture == up_f || picture == up_t)
        play(+1);
    else if (picture == dn_f || picture == dn_t)
        play(-1);
    else if (picture == stop_f)
        stopPlayback();
    else if (picture == plus)
        step(+1);
    else if (picture == minus)
        step(-1);
    else
        return false;
    return true;
}

void MainWindow::resetDirectionLights(QLabel *lit)
{
    for (QLabel *light : {up_t, stop_t, dn_t})
        light->setVisible(light == lit);
}

// After a load the race waits at the start of its window; the second tick
// starts the playback once the splash has gone.
void MainWindow::startPlayback()
{
    Timer1.stop();
    clock_ = startClock(race_);
    frame_ = newFrameState(race_);
    labelLevel_ = CheckBox2->isChecked() ? 1 : 0;
    rebuildCompass();
    windGraph_ = race_.windFile.isEmpty() ? QImage() : drawWindGraph(race_);
    clock_.playSpeed = playSpeedForSlider(ScrollBar1->value());
    stopwatchState_ = 0;
    Memo8->hide();
    resetDirectionLights(up_t);
    Timer2.start();
}

void MainWindow::play(int direction)
{
    if (isLoading())
        return;
    CheckBox1->setChecked(true);
    resetDirectionLights(direction > 0 ? up_t : dn_t);
    clock_.playDirection = direction;
    Timer1.start();
    Timer2.start();
}

void MainWindow::stopPlayback()
{
    CheckBox1->setChecked(true);
    resetDirectionLights(stop_t);
    Timer1.stop();
    Timer2.stop();
}

void MainWindow::step(int direction)
{
    if (isLoading())
        return;
    resetDirectionLights(stop_t);
    Timer1.stop();
    Timer2.stop();
    singleStep(clock_, race_, direction);
    drawFrame();
    showClockTime();
}

void MainWindow::CheckBox1Click(bool checked)
{
    QApplication::beep();
    if (checked) {
        play(+1);
        return;
    }
    resetDirectionLights(stop_t);
    Timer1.stop();
    Timer2.stop();
    btnStopWatch->hide();
    drawFrame();  // framing the whole race
}

FrameRequest MainWindow::frameRequest() const
{
    FrameRequest r;
    r.now = clock_.raceClock;
    r.autoTrace = CheckBox1->isChecked();
    r.northUp = RadioN->isChecked();
    const QColor sea(seaColour_.r, seaColour_.g, seaColour_.b);
    RenderOptions &o = r.options;
    o.labelLevel = labelLevel_;
    o.blinkOn = clock_.blinkOn;
    o.bigBoats = ChkBigBoat->isChecked();
    o.comparisonLines = ChkRefLine->isChecked();
    o.seaBrightness = ScrollBar3->value();
    o.sea = sea;
    o.upwindMeanSpeed = clock_.upwindMeanSpeed;
    o.downwindMeanSpeed = clock_.downwindMeanSpeed;
    OverlayOptions &overlays = r.overlays;
    overlays.sea = sea;
    overlays.grid = toQColor(gridColour_);
    overlays.seaBrightness = o.seaBrightness;
    overlays.windowHeight = height();
    overlays.laylines = chkLL->isChecked();
    overlays.labelLevel = labelLevel_;
    overlays.compass = &compass_;
    overlays.windGraph = windGraph_.isNull() ? nullptr : &windGraph_;
    return r;
}

// The compass turns with the map: magnetic north up, or the mean wind.
void MainWindow::rebuildCompass()
{
    compass_ = buildCompass(race_.magneticVariation - (RadioN->isChecked() ? 0 : race_.windDirection));
}

bool MainWindow::drawFrame()
{
    if (isLoading() || race_.boatCount == 0 || mapBitmap_.isNull())
        return false;
    for (int b = 1; b <= race_.boatCount; ++b)
        race_.boats[b].shown = boatBoxes_[b - 1]->isChecked() ? 1 : 0;
    mapBitmap_.fill(toQColor(seaColour_));
    const FrameResult result = renderFrame(mapBitmap_, race_, frame_, frameRequest());
    ++clock_.frameCount;
    if (result.tickAll) {
        for (QCheckBox *box : boatBoxes_)
            box->setChecked(true);
        for (QCheckBox *box : classBoxes_)
            box->setChecked(true);
    }
    mapCanvas_->update();
    if (!result.anyBoat && Timer1.isActive()) {
        endOfRace();
        return false;
    }
    return true;
}

void MainWindow::Timer1Timer()
{
    if (!RadioButton1->isChecked()) {
        if (startGun(clock_))
            fireGun();
        return;
    }
    if (advance(clock_, race_, frame_.boatsInPlay)) {
        endOfRace();
        return;
    }
    if (!drawFrame())
        return;
    announceFinishers(finishGuns(clock_, race_));
    scoreBoardCleared(clock_, race_);
    if (stopwatchState_ == 1)
        Memo8->setText(stopwatchText(clock_.raceClock - stopwatchStart_));
    showClockTime();
    followDaylight();
    if (startGun(clock_))
        fireGun();
}

void MainWindow::fireGun()
{
    if (gun_)
        gun_->play();
}

void MainWindow::announceFinishers(const std::vector<int> &finishers)
{
    for (const int b : finishers) {
        fireGun();
        boatMarkers_[race_.boatCount - b]->hide();
    }
}

void MainWindow::showClockTime()
{
    const QDateTime at = toQDateTime(addSeconds(race_.startTime, qRound(clock_.raceClock)));
    Memo1->setText(QLocale().toString(at, QLocale::ShortFormat));
}

// The sea darkens with the time of day; the next frame shows it.
void MainWindow::followDaylight()
{
    if (!CheckBox3->isChecked())
        return;
    const int level = daylightAt(timeOfDay(clock_.raceClock, race_.daylight), race_.daylight).level;
    if (level == ScrollBar3->value())
        return;
    const QSignalBlocker quiet(ScrollBar3);
    ScrollBar3->setValue(level);
    setSeaColours(level);
}

void MainWindow::Timer2Timer()
{
    if (!RadioButton1->isChecked()) {
        pnlCT->hide();
        return;
    }
    if (pnlSPLITE->isVisible())
        return;  // playback begins when the splash has gone
    Timer1.start();
    pnlCT->setVisible(race_.handicapsPresent);
    const SecondTick tick = secondTick(clock_, race_, frame_);
    for (int i = 0; i < tick.beeps; ++i)
        QApplication::beep();
    pnlFLAG->setVisible(tick.flagPanel);
    blue_p->setVisible(tick.preparatoryFlag);
}

// The replay has ended: the next race with AutoNext, else from the start.
void MainWindow::endOfRace()
{
    clock_.raceClock = race_.windowStart;
    endOfReplay();
}

void MainWindow::btnStopWatchClick()
{
    stopwatchState_ = (stopwatchState_ + 1) % 3;
    if (stopwatchState_ == 1) {
        stopwatchStart_ = clock_.raceClock;
        btnStopWatch->setText(QStringLiteral("STOP"));
        Memo8->show();
    } else if (stopwatchState_ == 2) {
        btnStopWatch->setText(QStringLiteral("TIMER/OFF"));
    } else {
        btnStopWatch->setText(QStringLiteral("TIMER/ON"));
        Memo8->hide();
    }
}

// Space plays or stops, Left and Right step a second, Home rewinds.
void MainWindow::keyPressEvent(QKeyEvent *event)
{
    shiftHeld_ = event->key() == Qt::Key_Shift;
    switch (event->key()) {
    case Qt::Key_Space:
        Timer1.isActive() ? stopPlayback() : play(clock_.playDirection);
        break;
    case Qt::Key_Right:
        step(+1);
        break;
    case Qt::Key_Left:
        step(-1);
        break;
    case Qt::Key_Home:
        if (isLoading())
            break;
        clock_.raceClock = race_.windowStart;
        drawFrame();
        showClockTime();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MainWindow::keyReleaseEvent(QKeyEvent *event)
{
    shiftHeld_ = false;
    QWidget::keyReleaseEvent(event);
}

}  // namespace keelrun
