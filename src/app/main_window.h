#pragma once
// The one window: the map area on the left, the time bar, and the column of
// logo, boat list and control panels on the right. It owns the loaded race
// and runs the loading sequence on a worker thread, showing its progress on
// the splash panel.

#include <memory>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "app/captions.h"
#include "app/loading_sequence.h"
#include "app/race_catalogue.h"
#include "app/window_layout.h"
#include "io/data_folder.h"
#include "map/frame_state.h"
#include "map/renderer.h"
#include "model/race_state.h"
#include "playback/playback_clock.h"

class QMessageBox;
class QSoundEffect;

namespace keelrun {

class MapCanvas;
class SplashPanel;

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
    const PlaybackClock &clock() const { return clock_; }
    bool isPlaying() const { return Timer1.isActive() || Timer2.isActive(); }

    // Runs the loading sequence for `raceFilePath`; the result arrives later.
    void loadRace(const QString &raceFilePath);
    // Waits for a running load to finish (for tests and closing).
    void waitForLoad();
    // The replay reached its end: the next race of the catalogue with
    // AutoNext, else the same race again.
    void endOfReplay();
    void setLanguage(Language language);
    void showTip(const Tip &tip, QPoint at);

    // Playback: forward (+1) or backward (-1), stop, single steps.
    void play(int direction);
    void stopPlayback();
    void step(int direction);
    // Fills the map with the sea, draws the frame at the race clock, shows
    // it. False when there was nothing to draw: no race, a load running, or
    // no boat left in play (the replay then ends).
    bool drawFrame();

signals:
    void raceLoaded(bool ok);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the controls.
    void buildLogoPanel();
    void buildControlPanel();
    void buildPageAndViewChoices(QWidget *panel);
    void buildSeaColourBox(QWidget *panel);
    void buildSmallScreenPanel();
    void buildFloatingControls();
    void connectControls();
    void watchForTips();
    void buildPlaybackButtons();
    // A control named `name` at `geometry` in `parent`.
    template <typename W>
    static W *make(QWidget *parent, const char *name, QRect geometry)
    {
        auto *widget = new W(parent);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(geometry);
        return widget;
    }

    // The loading sequence around the window-free stages.
    void prepareForLoading();
    void finishLoading(RaceState &&loaded, const LoadResult &result);
    void applyLoadedRace();
    void reportProblems(const QString &message, const QStringList &warnings);
    void showRaceFileName();

    // Controls that depend on the race.
    void buildBoatList();
    void clearBoatControls();
    void setCaptions();
    void showLanguageFlags();

    // Playback.
    void startPlayback();
    void Timer1Timer();
    void Timer2Timer();
    void endOfRace();
    void announceFinishers(const std::vector<int> &finishers);
    void fireGun();
    void showClockTime();
    void followDaylight();
    void setSeaColours(int brightness);
    void resetDirectionLights(QLabel *lit);
    void CheckBox1Click(bool checked);
    void btnStopWatchClick();
    bool playbackPictureClicked(QObject *picture);
    FrameRequest frameRequest() const;
    void rebuildCompass();

    // Layout and display.
    void applyLayout();
    void resizeBitmaps(QSize size);
    void paintSea();
    void updateCtBanner();
    int formHeight() const { return height() + 4; }

    // Handlers.
    void Button4Click();
    void ComboBox1Change(int index);
    void chkAutoNextClick(bool checked);
    void timeModeClick(bool corrected);
    void btnHELPClick();
    void Label12Click();
    void Button2Click();
    void ListBox1Click();
    void CheckBox4Click(bool checked);
    void smallScreenChoice(SmallScreen choice);
    void ScrollBar3Change(int position);
    void Button5Click();

    DataFolder folder_;
    RaceState race_;
    RaceCatalogue catalogue_;
    int pendingListIndex_ = 0;
    bool autoNext_ = true;
    Language language_ = Language::EnglishByLocale;
    bool tipsOn_ = true;
    QPoint tipPosition_;
    SmallScreen smallScreen_ = SmallScreen::Off;
    QSize mapSize_;
    QSize fullMapSize_;
    QImage mapBitmap_;
    QImage pageBitmap_;
    Rgb seaColour_;
    Rgb gridColour_;

    PlaybackClock clock_;
    FrameState frame_;
    QImage compass_;
    QImage windGraph_;
    QTimer Timer1, Timer2;
    QSoundEffect *gun_ = nullptr;
    int labelLevel_ = 1;
    int stopwatchState_ = 0;  // 0 off, 1 running, 2 frozen
    double stopwatchStart_ = 0;
    bool shiftHeld_ = false;

    QThread *loader_ = nullptr;
    bool closing_ = false;
    QTimer splashHold_;
    QPointer<QMessageBox> problems_;

    // Panels.
    SplashPanel *pnlSPLITE = nullptr;
    MapCanvas *mapCanvas_ = nullptr;
    QWidget *pnlLOGO = nullptr, *pnlCTRL = nullptr, *pnlBOATlist = nullptr, *pnlTimeBar = nullptr;
    QWidget *pnlFLAG = nullptr, *pnlCT = nullptr, *pnlDIR = nullptr, *pnlUsize = nullptr;
    QLabel *hintbox = nullptr;
    QListWidget *ListBox1 = nullptr;
    QLabel *Memo10 = nullptr, *Memo11 = nullptr, *Memo12 = nullptr, *Memo13 = nullptr, *Memo14 = nullptr;

    // Logo panel.
    QLabel *Image1 = nullptr, *Memo1 = nullptr, *imgLOGO = nullptr;
    QPushButton *btnHELP = nullptr;
    std::vector<QWidget *> boatMarkers_;

    // Boat list.
    QLabel *Label1 = nullptr;
    std::vector<QCheckBox *> classBoxes_;
    std::vector<QCheckBox *> boatBoxes_;

    // Control panel.
    QLabel *Label5 = nullptr, *Label12 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Memo2 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QCheckBox *chkAutoNext = nullptr, *chkHint = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr, *Button5 = nullptr;
    QGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr, *GroupBox4 = nullptr;
    QRadioButton *RadioN = nullptr, *RadioW = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *chkLL = nullptr, *ChkRefLine = nullptr, *CheckBox2 = nullptr, *ChkBigBoat = nullptr,
              *CheckBox3 = nullptr, *CheckBox4 = nullptr;
    QScrollBar *ScrollBar1 = nullptr, *ScrollBar2 = nullptr, *ScrollBar3 = nullptr;
    QLabel *usa = nullptr, *jpn = nullptr;
    QRadioButton *RadioButton10 = nullptr, *RadioButton11 = nullptr;

    // Small-screen choices.
    QRadioButton *RadioButton4 = nullptr, *RadioButton5 = nullptr, *RadioButton6 = nullptr, *RadioButton7 = nullptr,
                 *RadioButton8 = nullptr;
    QComboBox *ComboBox2 = nullptr, *ComboBox3 = nullptr;

    // Playback buttons and the start flags.
    QLabel *up_f = nullptr, *stop_f = nullptr, *dn_f = nullptr, *up_t = nullptr, *stop_t = nullptr, *dn_t = nullptr;
    QLabel *plus = nullptr, *minus = nullptr, *blue_p = nullptr;

    // Stopwatch, placed here and run by the playback.
    QPushButton *btnStopWatch = nullptr;
    QLabel *Memo8 = nullptr;
};

}  // namespace keelrun
