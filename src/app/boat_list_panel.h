#pragma once
// The boat list between the logo and the control panel: one check box per
// boat in the boat's colour, and with classes one per class above its boats.
// The boxes show the focus list; clicks on them change it.

#include <vector>

#include <QColor>
#include <QWidget>

#include "model/race_state.h"
#include "view/captions.h"
#include "view/focus_list.h"

class QCheckBox;
class QLabel;
class QMouseEvent;

namespace keelrun {

class BoatListPanel : public QWidget {
    Q_OBJECT
public:
    explicit BoatListPanel(QWidget *parent);

    // Check boxes for the loaded race, ticked as the race file says.
    void rebuild(const RaceState &race);
    void clear();
    void setCaption(Language language);
    // The height the list needs, in pixels.
    int neededHeight() const { return neededHeight_; }

    const FocusList &focus() const { return focus_; }
    // [b], b = 1..boatCount: whether boat b is ticked (slot 0 unused).
    const std::vector<bool> &shown() const { return focus_.shown(); }
    void tickAll();
    // The boats whose live numbers show: the first highlighted, the others
    // watched, as Shift and Ctrl clicks would choose them.
    void chooseLiveBoats(const std::vector<int> &boats);

signals:
    // The pointer rests on a boat's or a class's box, whose top is `boxTop`
    // in the list, or on the header.
    void boatHovered(int boat, int boxTop);
    void classHovered(int classIndex, int boxTop);
    void headerHovered();
    void panelHovered();  // the pointer on the list between the boxes
    void hoverEnded();    // the pointer has left the list
    void focusChanged();
    void boatDoubleClicked(int boat);  // the map is to follow it

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool onBoatBoxEvent(int boat, QEvent *event);
    bool onClassBoxEvent(int classIndex, QEvent *event);
    void showFocus();

    FocusList focus_;
    QLabel *header_ = nullptr;
    std::vector<QCheckBox *> classBoxes_;
    std::vector<QCheckBox *> boatBoxes_;
    std::vector<QColor> boatColours_;  // [b - 1]
    int neededHeight_ = 0;
    enum class Pointer { Away, OnBox, OnPanel };
    Pointer pointer_ = Pointer::Away;
};

}  // namespace keelrun
