#pragma once
// The one window: the map area on the left, the time bar, and the column of
// logo panel, boat list and control panel on the right. It owns the loaded
// race, runs the loading sequence on a worker thread while the splash shows
// its progress, and wires the panels' controls to the replay.

#include <functional>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "edit/course_editor.h"
#include "edit/map_pointer.h"
#include "io/data_folder.h"
#include "model/race_state.h"
#include "race/course_progress.h"
#include "race/loading_sequence.h"
#include "race/race_catalogue.h"
#include "render/map_frame.h"
#include "render/pages/race_page.h"
#include "replay/view_lead.h"
#include "view/captions.h"
#include "view/course_view.h"
#include "view/window_layout.h"

class QLabel;
class QListWidget;
class QMessageBox;
class QPushButton;
class QRadioButton;
class QThread;

namespace keelrun {

class VideoExport;

class BoatListPanel;
class CourseEditPanel;
class WindEditPanel;
class WindMarkerShapes;
class ControlPanel;
class LogoPanel;
class MapCanvas;
class PlaybackController;
class SmallScreenBar;
class SplashPanel;
class TimeBarPanel;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(const DataFolder &folder, const QString &firstRace = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    const RaceState &race() const { return race_; }
    const RaceCatalogue &catalogue() const { return catalogue_; }
    Language language() const { return language_; }
    QSize mapSize() const { return mapSize_; }
    bool isLoading() const { return loader_ != nullptr; }
    const QImage &mapBitmap() const { return mapBitmap_; }
    const PlaybackController &playback() const { return *playback_; }

    // Runs the loading sequence for `raceFilePath`; the result arrives later.
    void loadRace(const QString &raceFilePath);
    // Shows the data folder `root` and in it `race` (a name in raceadmin/ or
    // a path; empty: the folder's first), once unwritten edits are settled.
    void openFolder(const QString &root, const QString &race);
    // The replay reached its end: the next race of the catalogue with
    // AutoNext, else the same race again.
    void endOfReplay();
    static constexpr int kFinalRankingHoldMs = 10000;
    void setLanguage(Language language);

    // Playback: forward (+1) or backward (-1), stop, single steps.
    void play(int direction);
    void stopPlayback();
    void step(int direction);
    // Draws the frame at the race clock on the sea and shows it (with Auto
    // Trace off, the course diagram). False when there was nothing to draw:
    // no race, or a load running.
    bool drawFrame();
    // Sets the race clock as a click on the time bar does.
    void jumpTo(double raceClock);
    // For a picture of the window: no splash, the timers still, and with
    // `stopped` the replay stopped as by unticking Auto Trace.
    void holdForPicture(bool stopped);
    const LoadResult &lastLoad() const { return lastLoad_; }
    // Starts writing the replay from `from` to `to` at `speed` as a video at
    // `path` while the replay goes on; the export says when it is done.
    VideoExport *startVideo(const QString &path, double from, double to, double speed);
    // Shows the map (and plays on) or the Graph or Analysis page.
    void showPage(Page page);
    Page currentPage() const { return shownPage_; }
    // The finish boards as they stand at the race clock, as if the replay
    // had played up to it, without the guns.
    void showFinishesSoFar();
    // The playing map keeps `boat` in its centre, as a double click on it does.
    void followBoat(int boat);
    // The live numbers show `boats`: the first highlighted, the others watched.
    void watchBoats(const std::vector<int> &boats);
    // Ticks or unticks Speed Colours, as a click on it does.
    void showSpeedColours(bool shown);

signals:
    void raceLoaded(bool ok);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building and wiring (main_window.cpp).
    void buildFloatingControls();
    void connectControls();
    void connectPlayback();
    void watchForTips();
    void connectGlance();
    void addShortcuts();

    // The loading sequence around the window-free stages (main_window_loading.cpp).
    void openCatalogueAt(const QString &race);
    void prepareForLoading();
    void finishLoading(RaceState &&loaded, const LoadResult &result);
    void applyLoadedRace();
    void reportProblems(const QString &message, const QStringList &warnings);
    void showRaceFileName();
    void onShowRaceClicked();
    void onTimeModeClicked(bool corrected);

    // The race at a glance (main_window_glance.cpp): the overview map, the
    // time bar and the course diagram of the stopped map.
    void redrawOverview();
    void moveOverviewMarkers();
    void showCourseDiagram();
    void onTimeBarHovered(double raceClock, QPoint at);
    void onTimeBarHoverEnded();
    void onOverviewClicked(QPoint at);
    // The Track, Graph and Analysis pages (main_window_pages.cpp).
    void connectPages();
    void nameTabs();
    void applyPageControls(Page page);
    PageRequest pageRequest() const;
    void drawPage();
    void showPageHover(int boat);
    void showPageListHover();
    void showPagePointer(QPoint at);
    // The map's mouse tools and the organiser's editing (main_window_edit.cpp).
    void buildEditing();
    void showEditPanels();
    void refreshEditPanel();
    GeoPoint mapPosition(QPoint at) const;
    void onMapClicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void onMapPointerMoved(QPoint at, Qt::KeyboardModifiers modifiers);
    void onMapPointerLeft();
    bool showPointerTools(QPoint at);
    void showPositionInCaption(QPoint at);
    void addWindRecord(QPoint at);
    void onMakeWindClicked(bool ticked);
    void saveWindRecords();
    void applyWindDirection();
    void askToTakeLoggedStart();
    void takeLoggedStart();
    void rewriteRaceFileWithEdits();
    QString writeEdits();
    void writeWindRecords();
    bool mayClose();
    enum class Leaving { Window, Race };
    void settleEditsThen(Leaving leaving, const std::function<void()> &next);
    void writeEditsThen(Leaving leaving, const std::function<void()> &next);
    void saveEditsElsewhere(const std::function<void()> &next);
    // The boards (main_window_boards.cpp).
    void prepareBoards();
    void showBoards();
    void showBoardsEverySample();
    void showLiveNumbers();
    void hideBoards();
    void dodge(QWidget *board);
    bool showFinalRanking();
    void moveOnAfterReplay();
    // The boat list's focus and hover (main_window_focus.cpp).
    void connectFocusList();
    void onFocusChanged();
    void onBoatHovered(int boat, int boxTop);
    void onClassHovered(int classIndex, int boxTop);
    void onHeaderHovered();
    void onListPanelHovered();
    void onListHoverEnded();
    void showListTip(const Tip &tip, int boxTop);
    void bringForward(QWidget *panel);

    // The replay's display.
    DisplayChoices displayChoices() const;
    void startReplay();
    void redrawWhenStopped();
    void connectMapGestures();
    void leadMap(const ViewLead &next);
    bool showsCourseDiagram() const;
    void leadDiagram(const CourseView &next);
    void showClockTime();
    void followDaylight();
    void onAutoTraceClicked(bool checked);
    void onStopwatchClicked();
    void onSecondTicked(const SecondTick &tick);

    // Layout and display options.
    void applyLayout();
    void resizeBitmaps(QSize size);
    void paintSea();
    void updateCtBanner();
    void onSmallScreenToggled(bool checked);
    void leaveSmallScreen();
    void chooseSmallScreen(SmallScreen choice);
    void saveMapPicture();
    int formHeight() const { return height() + 4; }

    // Language, tips, help and attachments.
    void showLanguageFlags();
    void showTip(const Tip &tip, QPoint at);
    QSize fitTipBox(const QString &text);
    Tip fitted(Tip tip);
    void showTipFor(QWidget *control);
    void openHelp();
    void openJapaneseHelp();
    void openDocument(const QString &path);
    void openWrittenDocument(const QString &path);
    void showNotice(const QString &text);
    void onAttachmentClicked();
    void onAttachmentChosen();
    void exportKml(bool scene);
    void writeKml(bool scene);
    void exportTable();
    void exportVideo();

    DataFolder folder_;
    RaceState race_;
    RaceCatalogue catalogue_;
    int pendingListIndex_ = 0;
    bool autoNext_ = true;
    Language language_ = Language::EnglishByLocale;
    SmallScreen smallScreen_ = SmallScreen::Off;
    QSize mapSize_;
    QImage mapBitmap_;
    QImage pageBitmap_;
    MapPictures pictures_;
    CourseView courseView_;   // the stopped map's centre and zoom
    ViewLead viewLead_;       // the playing map's: the fleet's fit, a followed boat, or the user's pan and zoom
    double fleetFitScale_ = 0;  // the fleet's fit with the zoom slider at its right end, pixels a minute of latitude
    MapView diagramView_;     // the course diagram as last drawn, for clicks on it
    bool hideUnfocused_ = false;  // the last answer to "Hide Unfocused Boat ?"
    bool timeHover_ = false;  // the pointer is over the time bar: the markers preview its time
    QImage overviewPicture_;
    bool insetOverview_ = false;  // small-screen mode: the overview drawn on the map
    QImage hoverPicture_;         // the course diagram or a page with the hovered boat marked
    std::unique_ptr<RacePage> page_;  // the page that shows; none for the map
    Page shownPage_ = Page::Track;
    Page analysisPage_ = Page::Analysis;  // the analysis page last shown, which the control panel's choice leads to
    QWidget *pageTabs_ = nullptr;          // over an analysis page: a tab for each

    QThread *loader_ = nullptr;
    bool closing_ = false;
    bool startedUp_ = false;  // a race has been shown: the splash is held and AutoNext set only before
    std::optional<bool> correctedChosen_;  // corrected time: the first race file's choice, then the user's
    QElapsedTimer loadClock_;              // since the load began, for the splash's hold
    QStringList backedUp_;  // files kept as .bak, or made, this session: rewritten without asking
    QTimer splashHold_;
    QPointer<QMessageBox> problems_;
    LoadResult lastLoad_;
    CourseProgress progress_;  // every boat's way round the course, for the running board
    int boardSample_ = -1;     // the progress sample the running board shows

    // Panels.
    SplashPanel *splash_ = nullptr;
    MapCanvas *mapCanvas_ = nullptr;
    LogoPanel *logo_ = nullptr;
    BoatListPanel *boatList_ = nullptr;
    ControlPanel *controls_ = nullptr;
    SmallScreenBar *smallScreenBar_ = nullptr;
    PlaybackController *playback_ = nullptr;
    TimeBarPanel *timeBar_ = nullptr;
    // Over the map: the start flags, the ET/CT choice and banner, the stopwatch.
    QWidget *flagPanel_ = nullptr;
    QLabel *preparatoryFlag_ = nullptr;
    QWidget *timeModePanel_ = nullptr;
    QRadioButton *elapsedTimeButton_ = nullptr, *correctedTimeButton_ = nullptr;
    QLabel *ctBanner_ = nullptr;
    QPushButton *stopwatchButton_ = nullptr;
    QLabel *stopwatchBox_ = nullptr;
    QListWidget *attachmentList_ = nullptr;
    QPushButton *tableButton_ = nullptr;  // "Excel Table", on the Analysis page
    QLabel *finishBoard_ = nullptr;       // the finishers so far, in order
    QLabel *classBoard_ = nullptr;        // the finishers so far, by class
    QLabel *finalRanking_ = nullptr;      // every finisher over the map at the end, in small-screen mode
    QLabel *livePanel_ = nullptr;         // the live numbers of the highlighted and watched boats
    QTimer finalRankingHold_;             // how long the final ranking shows before the replay moves on

    // Editing and the pointer over the map.
    CourseEditPanel *courseEditPanel_ = nullptr;  // pnlEDIT1
    WindEditPanel *windEditPanel_ = nullptr;      // pnlEDIT2
    std::unique_ptr<WindMarkerShapes> windMarkers_;
    QLabel *pointerLabel_ = nullptr;              // Memo6: range and bearing, or the nearest mark
    CourseEditor editor_;
    PointerZones pointer_;
    struct RangeBase {
        GeoPoint position;
        QPoint pixel;
    };
    std::optional<RangeBase> rangeBase_;          // set by a Shift-click, gone when Shift is let go
    QPoint windPen_;                              // the last wind record on the Graph page
    bool tallWindow_ = false;             // the window takes nearly the screen's height
    QLabel *tipBox_ = nullptr;
    QLabel *notice_ = nullptr;  // where an export went, for a few seconds
};

}  // namespace keelrun
