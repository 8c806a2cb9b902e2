// Loading a race: the splash and the worker thread around the window-free
// loading sequence, the race chooser, AutoNext and the ET/CT choice.

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QThread>

#include "app/boat_list_panel.h"
#include "app/control_panel.h"
#include "app/edit_panels.h"
#include "app/logo_panel.h"
#include "app/main_window.h"
#include "app/playback_controller.h"
#include "app/small_screen_bar.h"
#include "app/splash_panel.h"
#include "io/jpeg_picture.h"
#include "render/painting.h"
#include "render/pictures.h"
#include "view/sliders.h"

namespace keelrun {
namespace {

constexpr int kSplashHoldMs = 6000;
const QSize kSplashPictureSize(640, 360);

void beep() { QApplication::beep(); }

}  // namespace

void MainWindow::loadRace(const QString &raceFilePath)
{
    if (loader_)
        return;
    playback_->stop();
    // The shown race goes with its boat list: nothing may draw it from here on.
    race_ = {};
    catalogue_.raceFilePath = raceFilePath;
    prepareForLoading();
    loadClock_.start();

    auto state = std::make_shared<RaceState>();
    LoadListener listener;
    listener.progress = [this, state](const LoadProgress &p) {
        const QString title = state->title, subtitle = state->subtitle;
        QMetaObject::invokeMethod(this, [this, p, title, subtitle] {
            splash_->setTitles(title, subtitle);
            splash_->setStatus(p.status);
            splash_->setProgress(p.done, p.total);
        }, Qt::QueuedConnection);
    };
    listener.beep = [this] { QMetaObject::invokeMethod(this, &beep, Qt::QueuedConnection); };

    progress_ = {};
    loader_ = QThread::create([this, state, listener, raceFilePath, options = LoadOptions{correctedChosen_}] {
        const LoadResult result = keelrun::loadRace(*state, folder_, raceFilePath, listener, options);
        auto progress = std::make_shared<CourseProgress>();
        if (result.ok())
            *progress = courseProgress(*state);
        QMetaObject::invokeMethod(this, [this, state, progress, result] {
            loader_->wait();
            loader_->deleteLater();
            loader_ = nullptr;
            if (closing_)
                return;
            progress_ = std::move(*progress);
            finishLoading(std::move(*state), result);
        }, Qt::QueuedConnection);
    });
    loader_->start();
}

void MainWindow::openFolder(const QString &root, const QString &race)
{
    if (isLoading()) {
        connect(this, &MainWindow::raceLoaded, this, [this, root, race] { openFolder(root, race); }, Qt::SingleShotConnection);
        return;
    }
    settleEditsThen(Leaving::Race, [this, root, race] {
        folder_ = DataFolder(root);
        openCatalogueAt(race);
        loadRace(catalogue_.raceFilePath);
    });
}

// The data folder's races in the race chooser; `race` (empty: the first)
// the one to show.
void MainWindow::openCatalogueAt(const QString &race)
{
    catalogue_ = openCatalogue(folder_);
    if (!race.isEmpty()) {
        catalogue_.raceFilePath = folder_.find(SubFolder::RaceAdmin, race).value_or(race);
        catalogue_.raceListIndex = catalogueIndexOf(catalogue_.raceList, catalogue_.raceFilePath);
    }
    pendingListIndex_ = 0;
    const QSignalBlocker quiet(controls_->raceChooser);
    controls_->raceChooser->clear();
    controls_->raceChooser->addItems(catalogue_.raceList);
}

// Steps before the race file is read: splash, language, cleared controls.
void MainWindow::prepareForLoading()
{
    finalRankingHold_.stop();
    finalRanking_->hide();
    livePanel_->hide();
    const auto cover = readJpegFile(folder_.coverPicture());
    splash_->setPicture(cover ? toImage(*cover) : splashPicture(kSplashPictureSize));
    splash_->setTitles({}, {});
    splash_->setStatus({});
    splash_->setProgress(0, 0);
    splash_->setGeometry(rect());
    splash_->show();
    splash_->raise();
    splashHold_.stop();
    QFont windowFont = font();
    windowFont.setPointSize(qRound(864.0 / std::max(1, logicalDpiY())));
    setFont(windowFont);
    tipBox_->hide();
    if (problems_)
        problems_->close();

    // AutoNext as the user left it; at start-up off for the organiser.
    if (!startedUp_)
        autoNext_ = !catalogue_.editMode;
    if (catalogue_.editMode)
        controls_->windUpButton->setChecked(true);
    controls_->autoNextBox->setChecked(autoNext_);
    setLanguage(languageForLocale(QLocale::system().language() == QLocale::Japanese));
    controls_->tipsBox->setChecked(true);

    logo_->clearBoatMarkers();
    logo_->showBareSea(toQColor(seaColours(controls_->seaSlider->value()).sea));
    boatList_->clear();
    controls_->smallScreenBox->setChecked(false);
    leaveSmallScreen();
    controls_->autoTraceBox->setChecked(true);
    controls_->trackPageButton->setChecked(true);
    shownPage_ = Page::Track;
    page_.reset();
    pageTabs_->hide();
    applyPageControls(Page::Track);
    controls_->boatNameBox->setChecked(true);
    pointer_ = {};
    viewLead_ = {};
    editor_ = {};
    windEditPanel_->makeWind->setChecked(false);
    courseEditPanel_->clearTool();
    windMarkers_->setVisible(false);
    controls_->zoomSlider->setValue(controls_->zoomSlider->maximum());
    beep();
    logo_->show();
    controls_->show();
}

void MainWindow::finishLoading(RaceState &&loaded, const LoadResult &result)
{
    race_ = std::move(loaded);
    lastLoad_ = result;
    showRaceFileName();
    if (!result.ok()) {
        // Nothing of the previous race stays on screen.
        splash_->hide();
        setWindowTitle(QStringLiteral("Keelrun"));
        ctBanner_->hide();
        timeModePanel_->hide();
        paintSea();
        applyLayout();
        reportProblems(result.message, result.warnings);
        emit raceLoaded(false);
        return;
    }
    // The first race's time mode, from its race file, is the session's
    // until the user chooses.
    if (!correctedChosen_)
        correctedChosen_ = race_.ctMode > 0;
    applyLoadedRace();
    // The splash and the cover are held for their time at start-up; a later
    // load shows them only while it takes.
    splashHold_.start(startedUp_ ? 0 : static_cast<int>(std::clamp<qint64>(kSplashHoldMs - loadClock_.elapsed(), 0, kSplashHoldMs)));
    startedUp_ = true;
    if (!result.warnings.isEmpty())
        reportProblems({}, result.warnings);
    emit raceLoaded(true);
}

// Steps after the window-free stages: time mode, boat list, captions,
// speed slider, layout, orientation.
void MainWindow::applyLoadedRace()
{
    setWindowTitle(race_.title);
    timeModePanel_->setVisible(race_.handicapsPresent);
    (race_.ctMode > 0 ? correctedTimeButton_ : elapsedTimeButton_)->setChecked(true);
    logo_->helpButton->setVisible(folder_.helpPage(true) || folder_.helpPage(false));
    controls_->raceFileHelp->setVisible(folder_.helpPage(true).has_value());
    logo_->placeBoatMarkers(race_);
    boatList_->rebuild(race_);
    setLanguage(language_);
    controls_->speedSlider->setValue(speedSliderPosition(race_.initialPlaySpeed));
    controls_->attachmentButton->setEnabled(!race_.attachments.isEmpty());
    applyLayout();
    stopwatchButton_->show();
    (race_.northUp > 0 ? controls_->northUpButton : controls_->windUpButton)->setChecked(true);
    paintSea();
    prepareBoards();
    redrawOverview();
    if (catalogue_.editMode)
        refreshEditPanel();
    showEditPanels();
    courseView_ = wholeRaceView(race_);
    startReplay();
    drawFrame();
}

void MainWindow::showRaceFileName()
{
    const int index = catalogueIndexOf(catalogue_.raceList, catalogue_.raceFilePath);
    if (index > 0) {
        const QSignalBlocker quiet(controls_->raceChooser);
        controls_->raceChooser->setCurrentIndex(index - 1);
    }
}

// A failed load names its cause; warnings of a loaded race are listed. The
// box does not wait for an answer, so an unattended replay goes on.
void MainWindow::reportProblems(const QString &message, const QStringList &warnings)
{
    if (problems_)
        problems_->close();
    problems_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Keelrun"), message.isEmpty() ? warnings.join('\n') : message,
                                QMessageBox::Ok, this);
    problems_->setObjectName(QStringLiteral("problems"));
    if (!message.isEmpty() && !warnings.isEmpty())
        problems_->setDetailedText(warnings.join('\n'));
    problems_->setAttribute(Qt::WA_DeleteOnClose);
    problems_->setModal(false);
    problems_->show();
}

void MainWindow::onShowRaceClicked()
{
    const QString chosen = controls_->raceChooser->currentText().trimmed();
    if (chosen.isEmpty() || isLoading())
        return;
    if (race_.boatCount > 0 && catalogueIndexOf({chosen}, catalogue_.raceFilePath) == 1) {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Keelrun"), QStringLiteral("Already shown."),
                                    QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("alreadyShown"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    const int index = pendingListIndex_ ? pendingListIndex_ : catalogueIndexOf(catalogue_.raceList, chosen);
    settleEditsThen(Leaving::Race, [this, index, chosen] {
        catalogue_.raceListIndex = index;
        beep();
        loadRace(folder_.path(SubFolder::RaceAdmin, chosen));
    });
}

// In small-screen mode the final ranking shows first; the replay stays
// stopped from then on until the user plays it or the next race loads.
void MainWindow::endOfReplay()
{
    if (isLoading())
        return;
    if (smallScreen_ != SmallScreen::Off && showFinalRanking()) {
        finalRankingHold_.start();
        return;
    }
    moveOnAfterReplay();
}

void MainWindow::moveOnAfterReplay()
{
    finalRanking_->hide();
    if (isLoading())
        return;
    playback_->clock().raceClock = race_.windowStart;
    const std::optional<int> next = autoNext_ ? nextRaceIndex(catalogue_) : std::nullopt;
    if (next) {
        // Move on even when the race file has gone, so that the next end
        // tries the race after it.
        catalogue_.raceListIndex = *next;
        const QString path = folder_.path(SubFolder::RaceAdmin, catalogue_.raceList[*next - 1]);
        if (QFile::exists(path)) {
            settleEditsThen(Leaving::Race, [this, path] {
                beep();
                loadRace(path);
            });
            return;
        }
    }
    // The same race again, from the start of its window.
    drawFrame();
    showClockTime();
}

void MainWindow::onTimeModeClicked(bool corrected)
{
    if (corrected == (race_.ctMode > 0) || isLoading())
        return;
    // The choice shows once the race is loaded in it.
    (race_.ctMode > 0 ? correctedTimeButton_ : elapsedTimeButton_)->setChecked(true);
    settleEditsThen(Leaving::Race, [this, corrected] {
        beep();
        correctedChosen_ = corrected;
        loadRace(catalogue_.raceFilePath);
    });
}

}  // namespace keelrun
