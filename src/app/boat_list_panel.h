#pragma once
// The boat list between the logo and the control panel: one check box per
// boat in the boat's colour, and with classes one per class above its boats.
// A ticked boat is shown on the map.

#include <vector>

#include <QWidget>

#include "model/race_state.h"
#include "playback/captions.h"

class QCheckBox;
class QLabel;

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

    // [b], b = 1..boatCount: whether boat b is ticked (slot 0 unused).
    std::vector<bool> shown() const;
    void tickAll();

signals:
    void boatHovered(int boat);  // the pointer rests on a boat's box
    void ticksChanged();
    void hoverEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *header_ = nullptr;
    std::vector<QCheckBox *> classBoxes_;
    std::vector<QCheckBox *> boatBoxes_;
    int neededHeight_ = 0;
};

}  // namespace keelrun
