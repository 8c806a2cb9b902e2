#pragma once
// Small-screen mode, for recording the map as a film: a bar under the map
// chooses a fixed map size (four sizes or a width and height of one's own),
// and the race title, the CT mark and the play speed are written on the map.

#include <QSize>
#include <QWidget>

#include "view/window_layout.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace keelrun {

class SmallScreenBar : public QWidget {
    Q_OBJECT
public:
    // The bar and the labels over the map are children of `window`.
    explicit SmallScreenBar(QWidget *window);

    // Fills the size lists and chooses 800 x 480.
    void open();
    QSize preference() const;
    // Places the bar under the map and writes the labels on it.
    void showOver(QSize map, const QString &title, bool corrected);
    // Hides the bar and the labels.
    void close();
    void showPlaySpeed(double playSpeed);

    QRadioButton *size800x600 = nullptr, *size800x480 = nullptr, *size640x480 = nullptr, *size480x320 = nullptr,
                 *sizePreferred = nullptr;
    QComboBox *widthList = nullptr, *heightList = nullptr;

signals:
    void sizeChosen(SmallScreen choice);

private:
    QLabel *title_ = nullptr;      // the race title, top left
    QLabel *ctMark_ = nullptr;     // "CT mode" beside it
    QLabel *playSpeed_ = nullptr;  // "Play SPD= 5x", bottom right
};

}  // namespace keelrun
