#include "app/boat_list_panel.h"

#include <algorithm>

#include <QCheckBox>
#include <QEvent>
#include <QLabel>

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
    header_ = makeControl<QLabel>(this, "Label1", {5, 0, kColumnWidth - 18, 12});
}

void BoatListPanel::clear()
{
    for (QWidget *w : classBoxes_)
        delete w;
    for (QWidget *w : boatBoxes_)
        delete w;
    classBoxes_.clear();
    boatBoxes_.clear();
}

void BoatListPanel::rebuild(const RaceState &race)
{
    clear();
    const BoatListLayout layout = layoutBoatList(race);
    header_->move(layout.header.x() + 5, layout.header.y());
    for (int c = 1; c <= race.classCount; ++c) {
        auto *box = new QCheckBox(race.classes[c].name + QStringLiteral(" class"), this);
        box->setObjectName(QStringLiteral("classBox%1").arg(c));
        box->setGeometry(QRect(layout.classBoxes[c], QSize(kListBoxWidth, kListBoxHeight)));
        box->setStyleSheet(QStringLiteral("background: white; color: rgb(255, 0, 0);"));
        box->setChecked(true);
        box->show();
        classBoxes_.push_back(box);
    }
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        auto *box = new QCheckBox(boat.name, this);
        box->setObjectName(QStringLiteral("boatBox%1").arg(b));
        box->setGeometry(QRect(layout.boatBoxes[b], QSize(kListBoxWidth, kListBoxHeight)));
        box->setStyleSheet(QStringLiteral("background: %1; color: white;").arg(toQColor(boat.colour).name()));
        box->setChecked(boat.shown == 1);
        box->installEventFilter(this);
        connect(box, &QCheckBox::clicked, this, &BoatListPanel::ticksChanged);
        box->show();
        boatBoxes_.push_back(box);
    }
    neededHeight_ = layout.panelHeight;
}

void BoatListPanel::setCaption(Language language)
{
    header_->setFixedWidth(width() - 18);
    header_->setText(captionFor(Caption::BoatListHeader, language));
}

std::vector<bool> BoatListPanel::shown() const
{
    std::vector<bool> ticked(boatBoxes_.size() + 1, false);
    for (std::size_t i = 0; i < boatBoxes_.size(); ++i)
        ticked[i + 1] = boatBoxes_[i]->isChecked();
    return ticked;
}

bool BoatListPanel::eventFilter(QObject *watched, QEvent *event)
{
    const auto box = std::find(boatBoxes_.begin(), boatBoxes_.end(), watched);
    if (box != boatBoxes_.end() && event->type() == QEvent::Enter)
        emit boatHovered(static_cast<int>(box - boatBoxes_.begin()) + 1);
    else if (box != boatBoxes_.end() && event->type() == QEvent::Leave)
        emit hoverEnded();
    return QWidget::eventFilter(watched, event);
}

void BoatListPanel::tickAll()
{
    for (QCheckBox *box : boatBoxes_)
        box->setChecked(true);
    for (QCheckBox *box : classBoxes_)
        box->setChecked(true);
}

}  // namespace keelrun
