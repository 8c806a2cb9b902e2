#include "app/edit_panels.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "app/make_control.h"
#include "edit/course_editor.h"
#include "edit/logged_start.h"

namespace keelrun {

CourseEditPanel::CourseEditPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlEDIT1"));
    setGeometry(120, 5, 330, 214);
    setAutoFillBackground(true);
    markTool = makeControl<QRadioButton>(this, "optMK", {5, 5, 140, 18});
    markTool->setText(QStringLiteral("Mark Pos Setting"));
    lineTool = makeControl<QRadioButton>(this, "optLINE", {5, 27, 140, 18});
    lineTool->setText(QStringLiteral("Line Pos Setting"));
    courseTool = makeControl<QRadioButton>(this, "RadioButton9", {5, 49, 140, 18});
    courseTool->setText(QStringLiteral("Course Setting"));
    marks = makeControl<QLineEdit>(this, "Edit1", {150, 5, 175, 20});
    lines = makeControl<QLineEdit>(this, "Edit2", {150, 27, 175, 20});
    course = makeControl<QLineEdit>(this, "Edit3", {150, 49, 175, 20});
    for (QLineEdit *list : {marks, lines, course})
        list->setReadOnly(true);
    resetCourse = makeControl<QPushButton>(this, "Button7", {150, 73, 100, 22});
    resetCourse->setText(QStringLiteral("Reset Course"));
    auto *caption = makeControl<QLabel>(this, "Label11", {5, 100, 200, 18});
    caption->setText(QStringLiteral(" Mean Wind Direction (Mag)"));
    windDirection = makeControl<QSpinBox>(this, "Edit4", {5, 122, 70, 22});
    windDirection->setRange(0, 360);
    windDirectionOk = makeControl<QPushButton>(this, "Button8", {85, 122, 130, 22});
    windDirectionOk->setText(QStringLiteral("Wind Direction OK"));
    loggedStart = makeControl<QLabel>(this, "lblLoggedStart", {5, 148, 320, 34});
    loggedStart->setWordWrap(true);
    takeLoggedStart = makeControl<QPushButton>(this, "btnLoggedStart", {5, 186, 160, 22});
    takeLoggedStart->setText(QStringLiteral("Take Logger Start"));
    hide();
}

void CourseEditPanel::showRace(const RaceState &race)
{
    marks->setText(markListText(race));
    lines->setText(lineListText(race));
    course->setText(courseListText(race));
    windDirection->setValue(race.windDirectionValue);
    const FleetLoggedStart logged = fleetLoggedStart(race);
    loggedStart->setText(loggedStartSummary(race, logged));
    loggedStart->setToolTip(loggedStart->text());
    takeLoggedStart->setEnabled(logged.any());
}

void CourseEditPanel::clearTool()
{
    for (QRadioButton *tool : {markTool, lineTool, courseTool}) {
        tool->setAutoExclusive(false);
        tool->setChecked(false);
        tool->setAutoExclusive(true);
    }
}

WindEditPanel::WindEditPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlEDIT2"));
    setGeometry(5, 5, 150, 80);
    setAutoFillBackground(true);
    makeWind = makeControl<QCheckBox>(this, "CheckBox5", {5, 5, 140, 18});
    makeWind->setText(QStringLiteral("Make Wind Data"));
    saveWind = makeControl<QPushButton>(this, "Button9", {5, 28, 140, 22});
    saveWind->setText(QStringLiteral("Save Wind Data"));
    saveWind->setEnabled(false);
    clearWind = makeControl<QPushButton>(this, "Button6", {5, 53, 140, 22});
    clearWind->setText(QStringLiteral("Clear Wind Data"));
    hide();
}

WindMarkerShapes::WindMarkerShapes(QWidget *parent)
{
    const char *names[] = {"Shape1", "Shape2", "Shape3"};
    const char *styles[] = {"background: rgb(0, 128, 0); border: 1px solid white;",
                            "background: rgb(255, 0, 0); border: 1px solid white;",
                            "background: rgb(255, 255, 0); border: 1px solid red;"};
    for (int i = 0; i < 3; ++i) {
        shapes_[i] = makeControl<QLabel>(parent, names[i], {0, 0, 5, 20});
        shapes_[i]->setStyleSheet(QString::fromLatin1(styles[i]));
        shapes_[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        shapes_[i]->hide();
    }
}

void WindMarkerShapes::setVisible(bool visible)
{
    for (QLabel *shape : shapes_) {
        shape->setVisible(visible);
        shape->raise();
    }
}

void WindMarkerShapes::follow(const WindMarkers &m)
{
    shapes_[0]->move(m.closeHauledLeft, m.top);
    shapes_[1]->move(m.closeHauledRight, m.top);
    shapes_[2]->move(m.downwind, m.top);
}

}  // namespace keelrun
