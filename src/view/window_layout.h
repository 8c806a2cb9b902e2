#pragma once
// Where the window's panels go. The map fills the window's left part; a
// 265-pixel column on the right holds the logo panel at the top, the control
// panel at the bottom and the boat list between them; the 50-pixel time bar
// stands between the map and the column.

#include <optional>

#include <QRect>
#include <QSize>
#include <QString>

#include "model/race_state.h"

namespace keelrun {

inline constexpr int kColumnWidth = 265;
inline constexpr int kTimeBarWidth = 50;
inline constexpr int kLogoPanelHeight = 200;
inline constexpr int kControlPanelHeight = 255;
// The elapsed or corrected time choice at the map's foot, left of the race
// clock, in a race with handicaps: its size, and how far above the foot
// its top stands.
inline constexpr int kTimeModePanelWidth = 250;
inline constexpr int kTimeModePanelHeight = 24;
inline constexpr int kTimeModePanelRise = 30;

struct WindowLayout {
    QRect logoPanel;      // pnlLOGO
    QRect controlPanel;   // pnlCTRL
    QRect boatListPanel;  // pnlBOATlist
    QRect timeBarPanel;   // pnlTimeBar
    QSize map;            // the drawing area at the window's top left
    bool tallWindow = false;  // the window takes nearly the whole screen height
};

// formHeight is the client height + 4, as the layout counts it.
WindowLayout computeWindowLayout(int formWidth, int formHeight, int screenHeight, int boatPanelHeight);

// What the map area shows: the map, the Graph page or an analysis page.
enum class Page { Track = 1, Graph = 2, Analysis = 3, Start = 4, Gaps = 5, Legs = 6, Polars = 7, Compare = 8 };
// The pages by the names the command line gives them ("track", "graph",
// "analysis", "gaps", "legs", "polars"), and the list of those names for
// its messages.
std::optional<Page> pageNamed(const QString &name);
QString pageNameList();

// Small-screen mode: a fixed map size for screen recording.
enum class SmallScreen { Off = 0, Size800x600 = 1, Size800x480 = 2, Size640x480 = 3, Size480x320 = 4, Preference = 5 };
QSize smallScreenSize(SmallScreen choice, QSize preference);

// The sea and the distance grid drawn on it, from the brightness slider (0..100).
struct SeaColours {
    Rgb sea;
    Rgb grid;
};
SeaColours seaColours(int brightness);

}  // namespace keelrun
