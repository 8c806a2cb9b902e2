#include "app/boat_list_panel.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>

#include "app/make_control.h"
#include "playback/boat_list_layout.h"
#include "playback/window_layout.h"
#include "render/painting.h"

namespace keelrun {

BoatListPanel::BoatListPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlBOATlist"));
    setGeometry(0, 0, kColumnWidth, 100);
    setAutoFillBackground(true);
    setMouseTracking(true);
    header_ = makeControl<QLabel>(this, "Label1", {5, 0, kColumnWidth - 18, 12});
    header_->installEventFilter(this);
}

void BoatListPanel::clear()
{
    for (QWidget *w : classBoxes_)
        delete w;
    for (QWidget *w : boatBoxes_)
        delete w;
    classBoxes_.clear();
    boatBoxes_.clear();
    focus_ = FocusList();
}

// The boxes take no keyboard focus and their own clicks are replaced by the
// focus list's: a right or Shift click must not toggle the tick.
static QCheckBox *makeListBox(QWidget *parent, const QString &caption, const QString &objectName, QPoint at,
                              const QString &style)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    box->setGeometry(QRect(at, QSize(kListBoxWidth, kListBoxHeight)));
    box->setStyleSheet(style);
    box->setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(parent);
    box->show();
    return box;
}

void BoatListPanel::rebuild(const RaceState &race)
{
    clear();
    focus_.reset(race);
    const BoatListLayout layout = layoutBoatList(race);
    header_->move(layout.header.x() + 5, layout.header.y());
    for (int c = 1; c <= focus_.classCount(); ++c)
        classBoxes_.push_back(makeListBox(this, race.classes[c].name + QStringLiteral(" class"),
                                          QStringLiteral("classBox%1").arg(c), layout.classBoxes[c],
                                          QStringLiteral("background: white; color: rgb(255, 0, 0);")));
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        boatBoxes_.push_back(makeListBox(this, boat.name, QStringLiteral("boatBox%1").arg(b), layout.boatBoxes[b],
                                         QStringLiteral("background: %1; color: white;").arg(toQColor(boat.colour).name())));
    }
    showFocus();
    neededHeight_ = layout.panelHeight;
}

void BoatListPanel::setCaption(Language language)
{
    header_->setFixedWidth(width() - 18);
    header_->setText(captionFor(Caption::BoatListHeader, language));
}

void BoatListPanel::showFocus()
{
    for (int b = 1; b <= focus_.boatCount(); ++b)
        boatBoxes_[b - 1]->setChecked(focus_.isShown(b));
    for (int c = 1; c <= focus_.classCount(); ++c)
        classBoxes_[c - 1]->setChecked(focus_.isClassTicked(c));
}

void BoatListPanel::tickAll()
{
    focus_.focusAll();
    showFocus();
}

bool BoatListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == header_) {
        if (event->type() == QEvent::Enter) {
            focus_.setHoveredBoat(0);
            pointer_ = Pointer::OnBox;
            emit headerHovered();
        }
        else if (event->type() == QEvent::MouseButtonPress) {
            tickAll();
            emit focusChanged();
        }
        return QWidget::eventFilter(watched, event);
    }
    if (const auto box = std::find(boatBoxes_.begin(), boatBoxes_.end(), watched); box != boatBoxes_.end())
        return onBoatBoxEvent(static_cast<int>(box - boatBoxes_.begin()) + 1, event) || QWidget::eventFilter(watched, event);
    if (const auto box = std::find(classBoxes_.begin(), classBoxes_.end(), watched); box != classBoxes_.end())
        return onClassBoxEvent(static_cast<int>(box - classBoxes_.begin()) + 1, event) || QWidget::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}

// True when the event is handled here and the box must not see it.
bool BoatListPanel::onBoatBoxEvent(int boat, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        focus_.setHoveredBoat(boat);
        pointer_ = Pointer::OnBox;
        emit boatHovered(boat, boatBoxes_[boat - 1]->y());
        return false;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        using Click = FocusList::BoatClick;
        const Click click = mouse->modifiers() & Qt::ShiftModifier ? Click::Highlight
                            : mouse->button() == Qt::RightButton    ? Click::FocusAlone
                                                                    : Click::Toggle;
        focus_.clickBoat(boat, click);
        showFocus();
        emit focusChanged();
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

bool BoatListPanel::onClassBoxEvent(int classIndex, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        pointer_ = Pointer::OnBox;
        emit classHovered(classIndex, classBoxes_[classIndex - 1]->y());
        return false;
    case QEvent::MouseButtonRelease:
        QApplication::beep();
        if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            focus_.focusClassAlone(classIndex);
        else
            focus_.setClassTicked(classIndex, !focus_.isClassTicked(classIndex));
        showFocus();
        emit focusChanged();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

// The pointer on the list between the boxes: nothing is hovered. A box
// passes on the pointer's moves over it; those are not between the boxes.
void BoatListPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (!childAt(event->position().toPoint()) && pointer_ != Pointer::OnPanel) {
        pointer_ = Pointer::OnPanel;
        focus_.setHoveredBoat(0);
        emit panelHovered();
    }
    QWidget::mouseMoveEvent(event);
}

void BoatListPanel::leaveEvent(QEvent *event)
{
    pointer_ = Pointer::Away;
    focus_.setHoveredBoat(0);
    emit hoverEnded();
    QWidget::leaveEvent(event);
}

}  // namespace keelrun
