#include "app/boat_list_panel.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>

#include "app/make_control.h"
#include "render/painting.h"
#include "view/boat_list_layout.h"
#include "view/window_layout.h"

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
    boatColours_.clear();
    focus_ = FocusList();
}

namespace {

// A font whose lines fit the list's rows.
constexpr int kListFontPixels = 11;
// Room the tick takes before the text.
constexpr int kTickWidth = 18;

// The highlighted boat is ringed in red, a watched one in dashes.
enum class Ring { None, Highlighted, Watched };

QString boxStyle(const QColor &background, const QColor &text, Ring ring)
{
    const QString border = ring == Ring::Highlighted ? QStringLiteral("2px solid red")
                           : ring == Ring::Watched   ? QStringLiteral("2px dashed red")
                                                     : QStringLiteral("none");
    return QStringLiteral("QCheckBox { background: %1; color: %2; font-size: %3px; border: %4; }")
        .arg(background.name(), text.name())
        .arg(kListFontPixels)
        .arg(border);
}

// The boxes take no keyboard focus and their own clicks are replaced by the
// focus list's: a right or Shift click must not toggle the tick. A caption
// longer than the box ends in an ellipsis; the whole of it is the box's
// tip.
QCheckBox *makeListBox(QWidget *parent, const QString &caption, const QString &objectName, QRect at, const QString &style)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(objectName);
    box->setGeometry(at);
    box->setStyleSheet(style);
    box->ensurePolished();
    box->setText(box->fontMetrics().elidedText(caption, Qt::ElideRight, at.width() - kTickWidth));
    box->setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(parent);
    box->show();
    return box;
}

}  // namespace

void BoatListPanel::rebuild(const RaceState &race)
{
    clear();
    focus_.reset(race);
    const BoatListLayout layout = layoutBoatList(race);
    header_->move(layout.header.x() + 5, layout.header.y());
    // A class box reaches to the panel's edge: class names are long.
    for (int c = 1; c <= focus_.classCount(); ++c) {
        const QPoint at = layout.classBoxes[c];
        classBoxes_.push_back(makeListBox(this, race.classes[c].name + QStringLiteral(" class"),
                                          QStringLiteral("classBox%1").arg(c),
                                          QRect(at, QSize(kColumnWidth - at.x() - 5, kListBoxHeight)),
                                          boxStyle(Qt::white, QColor(255, 0, 0), Ring::None)));
    }
    for (int b = 1; b <= race.boatCount; ++b) {
        const QColor colour = toQColor(race.boats[b].colour);
        boatBoxes_.push_back(makeListBox(this, race.boats[b].name, QStringLiteral("boatBox%1").arg(b),
                                         QRect(layout.boatBoxes[b], QSize(kListBoxWidth, kListBoxHeight)),
                                         boxStyle(colour, textColourOn(colour), Ring::None)));
        boatColours_.push_back(colour);
    }
    showFocus();
    neededHeight_ = layout.panelHeight;
}

void BoatListPanel::setCaption(Language language)
{
    header_->setFixedWidth(width() - 18);
    header_->setText(captionFor(Caption::BoatListHeader, language));
}

// Ticks as the focus stands; the boat highlighted with Shift ringed in red.
void BoatListPanel::showFocus()
{
    for (int b = 1; b <= focus_.boatCount(); ++b) {
        QCheckBox *box = boatBoxes_[b - 1];
        box->setChecked(focus_.isShown(b));
        const QColor colour = boatColours_[b - 1];
        const Ring ring = focus_.selectedBoat() == b ? Ring::Highlighted : focus_.isWatched(b) ? Ring::Watched : Ring::None;
        const QString style = boxStyle(colour, textColourOn(colour), ring);
        if (box->styleSheet() != style)
            box->setStyleSheet(style);
    }
    for (int c = 1; c <= focus_.classCount(); ++c)
        classBoxes_[c - 1]->setChecked(focus_.isClassTicked(c));
}

void BoatListPanel::tickAll()
{
    focus_.focusAll();
    showFocus();
}

void BoatListPanel::chooseLiveBoats(const std::vector<int> &boats)
{
    for (std::size_t i = 0; i < boats.size(); ++i)
        focus_.clickBoat(boats[i], i == 0 ? FocusList::BoatClick::Highlight : FocusList::BoatClick::Watch);
    showFocus();
    emit focusChanged();
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
        const Click click = mouse->modifiers() & Qt::ShiftModifier     ? Click::Highlight
                            : mouse->modifiers() & Qt::ControlModifier ? Click::Watch
                            : mouse->button() == Qt::RightButton        ? Click::FocusAlone
                                                                        : Click::Toggle;
        focus_.clickBoat(boat, click);
        showFocus();
        emit focusChanged();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        emit boatDoubleClicked(boat);
        return true;
    case QEvent::MouseButtonRelease:
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
