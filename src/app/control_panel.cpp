#include "app/control_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "render/pictures.h"
#include "view/window_layout.h"

namespace keelrun {
namespace {

constexpr QSize kFlagSize(34, 23);

QScrollBar *makeSlider(QWidget *parent, const char *name, QRect geometry, int maximum)
{
    auto *slider = makeControl<QScrollBar>(parent, name, geometry);
    slider->setOrientation(Qt::Horizontal);
    slider->setRange(0, maximum);
    return slider;
}

}  // namespace

ControlPanel::ControlPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlCTRL"));
    setGeometry(0, 0, kColumnWidth, kControlPanelHeight);
    setAutoFillBackground(true);
    QFont compact = font();
    compact.setPixelSize(10);  // the controls' sizes are fixed; their texts must fit
    setFont(compact);
    buildRaceChoice();
    buildPageAndViewChoices();
    buildSeaColourBox();
    buildSlidersAndFlags();
    buildPlaybackButtons();
}

void ControlPanel::buildRaceChoice()
{
    raceFileLabel = makeControl<QLabel>(this, "Label5", {12, 12, 126, 12});
    raceChooser = makeControl<QComboBox>(this, "ComboBox1", {11, 28, 167, 20});
    autoNextBox = makeControl<QCheckBox>(this, "chkAutoNext", {182, 7, 72, 16});
    raceFileHelp = makeControl<QLabel>(this, "Label12", {154, 9, 20, 14});
    raceFileHelp->setText(QStringLiteral("?"));
    raceFileHelp->setCursor(Qt::PointingHandCursor);
    exitButton = makeControl<QPushButton>(this, "Button1", {207, 195, 44, 49});
    exitButton->setText(QStringLiteral("EXIT"));
    showRaceButton = makeControl<QPushButton>(this, "Button4", {183, 28, 73, 19});
    tipsBox = makeControl<QCheckBox>(this, "chkHint", {0, 0, 86, 16});
    tipsBox->setChecked(true);
    tipsBox->hide();
}

// Page choice, orientation, the display check boxes and two buttons.
void ControlPanel::buildPageAndViewChoices()
{
    pageGroup = makeControl<QGroupBox>(this, "GroupBox2", {12, 56, 65, 55});
    trackPageButton = makeControl<QRadioButton>(pageGroup, "RadioButton1", {4, 4, 60, 16});
    graphPageButton = makeControl<QRadioButton>(pageGroup, "RadioButton2", {4, 20, 60, 16});
    analysisPageButton = makeControl<QRadioButton>(pageGroup, "RadioButton3", {4, 36, 60, 16});
    trackPageButton->setChecked(true);
    orientationGroup = makeControl<QGroupBox>(this, "GroupBox1", {83, 56, 80, 45});
    northUpButton = makeControl<QRadioButton>(orientationGroup, "RadioN", {4, 14, 74, 14});
    windUpButton = makeControl<QRadioButton>(orientationGroup, "RadioW", {4, 29, 74, 14});
    northUpButton->setChecked(true);

    // A column of check boxes, row on row, and the two buttons under them,
    // wide enough for "Speed Colours" and down to just above the flags.
    const std::pair<QCheckBox **, const char *> boxes[] = {
        {&autoTraceBox, "CheckBox1"},  {&laylineBox, "chkLL"},           {&comparisonBox, "ChkRefLine"},
        {&boatNameBox, "CheckBox2"},   {&bigBoatBox, "ChkBigBoat"},      {&speedColourBox, "ChkSpeedColour"},
        {&smallScreenBox, "CheckBox4"}};
    constexpr int left = 164, width = 98, top = 49, rowHeight = 16;
    int row = 0;
    for (const auto &[box, name] : boxes)
        *box = makeControl<QCheckBox>(this, name, {left, top + rowHeight * row++, width, rowHeight});
    autoTraceBox->setChecked(true);
    kmlButton = makeControl<QPushButton>(this, "Button3", {left, top + rowHeight * row, width, rowHeight});
    kmlButton->setText(QStringLiteral("KML"));
    attachmentButton = makeControl<QPushButton>(this, "Button2", {left, top + rowHeight * row + rowHeight + 1, width, rowHeight});
}

void ControlPanel::buildSeaColourBox()
{
    seaGroup = makeControl<QGroupBox>(this, "GroupBox4", {83, 109, 71, 78});
    seaSlider = makeSlider(seaGroup, "ScrollBar3", {4, 6, 63, 16}, 100);
    autoSeaBox = makeControl<QCheckBox>(seaGroup, "CheckBox3", {4, 26, 63, 16});
    autoSeaBox->setText(QStringLiteral("AUTO"));
    retouchButton = makeControl<QPushButton>(seaGroup, "Button5", {4, 50, 63, 20});
}

void ControlPanel::buildSlidersAndFlags()
{
    zoomLabel_ = makeControl<QLabel>(this, "Label3", {11, 198, 32, 12});
    zoomLabel_->setText(QStringLiteral("ZOOM"));
    zoomSlider = makeSlider(this, "ScrollBar2", {48, 197, 106, 16}, 100);
    japaneseFlag = makeControl<QLabel>(this, "jpn", {165, 194, kFlagSize.width(), kFlagSize.height()});
    japaneseFlag->setPixmap(QPixmap::fromImage(keelrun::japaneseFlag(kFlagSize)));
    englishFlag = makeControl<QLabel>(this, "usa", {165, 194, kFlagSize.width(), kFlagSize.height()});
    englishFlag->setPixmap(QPixmap::fromImage(keelrun::englishFlag(kFlagSize)));
    speedLabel_ = makeControl<QLabel>(this, "Label2", {9, 226, 36, 12});
    speedLabel_->setText(QStringLiteral("SPEED"));
    speedSlider = makeSlider(this, "ScrollBar1", {48, 225, 106, 16}, 136);
    speedBox = makeControl<QLabel>(this, "Memo2", {162, 224, 42, 19});
    speedBox->setFrameShape(QFrame::Box);
}

// Forward, stop and backward over each other with their lit versions in the
// same places, and the single steps beside them.
void ControlPanel::buildPlaybackButtons()
{
    playbackBox_ = makeControl<QWidget>(this, "pnlDIR", {10, 116, 69, 72});
    struct Button {
        QLabel **target;
        const char *name;
        PlaybackPicture picture;
        bool lit;
        QRect place;
    };
    const Button buttons[] = {
        {&forward_, "up_f", PlaybackPicture::Forward, false, {8, 17, 21, 16}},
        {&forwardLit_, "up_t", PlaybackPicture::Forward, true, {8, 17, 21, 16}},
        {&stop_, "stop_f", PlaybackPicture::Stop, false, {8, 36, 21, 16}},
        {&stopLit_, "stop_t", PlaybackPicture::Stop, true, {8, 36, 21, 16}},
        {&backward_, "dn_f", PlaybackPicture::Backward, false, {8, 55, 21, 16}},
        {&backwardLit_, "dn_t", PlaybackPicture::Backward, true, {8, 55, 21, 16}},
        {&stepForward_, "plus", PlaybackPicture::StepForward, false, {35, 17, 21, 10}},
        {&stepBack_, "minus", PlaybackPicture::StepBack, false, {35, 55, 21, 10}},
    };
    for (const Button &b : buttons) {
        *b.target = makeControl<QLabel>(playbackBox_, b.name, b.place);
        (*b.target)->setPixmap(QPixmap::fromImage(playbackPicture(b.picture, b.lit)));
        (*b.target)->setCursor(Qt::PointingHandCursor);
        (*b.target)->installEventFilter(this);
    }
}

bool ControlPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    if (watched == forward_ || watched == forwardLit_)
        emit playRequested(+1);
    else if (watched == backward_ || watched == backwardLit_)
        emit playRequested(-1);
    else if (watched == stop_)
        emit stopRequested();
    else if (watched == stepForward_)
        emit stepRequested(+1);
    else if (watched == stepBack_)
        emit stepRequested(-1);
    else
        return QWidget::eventFilter(watched, event);
    return true;
}

void ControlPanel::lightDirection(int direction)
{
    forwardLit_->setVisible(direction > 0);
    stopLit_->setVisible(direction == 0);
    backwardLit_->setVisible(direction < 0);
}

void ControlPanel::showPlaySpeed(double playSpeed)
{
    speedBox->setText(QString::number(qRound(playSpeed)) + QStringLiteral("X"));
}

void ControlPanel::setCaptions(Language language)
{
    const std::pair<QWidget *, Caption> captions[] = {
        {raceFileLabel, Caption::RaceFileName}, {orientationGroup, Caption::Orientation},
        {northUpButton, Caption::NorthUp},      {windUpButton, Caption::WindUp},
        {autoNextBox, Caption::AutoNext},       {showRaceButton, Caption::Show},
        {trackPageButton, Caption::TrackPage},  {graphPageButton, Caption::GraphPage},
        {analysisPageButton, Caption::AnalysisPage}, {autoTraceBox, Caption::AutoTrace},
        {laylineBox, Caption::Layline},         {comparisonBox, Caption::ComparisonLine},
        {boatNameBox, Caption::BoatName},       {bigBoatBox, Caption::BoatSize},
        {speedColourBox, Caption::SpeedColours},
        {tipsBox, Caption::Tips},               {attachmentButton, Caption::Attachment},
        {retouchButton, Caption::Retouch},      {smallScreenBox, Caption::SmallScreen}};
    for (const auto &[control, caption] : captions) {
        const QString text = captionFor(caption, language);
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            button->setText(text);
        else if (auto *label = qobject_cast<QLabel *>(control))
            label->setText(text);
        else if (auto *group = qobject_cast<QGroupBox *>(control))
            group->setTitle(text);
    }
}

}  // namespace keelrun
