// The map's mouse tools and the organiser's editing: what the pointer over
// the map area sets and says, clicks on the stopped map (zoom, range and
// bearing, Shift-click edits), wind records drawn on the Graph page, and the
// race file rewritten with the edits.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "app/control_panel.h"
#include "app/edit_panels.h"
#include "app/main_window.h"
#include "app/make_control.h"
#include "app/map_canvas.h"
#include "app/playback_controller.h"
#include "edit/logged_start.h"
#include "edit/map_pointer.h"
#include "edit/wind_edit.h"
#include "io/wind_file.h"
#include "render/painting.h"
#include "render/wind_graph.h"

namespace keelrun {
namespace {

// The tip on what the pointer's place does stands under the start flags.
constexpr int kZoneTipTop = 70;

}  // namespace

void MainWindow::buildEditing()
{
    courseEditPanel_ = new CourseEditPanel(this);
    windEditPanel_ = new WindEditPanel(this);
    windMarkers_ = std::make_unique<WindMarkerShapes>(this);
    pointerLabel_ = makeControl<QLabel>(this, "Memo6", {0, 0, 40, 17});
    pointerLabel_->setStyleSheet(QStringLiteral("background: white; color: black;"));
    pointerLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    pointerLabel_->hide();

    connect(mapCanvas_, &MapCanvas::clicked, this, &MainWindow::onMapClicked);
    connect(mapCanvas_, &MapCanvas::pointerMoved, this, &MainWindow::onMapPointerMoved);
    connect(mapCanvas_, &MapCanvas::pointerLeft, this, &MainWindow::onMapPointerLeft);
    CourseEditPanel *c = courseEditPanel_;
    const std::pair<QRadioButton *, EditTool> tools[] = {
        {c->markTool, EditTool::Marks}, {c->lineTool, EditTool::LineStart}, {c->courseTool, EditTool::Course}};
    for (const auto &[button, tool] : tools)
        connect(button, &QRadioButton::clicked, this, [this, tool = tool] { editor_.setTool(tool); });
    connect(c->resetCourse, &QPushButton::clicked, this, [this] {
        editor_.resetCourse(race_);
        refreshEditPanel();
        showCourseDiagram();
    });
    connect(c->windDirectionOk, &QPushButton::clicked, this, &MainWindow::applyWindDirection);
    connect(c->takeLoggedStart, &QPushButton::clicked, this, &MainWindow::askToTakeLoggedStart);
    WindEditPanel *w = windEditPanel_;
    connect(w->makeWind, &QCheckBox::clicked, this, &MainWindow::onMakeWindClicked);
    connect(w->saveWind, &QPushButton::clicked, this, &MainWindow::saveWindRecords);
    connect(w->clearWind, &QPushButton::clicked, this, [this] {
        race_.windSamples.resize(1);
        drawPage();
    });
}

// The course panel over the stopped map, the wind panel over the Graph
// page, in edit mode only.
void MainWindow::showEditPanels()
{
    const bool editing = catalogue_.editMode && race_.boatCount > 0 && !isLoading();
    const Page page = currentPage();
    courseEditPanel_->setVisible(editing && page == Page::Track && !controls_->autoTraceBox->isChecked());
    windEditPanel_->setVisible(editing && page == Page::Graph);
    courseEditPanel_->raise();
    windEditPanel_->raise();
}

void MainWindow::refreshEditPanel()
{
    courseEditPanel_->showRace(race_);
    autoNext_ = false;
    controls_->autoNextBox->setChecked(false);
}

// The position under a pixel of the map as it was last drawn: the
// replay's frame, or the course diagram when stopped.
GeoPoint MainWindow::mapPosition(QPoint at) const
{
    const MapView &view = controls_->autoTraceBox->isChecked() ? playback_->frame().view : diagramView_;
    return unprojectPoint(at, view);
}

void MainWindow::onMapClicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const Page page = currentPage();
    if (page == Page::Graph && catalogue_.editMode && editor_.tool() == EditTool::Wind) {
        addWindRecord(at);
        return;
    }
    if (!showsCourseDiagram() || !(modifiers & Qt::ShiftModifier))
        return;
    const GeoPoint p = mapPosition(at);
    if (!catalogue_.editMode || editor_.tool() == EditTool::None) {
        rangeBase_ = RangeBase{p, at};
        return;
    }
    const NearestCoursePoint nearest = nearestCoursePoint(race_, diagramView_, at);
    const EditOutcome outcome = editor_.click(race_, p, button == Qt::LeftButton, nearest);
    if (outcome.changed) {
        showCourseDiagram();
        refreshEditPanel();
    }
    if (!outcome.refusal.isEmpty()) {  // a full table takes no more
        QApplication::beep();
        reportProblems(outcome.refusal, {});
    }
}

// One record at the clicked time and direction, joined to the previous one
// by a red line on the Graph page (the first from the graph's foot).
void MainWindow::addWindRecord(QPoint at)
{
    const auto record = windRecordAt(race_, at, pageBitmap_.width(), height());
    if (record) {
        race_.windSamples.push_back(*record);
        QPainter p(&pageBitmap_);
        p.setPen(QPen(QColor(255, 0, 0), 2));
        if (race_.windSampleCount() == 1)
            windPen_ = QPoint(at.x(), 40 + height() - 77);
        p.drawLine(windPen_, at);
        windPen_ = at;
        mapCanvas_->setPicture(&pageBitmap_);
    }
    windEditPanel_->saveWind->setEnabled(race_.windSampleCount() > 0);
}

void MainWindow::onMakeWindClicked(bool ticked)
{
    editor_.setTool(ticked ? EditTool::Wind : EditTool::None);
    windMarkers_->setVisible(ticked);
    if (ticked)
        race_.windSamples.resize(1);  // drawing starts afresh
}

void MainWindow::saveWindRecords()
{
    windMarkers_->setVisible(false);
    if (race_.windSampleCount() == 0) {
        reportProblems(QStringLiteral("No Wind Data"), {});
        return;
    }
    // A wind file made elsewhere (a recording of the wind, say) is replaced
    // only when the organiser says so, and kept beside it.
    const QString path = folder_.path(SubFolder::Wind, windFileNameFor(race_));
    if (QFile::exists(path) && !backedUp_.contains(path)) {
        auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("Race Admin Data"),
                                    QStringLiteral("%1 was not made in this session. Replace it? The file as it is will be kept as %2.")
                                        .arg(QDir(folder_.root()).relativeFilePath(path), QFileInfo(path).fileName() + QStringLiteral(".bak")),
                                    QMessageBox::Yes | QMessageBox::No, this);
        box->setObjectName(QStringLiteral("replaceWindQuestion"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        connect(box, &QMessageBox::finished, this, [this, path](int button) {
            if (button != QMessageBox::Yes)
                return;
            if (const QString error = backUpOnce(path, backedUp_); !error.isEmpty()) {
                reportProblems(error, {});
                return;
            }
            writeWindRecords();
        });
        box->open();
        return;
    }
    writeWindRecords();
}

void MainWindow::writeWindRecords()
{
    if (const QString error = writeWindFile(race_, folder_); !error.isEmpty()) {
        reportProblems(error, {});
        return;
    }
    backedUp_ << folder_.path(SubFolder::Wind, race_.windFile);  // this session's own from now on
    editor_.windFileSaved();
    rewriteRaceFileWithEdits();
    pictures_ = mapPictures(race_, controls_->northUpButton->isChecked());
    windEditPanel_->makeWind->setChecked(false);
    editor_.setTool(EditTool::None);
    drawPage();
}

// "Wind Direction OK": the typed magnetic direction, the map stopped and
// redrawn for it, and the race file rewritten.
void MainWindow::applyWindDirection()
{
    editor_.setWindDirection(race_, courseEditPanel_->windDirection->value());
    // The compass of a wind-up map turns with the new wind before the map is drawn.
    pictures_ = mapPictures(race_, controls_->northUpButton->isChecked());
    redrawOverview();
    controls_->autoTraceBox->setChecked(false);
    onAutoTraceClicked(false);
    refreshEditPanel();
    rewriteRaceFileWithEdits();
}

// "Take Logger Start": after a yes, the gun and the start line the boats'
// start timers recorded become the race's; the race file is rewritten and,
// the race clock having moved, the race loaded again.
void MainWindow::askToTakeLoggedStart()
{
    const FleetLoggedStart logged = fleetLoggedStart(race_);
    if (!logged.any())
        return;
    auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("Race Admin Data"),
                                loggedStartSummary(race_, logged) +
                                    QStringLiteral(".\nTake them as the race's gun and start line? The race file is "
                                                   "rewritten and the race loaded again."),
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setObjectName(QStringLiteral("loggedStartQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this](int button) {
        if (button == QMessageBox::Yes)
            takeLoggedStart();
    });
    box->open();
}

void MainWindow::takeLoggedStart()
{
    const EditOutcome outcome = editor_.takeLoggedStart(race_, fleetLoggedStart(race_));
    if (!outcome.refusal.isEmpty()) {
        reportProblems(outcome.refusal, {});
        return;
    }
    if (!outcome.changed)
        return;
    if (const QString error = writeEdits(); !error.isEmpty()) {
        reportProblems(error, {});
        return;
    }
    const QString path = race_.raceFilePath;  // the load clears the race it is read from
    loadRace(path);
}

// The edits into the race file, the file as it was kept beside it the
// first time this session; empty, or why it could not be written.
QString MainWindow::writeEdits()
{
    if (!editor_.edits().any())
        return {};
    if (QString error = backUpOnce(race_.raceFilePath, backedUp_); !error.isEmpty())
        return error;
    if (QString error = rewriteRaceFile(race_, editor_.edits()); !error.isEmpty())
        return error;
    editor_.forget();
    return {};
}

void MainWindow::rewriteRaceFileWithEdits()
{
    if (const QString error = writeEdits(); !error.isEmpty())
        reportProblems(error, {});
}

// Whether the window may close now: yes, unless edits are not yet written.
// Then it asks, and closes itself once they are written or given up.
bool MainWindow::mayClose()
{
    if (isLoading() || !catalogue_.editMode || !editor_.edits().any())
        return true;
    settleEditsThen(Leaving::Window, [this] { close(); });
    return false;
}

// Runs `next` (closing the window, showing another race) once the edits not
// yet in the race file are written or given up; at once when there are none.
// Cancel leaves everything as it is.
void MainWindow::settleEditsThen(Leaving leaving, const std::function<void()> &next)
{
    if (!catalogue_.editMode || !editor_.edits().any()) {
        next();
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("Race Admin Data"),
                                QStringLiteral("Rewrite File? (instead of old data)"),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box->setObjectName(QStringLiteral("rewriteQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, leaving, next](int button) {
        if (button == QMessageBox::Yes) {
            writeEditsThen(leaving, next);
        } else if (button == QMessageBox::No) {
            editor_.forget();
            next();
        }
    });
    box->open();
}

// A rewrite that fails keeps the window and the edits, says why, and offers
// to try again, to save the race file elsewhere, or to go on without saving.
void MainWindow::writeEditsThen(Leaving leaving, const std::function<void()> &next)
{
    const QString error = writeEdits();
    if (error.isEmpty()) {
        next();
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Race Admin Data"),
                                QStringLiteral("The race file could not be written:\n%1\nThe edits are kept until you choose.").arg(error),
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("rewriteFailed"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *retry = box->addButton(QStringLiteral("Try Again"), QMessageBox::AcceptRole);
    QPushButton *elsewhere = box->addButton(QStringLiteral("Save Elsewhere..."), QMessageBox::ActionRole);
    QPushButton *discard = box->addButton(
        leaving == Leaving::Window ? QStringLiteral("Close Without Saving") : QStringLiteral("Go On Without Saving"),
        QMessageBox::DestructiveRole);
    box->addButton(QMessageBox::Cancel);
    connect(box, &QMessageBox::buttonClicked, this, [this, leaving, next, retry, elsewhere, discard](QAbstractButton *clicked) {
        if (clicked == retry) {
            writeEditsThen(leaving, next);
        } else if (clicked == elsewhere) {
            saveEditsElsewhere(next);
        } else if (clicked == discard) {
            editor_.forget();
            next();
        }
    });
    box->open();
}

void MainWindow::saveEditsElsewhere(const std::function<void()> &next)
{
    auto *dialog = new QFileDialog(this, QStringLiteral("Race Admin Data"), race_.raceFilePath);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this, next](const QString &path) {
        if (const QString error = rewriteRaceFile(race_, editor_.edits(), path); !error.isEmpty()) {
            reportProblems(error, {});
            return;
        }
        editor_.forget();
        next();
    });
    dialog->open();
}

void MainWindow::onMapPointerMoved(QPoint at, Qt::KeyboardModifiers modifiers)
{
    const Page page = currentPage();
    const bool stopped = !controls_->autoTraceBox->isChecked();
    const QSize map = mapSize_;
    if (editor_.tool() == EditTool::Wind && page == Page::Graph)
        windMarkers_->follow(windMarkers(at, map.width()));
    const PointerZones before = pointer_;
    pointer_ = pointerZones(at, map, !stopped, controls_->boatNameBox->isChecked());
    const bool shift = modifiers & Qt::ShiftModifier;
    if (!shift)
        rangeBase_.reset();
    showPositionInCaption(at);
    bool tipShown = false;
    if (page == Page::Track && stopped) {
        mapCanvas_->setPicture(&mapBitmap_);
        const Tip tip = fitted(mapMouseTip(editor_.tool(), language_));
        if (!tip.text.isEmpty()) {
            const int y = at.y() - tip.size.height() - 100;
            showTip(tip, QPoint(std::max(0, at.x() - tip.size.width() / 2), y < 0 ? at.y() + 100 : y));
            tipShown = controls_->tipsBox->isChecked();
        }
        if (shift && showPointerTools(at))
            return;
    }
    if (page_)
        showPagePointer(at);
    if (page == Page::Track && !stopped) {
        const Tip tip = fitted(pointerZoneTip(pointer_, language_));
        showTip(tip, QPoint(map.width() - tip.size.width() - 5, kZoneTipTop));
        tipShown = true;
    }
    if (!tipShown)
        tipBox_->hide();
    // A paused replay shows the new labels at once; a playing one next frame.
    if (!stopped && !playback_->isTicking() && page == Page::Track && !(before == pointer_))
        drawFrame();
}

// Shift over the stopped map: range and bearing from the base point, or in
// edit mode the mark or line end a Shift-click would take. True when the
// pointer's label shows.
bool MainWindow::showPointerTools(QPoint at)
{
    if (!catalogue_.editMode) {
        QString text;
        if (rangeBase_) {
            text = rangeBearingText(rangeBase_->position, mapPosition(at), race_);
            hoverPicture_ = mapBitmap_.copy();
            QPainter p(&hoverPicture_);
            p.setPen(QPen(QColor(255, 0, 0), 2));
            p.drawLine(rangeBase_->pixel, at);
            mapCanvas_->setPicture(&hoverPicture_);
        } else {
            text = isJapanese(language_) ? QStringLiteral(u"基点の位置をクリック") : QStringLiteral("Click to set base point");
        }
        pointerLabel_->setGeometry(at.x() + 10, at.y() - 20, rangeBase_ ? 200 : 180, 17);
        pointerLabel_->setText(text);
        pointerLabel_->show();
        pointerLabel_->raise();
        return true;
    }
    const NearestCoursePoint nearest = nearestCoursePoint(race_, diagramView_, at);
    pointerLabel_->setVisible(nearest.labelShown);
    if (nearest.labelShown) {
        pointerLabel_->setGeometry(at.x(), at.y() - 25, 40, 17);
        pointerLabel_->setText(nearest.label);
        pointerLabel_->raise();
    }
    return false;
}

// The race title with the position under the pointer on the map.
void MainWindow::showPositionInCaption(QPoint at)
{
    if (race_.boatCount == 0 || isLoading())
        return;
    if (currentPage() != Page::Track) {
        setWindowTitle(race_.title + QString(5, QLatin1Char(' ')) + race_.note);
        return;
    }
    if (smallScreen_ != SmallScreen::Off) {
        setWindowTitle(race_.title);
        return;
    }
    const GeoPoint p = mapPosition(at);
    setWindowTitle(race_.title + QString(7, QLatin1Char(' ')) + latitudeText(p.lat) + QString(4, QLatin1Char(' ')) +
                   longitudeText(p.lon) + QString(6, QLatin1Char(' ')) + race_.note);
}

// Away from the map the pointer tools rest.
void MainWindow::onMapPointerLeft()
{
    pointer_ = {};
    pointer_.labelLevel = controls_->boatNameBox->isChecked() ? 1 : 0;
    pointerLabel_->hide();
    if (race_.boatCount > 0 && !isLoading())
        setWindowTitle(race_.title);
    if (currentPage() == Page::Track)
        mapCanvas_->setPicture(&mapBitmap_);
    else
        mapCanvas_->setPicture(&pageBitmap_);
}

}  // namespace keelrun
