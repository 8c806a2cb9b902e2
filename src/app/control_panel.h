#pragma once
// The control panel at the foot of the right-hand column: the race chooser,
// the page and orientation choices, the display check boxes, the playback
// buttons, the sea colour box, the zoom and speed sliders and the language
// flags. It builds and places its controls; the main window wires them.

#include <QWidget>

#include "app/make_control.h"
#include "view/captions.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace keelrun {

class ControlPanel : public QWidget {
    Q_OBJECT
public:
    explicit ControlPanel(QWidget *parent);

    void setCaptions(Language language);
    // The lit playback button: +1 forward, 0 stopped, -1 backward.
    void lightDirection(int direction);
    // Shows the play speed as the speed box does: "5X".
    void showPlaySpeed(double playSpeed);

    // Race choice.
    QLabel *raceFileLabel = nullptr;
    QComboBox *raceChooser = nullptr;
    QPushButton *showRaceButton = nullptr;
    QCheckBox *autoNextBox = nullptr;
    QLabel *raceFileHelp = nullptr;
    QPushButton *exitButton = nullptr;
    // Pages and orientation.
    QGroupBox *pageGroup = nullptr;
    QRadioButton *trackPageButton = nullptr, *graphPageButton = nullptr, *analysisPageButton = nullptr;
    QGroupBox *orientationGroup = nullptr;
    QRadioButton *northUpButton = nullptr, *windUpButton = nullptr;
    // Display choices.
    QCheckBox *autoTraceBox = nullptr, *laylineBox = nullptr, *comparisonBox = nullptr, *boatNameBox = nullptr,
              *bigBoatBox = nullptr, *speedColourBox = nullptr, *smallScreenBox = nullptr, *tipsBox = nullptr;
    QPushButton *kmlButton = nullptr, *attachmentButton = nullptr;
    // Sea colour.
    QGroupBox *seaGroup = nullptr;
    QScrollBar *seaSlider = nullptr;
    QCheckBox *autoSeaBox = nullptr;
    QPushButton *retouchButton = nullptr;
    // Zoom, speed, language.
    QScrollBar *zoomSlider = nullptr, *speedSlider = nullptr;
    QLabel *speedBox = nullptr;
    QLabel *japaneseFlag = nullptr, *englishFlag = nullptr;

signals:
    void playRequested(int direction);  // +1 forward, -1 backward
    void stopRequested();
    void stepRequested(int direction);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildRaceChoice();
    void buildPageAndViewChoices();
    void buildSeaColourBox();
    void buildSlidersAndFlags();
    void buildPlaybackButtons();

    QLabel *zoomLabel_ = nullptr, *speedLabel_ = nullptr;
    QWidget *playbackBox_ = nullptr;
    // The playback buttons are pictures; the lit ones lie over the plain ones.
    QLabel *forward_ = nullptr, *stop_ = nullptr, *backward_ = nullptr;
    QLabel *forwardLit_ = nullptr, *stopLit_ = nullptr, *backwardLit_ = nullptr;
    QLabel *stepForward_ = nullptr, *stepBack_ = nullptr;
};

}  // namespace keelrun
