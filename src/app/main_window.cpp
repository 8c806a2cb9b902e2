#include "app/main_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QIcon>
#include <QScreen>
#include <QShortcut>
#include <QScrollBar>
#include <QThread>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/edit_panels.h"
#include "app/logo_panel.h"
#include "app/make_control.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "app/small_screen_bar.h"
#include "app/splash_panel.h"
#include "app/time_bar_panel.h"
#include "render/painting.h"
#include "render/pictures.h"
#include "view/sliders.h"

namespace keelrun {

MainWindow::MainWindow(const DataFolder &folder, const QString &firstRace, QWidget *parent)
    : QWidget(parent), folder_(folder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Keelrun"));
    mapCanvas_ = new MapCanvas(this);
    logo_ = new LogoPanel(this);
    boatList_ = new BoatListPanel(this);
    controls_ = new ControlPanel(this);
    smallScreenBar_ = new SmallScreenBar(this);
    buildFloatingControls();
    playback_ = new PlaybackController(race_, [this] { return drawFrame(); }, this);
    connectControls();
    connectPlayback();
    connectGlance();
    connectMapGestures();
    connectFocusList();
    connectPages();
    buildEditing();
    watchForTips();
    setWindowIcon(QIcon(QPixmap::fromImage(applicationIcon(256))));
    addShortcuts();
    splashHold_.setSingleShot(true);
    connect(&splashHold_, &QTimer::timeout, splash_, &QWidget::hide);

    openCatalogueAt(firstRace);
    controls_->seaSlider->setValue(100);
    controls_->autoSeaBox->setChecked(true);
    resize(1280, 1024);
    QTimer::singleShot(0, this, [this] { loadRace(catalogue_.raceFilePath); });
}

// The panels that float over the map, and the tip box.
void MainWindow::buildFloatingControls()
{
    timeBar_ = new TimeBarPanel(this);
    flagPanel_ = makeControl<QWidget>(this, "pnlFLAG", {0, 5, 120, 60});
    flagPanel_->hide();
    preparatoryFlag_ = makeControl<QLabel>(flagPanel_, "blue_p", {4, 4, 60, 40});
    preparatoryFlag_->setPixmap(QPixmap::fromImage(preparatoryFlag(QSize(60, 40))));
    preparatoryFlag_->hide();
    timeModePanel_ = makeControl<QWidget>(this, "pnlCT", {0, 0, kTimeModePanelWidth, kTimeModePanelHeight});
    elapsedTimeButton_ = makeControl<QRadioButton>(timeModePanel_, "RadioButton10", {4, 3, 110, 18});
    elapsedTimeButton_->setText(QStringLiteral("ET mode"));
    correctedTimeButton_ = makeControl<QRadioButton>(timeModePanel_, "RadioButton11", {124, 3, 110, 18});
    correctedTimeButton_->setText(QStringLiteral("CT mode"));
    // Right of the compass, as wide as its text.
    ctBanner_ = makeControl<QLabel>(this, "Memo10", {kCompassRight + 8, 5, 329, 33});
    QFont banner = ctBanner_->font();
    banner.setPointSize(16);
    ctBanner_->setFont(banner);
    ctBanner_->setText(QStringLiteral("CT(Corrected Time) Mode"));
    ctBanner_->setStyleSheet(QStringLiteral("background: white; color: red; padding: 2px 4px;"));
    ctBanner_->adjustSize();
    ctBanner_->hide();
    stopwatchButton_ = makeControl<QPushButton>(this, "btnStopWatch", {0, 0, 73, 20});
    stopwatchButton_->setText(QStringLiteral("TIMER/ON"));
    stopwatchBox_ = makeControl<QLabel>(this, "Memo8", {0, 0, 73, 20});
    tableButton_ = makeControl<QPushButton>(this, "btnExcell", {5, 5, 100, 22});
    tableButton_->setText(QStringLiteral("Excel Table"));
    tableButton_->hide();
    finishBoard_ = makeControl<QLabel>(this, "pnlScore", {0, 5, 185, 6});
    finishBoard_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    classBoard_ = makeControl<QLabel>(this, "pnlScore2", {5, 5, 205, 24});
    finalRanking_ = makeControl<QLabel>(this, "Image6", {0, 0, 1, 1});
    finalRanking_->hide();
    livePanel_ = makeControl<QLabel>(this, "livePanel", {0, 0, 1, 1});
    livePanel_->setAttribute(Qt::WA_TransparentForMouseEvents);  // the map under it still takes the pointer
    livePanel_->hide();
    finalRankingHold_.setSingleShot(true);
    finalRankingHold_.setInterval(kFinalRankingHoldMs);
    connect(&finalRankingHold_, &QTimer::timeout, this, &MainWindow::moveOnAfterReplay);
    for (QLabel *board : {finishBoard_, classBoard_}) {
        board->hide();
        board->setMouseTracking(true);
        board->installEventFilter(this);
    }
    attachmentList_ = makeControl<QListWidget>(this, "ListBox1", {0, 0, 160, 80});
    attachmentList_->hide();
    notice_ = makeControl<QLabel>(this, "notice", {0, 0, 100, 20});
    notice_->setStyleSheet(QStringLiteral("background: white; color: black; border: 1px solid gray; padding: 3px;"));
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the path can be copied
    notice_->hide();
    tipBox_ = makeControl<QLabel>(this, "hintbox", {0, 0, 100, 20});
    tipBox_->setAttribute(Qt::WA_TransparentForMouseEvents);  // the pointer goes on to what is under it
    tipBox_->setStyleSheet(QStringLiteral("background: rgb(255, 255, 225); color: black; border: 1px solid gray;"));
    tipBox_->setWordWrap(true);
    tipBox_->hide();
    splash_ = new SplashPanel(this);
}

// Ctrl+Q quits, F1 opens the help, F11 toggles full screen. Space plays or
// stops, Left and Right step a second, Home rewinds, whichever control has
// the keyboard.
void MainWindow::addShortcuts()
{
    auto key = [this](QKeySequence keys, auto &&action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    // The coach's keys: play and stop, ten seconds (a minute with Shift)
    // back or on, the race window's ends, the replay's speed.
    key(Qt::Key_Space, [this] { playback_->isTicking() ? stopPlayback() : play(playback_->clock().playDirection); });
    for (const auto &[keys, seconds] : {std::pair{QKeySequence(Qt::Key_Right), 10}, std::pair{QKeySequence(Qt::Key_Left), -10},
                                        std::pair{QKeySequence(Qt::SHIFT | Qt::Key_Right), 60},
                                        std::pair{QKeySequence(Qt::SHIFT | Qt::Key_Left), -60}})
        key(keys, [this, seconds = seconds] { jumpTo(std::clamp(playback_->clock().raceClock + seconds, race_.windowStart, race_.windowEnd)); });
    key(Qt::Key_Home, [this] { jumpTo(race_.windowStart); });
    key(Qt::Key_End, [this] { jumpTo(race_.windowEnd); });
    for (const auto &[keys, step] : {std::pair{QKeySequence(Qt::Key_Plus), 1}, std::pair{QKeySequence(Qt::Key_Equal), 1},
                                     std::pair{QKeySequence(Qt::Key_Minus), -1}})
        key(keys, [this, step = step] { controls_->speedSlider->setValue(controls_->speedSlider->value() + step * controls_->speedSlider->singleStep()); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &MainWindow::openHelp);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this), &QShortcut::activated, this, &MainWindow::exportVideo);
    connect(new QShortcut(QKeySequence(Qt::Key_F11), this), &QShortcut::activated, this,
            [this] { isFullScreen() ? showMaximized() : showFullScreen(); });
}

void MainWindow::connectControls()
{
    ControlPanel *c = controls_;
    connect(c->showRaceButton, &QPushButton::clicked, this, &MainWindow::onShowRaceClicked);
    connect(c->raceChooser, &QComboBox::currentIndexChanged, this, [this](int index) { pendingListIndex_ = index + 1; });
    connect(c->autoNextBox, &QCheckBox::clicked, this, [this](bool on) { autoNext_ = on; });
    connect(elapsedTimeButton_, &QRadioButton::clicked, this, [this] { onTimeModeClicked(false); });
    connect(correctedTimeButton_, &QRadioButton::clicked, this, [this] { onTimeModeClicked(true); });
    connect(c->exitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(logo_->helpButton, &QPushButton::clicked, this, &MainWindow::openHelp);
    connect(c->attachmentButton, &QPushButton::clicked, this, &MainWindow::onAttachmentClicked);
    connect(attachmentList_, &QListWidget::itemClicked, this, &MainWindow::onAttachmentChosen);
    connect(c->smallScreenBox, &QCheckBox::clicked, this, &MainWindow::onSmallScreenToggled);
    connect(smallScreenBar_, &SmallScreenBar::sizeChosen, this, &MainWindow::chooseSmallScreen);
    connect(c->seaSlider, &QScrollBar::valueChanged, this, [this] {
        if (currentPage() != Page::Track) {
            drawPage();  // the Graph page stands on the sea colour
            return;
        }
        paintSea();
        redrawWhenStopped();
    });
    connect(c->retouchButton, &QPushButton::clicked, this, &MainWindow::saveMapPicture);
    for (QRadioButton *orientation : {c->northUpButton, c->windUpButton}) {
        connect(orientation, &QRadioButton::clicked, this, [this] {
            pictures_ = mapPictures(race_, controls_->northUpButton->isChecked());
            redrawOverview();
            redrawWhenStopped();
        });
    }
    connect(c->boatNameBox, &QCheckBox::clicked, this, [this](bool checked) {
        pointer_.labelLevel = checked ? 1 : 0;
        drawPage();  // the Analysis page names its dots
    });
    for (QCheckBox *box : {c->boatNameBox, c->laylineBox, c->comparisonBox, c->bigBoatBox, c->speedColourBox})
        connect(box, &QCheckBox::clicked, this, &MainWindow::redrawWhenStopped);
    connect(c->trackPageButton, &QRadioButton::toggled, playback_, &PlaybackController::setTrackPageShown);
    connect(tableButton_, &QPushButton::clicked, this, &MainWindow::exportTable);
    connect(c->speedSlider, &QScrollBar::valueChanged, this, [this](int position) {
        const double speed = playSpeedForSlider(position);
        playback_->setPlaySpeed(speed);
        controls_->showPlaySpeed(speed);
        smallScreenBar_->showPlaySpeed(speed);
    });
}

void MainWindow::connectPlayback()
{
    connect(controls_, &ControlPanel::playRequested, this, &MainWindow::play);
    connect(controls_, &ControlPanel::stopRequested, this, &MainWindow::stopPlayback);
    connect(controls_, &ControlPanel::stepRequested, this, &MainWindow::step);
    connect(controls_->autoTraceBox, &QCheckBox::clicked, this, &MainWindow::onAutoTraceClicked);
    connect(stopwatchButton_, &QPushButton::clicked, this, &MainWindow::onStopwatchClicked);
    connect(splash_, &SplashPanel::visibilityChanged, playback_, &PlaybackController::setHeld);
    connect(playback_, &PlaybackController::directionChanged, controls_, &ControlPanel::lightDirection);
    connect(playback_, &PlaybackController::boatFinished, logo_, &LogoPanel::hideBoatMarker);
    connect(playback_, &PlaybackController::boatFinished, this, &MainWindow::showBoards);
    connect(playback_, &PlaybackController::boardsCleared, this, &MainWindow::showBoards);
    connect(playback_, &PlaybackController::secondTicked, this, &MainWindow::onSecondTicked);
    connect(playback_, &PlaybackController::secondOffTrack, timeModePanel_, &QWidget::hide);
    connect(playback_, &PlaybackController::replayEnded, this, &MainWindow::endOfReplay);
    connect(playback_, &PlaybackController::clockSet, this, &MainWindow::showClockTime);
    connect(playback_, &PlaybackController::ticked, this, [this] {
        const Stopwatch &watch = playback_->stopwatch();
        if (watch.state == Stopwatch::Running)
            stopwatchBox_->setText(stopwatchText(playback_->clock().raceClock - watch.startedAt));
        showClockTime();
        followDaylight();
        showBoardsEverySample();
        showLiveNumbers();
    });
}

MainWindow::~MainWindow()
{
    closing_ = true;
    if (loader_) {
        loader_->wait();
        delete loader_;
    }
}

// ---- Layout and display options ------------------------------------------

void MainWindow::applyLayout()
{
    logo_->windowSizeBox->setText(QStringLiteral("%1x%2").arg(width()).arg(height()));
    splash_->setGeometry(rect());
    const int screenHeight = screen() ? screen()->geometry().height() : height();
    const WindowLayout l = computeWindowLayout(width(), formHeight(), screenHeight, boatList_->neededHeight());
    tallWindow_ = l.tallWindow;
    logo_->setGeometry(l.logoPanel);
    controls_->setGeometry(l.controlPanel);
    boatList_->setGeometry(l.boatListPanel);
    timeBar_->setGeometry(l.timeBarPanel);
    timeBar_->showRace(race_, boatList_->focus().selectedBoat());
    boatList_->raise();
    const QPoint attachments = l.controlPanel.topLeft() + controls_->attachmentButton->pos();
    attachmentList_->move(attachments.x(), attachments.y() - 3 - attachmentList_->height());
    mapCanvas_->setGeometry(QRect(QPoint(0, 0), l.map));
    if (race_.boatCount > 0 && smallScreen_ == SmallScreen::Off) {
        mapSize_ = l.map;
        resizeBitmaps(mapSize_);
        stopwatchButton_->move(mapSize_.width() - 78, mapSize_.height() - 140);
        stopwatchBox_->move(mapSize_.width() - 78, mapSize_.height() - 162);
        if (race_.handicapsPresent)
            timeModePanel_->move(mapSize_.width() - raceClockReach() - timeModePanel_->width(), mapSize_.height() - kTimeModePanelRise);
    }
    flagPanel_->move(mapSize_.width() - 5 - flagPanel_->width(), 5);
    updateCtBanner();
    splash_->raise();
}

void MainWindow::resizeBitmaps(QSize size)
{
    // The map is drawn at the screen's own pixels, so that a scaled window
    // shows it sharp; the pages keep the window's pixels.
    const qreal ratio = devicePixelRatioF();
    if (mapBitmap_.deviceIndependentSize().toSize() == size && mapBitmap_.devicePixelRatio() == ratio)
        return;
    mapBitmap_ = QImage(size * ratio, QImage::Format_RGB32);
    mapBitmap_.setDevicePixelRatio(ratio);
    pageBitmap_ = QImage(size, QImage::Format_RGB32);
    pageBitmap_.fill(Qt::white);
    paintSea();
}

// Until the map is drawn, it shows the bare sea.
void MainWindow::paintSea()
{
    mapBitmap_.fill(toQColor(seaColours(controls_->seaSlider->value()).sea));
    mapCanvas_->setPicture(&mapBitmap_);
}

void MainWindow::updateCtBanner()
{
    ctBanner_->setVisible(race_.ctMode > 0 && smallScreen_ == SmallScreen::Off && controls_->trackPageButton->isChecked());
}

void MainWindow::resizeEvent(QResizeEvent *)
{
    applyLayout();
    if (currentPage() != Page::Track)
        drawPage();
    else if (playback_ && playback_->frame().boats.size() == std::size_t(race_.boatCount) + 1)
        redrawWhenStopped();  // the stopped map is drawn again at its new size
}

void MainWindow::onSmallScreenToggled(bool checked)
{
    if (checked) {
        smallScreenBar_->open();
        ctBanner_->hide();
        return;
    }
    leaveSmallScreen();
    applyLayout();
}

void MainWindow::leaveSmallScreen()
{
    smallScreen_ = SmallScreen::Off;
    smallScreenBar_->close();
    stopwatchButton_->show();
    controls_->graphPageButton->setEnabled(true);
    controls_->analysisPageButton->setEnabled(true);
}

void MainWindow::chooseSmallScreen(SmallScreen choice)
{
    smallScreen_ = choice;
    mapSize_ = smallScreenSize(choice, smallScreenBar_->preference());
    resizeBitmaps(mapSize_);
    mapCanvas_->update();
    smallScreenBar_->showOver(mapSize_, race_.title, race_.ctMode > 0);
    stopwatchButton_->hide();
    controls_->graphPageButton->setEnabled(false);
    controls_->analysisPageButton->setEnabled(false);
    flagPanel_->move(mapSize_.width() - 5 - flagPanel_->width(), 5);
    updateCtBanner();
}


}  // namespace keelrun
