#pragma once
// The organiser's panels, shown only in edit mode: over the stopped map the
// course panel (which Shift-click tool, the marks, lines and course so far,
// the mean wind direction, the start the boats' timers recorded), over the Graph page the wind panel (make, save
// or clear wind records), and the three markers that follow the pointer
// while wind records are made.

#include <QWidget>

#include "edit/wind_edit.h"
#include "model/race_state.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace keelrun {

class CourseEditPanel : public QWidget {
    Q_OBJECT
public:
    explicit CourseEditPanel(QWidget *parent);
    // The lists and the wind direction as the race stands.
    void showRace(const RaceState &race);
    // No tool chosen.
    void clearTool();

    QRadioButton *markTool = nullptr;    // "Mark Pos Setting"
    QRadioButton *lineTool = nullptr;    // "Line Pos Setting"
    QRadioButton *courseTool = nullptr;  // "Course Setting"
    QLineEdit *marks = nullptr, *lines = nullptr, *course = nullptr;
    QPushButton *resetCourse = nullptr;  // "Reset Course"
    QSpinBox *windDirection = nullptr;   // magnetic, 0..360
    QPushButton *windDirectionOk = nullptr;
    QLabel *loggedStart = nullptr;            // what the boats' start timers recorded
    QPushButton *takeLoggedStart = nullptr;   // "Take Logger Start"
};

class WindEditPanel : public QWidget {
    Q_OBJECT
public:
    explicit WindEditPanel(QWidget *parent);

    QCheckBox *makeWind = nullptr;    // "Make Wind Data"
    QPushButton *saveWind = nullptr;  // "Save Wind Data"
    QPushButton *clearWind = nullptr; // "Clear Wind Data"
};

// The close-hauled and downwind markers over the Graph page.
class WindMarkerShapes {
public:
    explicit WindMarkerShapes(QWidget *parent);
    void setVisible(bool visible);
    void follow(const WindMarkers &markers);

private:
    QLabel *shapes_[3] = {};
};

}  // namespace keelrun
